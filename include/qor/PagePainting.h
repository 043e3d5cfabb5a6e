// Drawing the pages of a document with a program's own Qt painter (a widget, a QImage, a
// printer device). Only a forward declaration of QPainter: a program that calls this
// includes <QPainter> itself.
#pragma once

#include <cstdint>

class QPainter;

namespace qor {

class VSPrinter;

// Draws page `page` (1-based) of `document` onto `painter`, with the paper's top-left
// corner at the painter's current origin and `pixelsPerTwip` device pixels per twip
// (dpi / 1440: 96.0 / 1440 for a screen at 100 %). Fills the paper with the page's
// background colour first; glyphs sit where they sit in the PDF. Leaves the painter's
// state as it found it. A page out of range draws nothing. Needs a QGuiApplication.
//   QImage image(794, 1123, QImage::Format_RGB32);
//   QPainter painter(&image);
//   qor::PaintPage(painter, lib.PrRapport().Document(), 1, 96.0 / 1440);
void PaintPage(QPainter& painter, const VSPrinter& document, int32_t page, double pixelsPerTwip);

}  // namespace qor
