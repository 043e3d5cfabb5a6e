// Draws the retained records of a page with QPainter: the screen (preview) and PNG pages.
#pragma once

#include <cstdint>
#include <string>

class QPainter;

namespace qor {
class VSPrinter;
}

namespace qor::surface {

// Draws page `page` (1-based) of `printer`'s document onto `painter`, with the paper's
// top-left corner at the painter's current origin and `pixelsPerTwip` device pixels per
// twip (e.g. dpi / 1440). Fills the paper with the page's background colour first. Glyphs
// come from the same font files and sit at the same positions as in the PDF. Leaves the
// painter's state as it found it. Out-of-range pages draw nothing.
void PaintPage(QPainter& painter, const VSPrinter& printer, int page, double pixelsPerTwip);

// Creates a QGuiApplication (on the offscreen platform when there is no display) when the
// program has no application object yet; painting glyphs needs one. Call on the main thread.
void EnsureGuiApplication();

// Page `page` (checked by the caller) of `printer` as a PNG file at `dpi`.
void SavePagePng(const VSPrinter& printer, int32_t page, const std::string& file, double dpi);

}  // namespace qor::surface
