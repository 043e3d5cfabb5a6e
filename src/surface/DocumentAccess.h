// Inside access to a VSPrinter for the rest of the surface: the rich-text layout, printing,
// the PDF writer and the page painter. Not a public header.
#pragma once

#include <cstdint>
#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "qor/VSPrinter.h"
#include "surface/Fonts.h"
#include "surface/Records.h"

namespace qor::surface {

// Printer settings of a surface. `extra` is free for the printing code to keep what it
// needs between calls (e.g. a cached printer list).
struct PrinterSettings {
    std::string device;
    int32_t paperBin = 15;
    int32_t copies = 1;
    int32_t error = 0;
    std::shared_ptr<void> extra;
};

// The retained document of a surface (pages, texts, styles), every page in memory: pages
// set aside in a spill file are read back first.
Document& DocumentOf(VSPrinter& printer);
const Document& DocumentOf(const VSPrinter& printer);
// The same with spilled pages left in the spill file, for readers that load them one at a
// time (the PDF writer).
const Document& DocumentAsSpilled(const VSPrinter& printer);
// Adds a bookmark to the outline of `printer`'s open document: `title` at `y` twips on the
// page being drawn, `level` levels below the top (see Document::AddOutlineEntry). Throws
// RuntimeError(5) without an open document.
void AddBookmark(VSPrinter& printer, uint32_t level, std::string_view title, double y);
// The time PDF files of `printer`'s document are dated with, seconds since 1970 (UTC); -1
// for SOURCE_DATE_EPOCH or the clock. Kept until the next document starts.
void SetCreationTime(VSPrinter& printer, int64_t seconds);
// From now until the document ends, finished pages are set aside once they hold more than
// `bytes` (0: never): in a temporary file for documents that only go to a file or printer,
// compressed in memory for documents a preview shows.
void SpillPagesAbove(VSPrinter& printer, size_t bytes, SpillTo where);

// The printer settings of a surface.
PrinterSettings& PrinterOf(VSPrinter& printer);
const PrinterSettings& PrinterOf(const VSPrinter& printer);

// Line metrics of a font, twips.
struct LineMetrics {
    double ascent;
    double descent;
    double height;   // ascent + descent, as TextHeight gives for one line
};
LineMetrics MetricsOf(const FontSpec& font);

// Width in twips of one line of `utf8` in `font` (no kerning, fallback faces included).
double MeasureText(const FontSpec& font, std::string_view utf8);

// Converts a colour in the Windows form &HBBGGRR (system colours &H80000000 + index
// included) to 0xRRGGBB.
uint32_t ColorToRgb(int32_t color);

// Appends one line of text on the current page of `printer` with its top-left corner at
// (x, y) twips, in `font` and colour `color` (&HBBGGRR), without touching CurrentX/Y or the
// surface's font. Line breaks and controls are not drawn. Returns the width in twips.
// Throws RuntimeError(5) without an open document.
double AppendText(VSPrinter& printer, double x, double y, std::string_view utf8,
                  const FontSpec& font, int32_t color);

// Appends one line of text that shows the document's number of pages wherever `utf8` holds
// kPageCountMarker (Records.h), filled in when the page is drawn or written, on the current
// page of `printer`: its top at `y` twips, placed on `x` by `align` (0 left edge, 1 right
// edge, 2 centre) with the width of the final text, in `font` (its own face only: no
// fallback font for characters it lacks) and `color` (&HBBGGRR). Throws RuntimeError(5)
// without an open document.
void AppendPageCountText(VSPrinter& printer, double x, double y, std::string_view utf8,
                         const FontSpec& font, int32_t color, int32_t align);

// Writes pages `pages` (1-based, in the order given) of `printer`'s document to a PDF file
// `file`: written to a temporary name in the same folder and renamed into place. Throws
// RuntimeError(9) for a page out of range, RuntimeError(75) when the file cannot be written
// (nothing is left behind then).
void WritePdf(const VSPrinter& printer, const std::string& file, const std::vector<int>& pages);
// The whole document.
void WritePdf(const VSPrinter& printer, const std::string& file);
// The same into memory.
std::string WritePdfToString(const VSPrinter& printer, const std::vector<int>& pages);

// Document information written into the PDF.
struct PdfInfo {
    std::string title, author, subject, creator = "qorPrintLib";
};
// Told before each page is written: its position and the number of pages. May throw to stop
// the writing (nothing is left behind then).
using PageObserver = std::function<void(int32_t page, int32_t pages)>;
void WritePdf(const VSPrinter& printer, const std::string& file, const std::vector<int>& pages,
              const PdfInfo& info, const PageObserver& onPage = {});

// Pages 1..PageCount of a document.
std::vector<int> AllPages(const VSPrinter& printer);

struct Access;  // befriended by VSPrinter; implemented in VSPrinter.cpp

}  // namespace qor::surface
