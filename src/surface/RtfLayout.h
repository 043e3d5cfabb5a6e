// Layout of rich text on the page surface: the paragraphs and tables of a QTextDocument (as
// the RTF reader builds it) broken into lines with the surface's own font metrics, stacked
// into bands, then placed on the pages of a VSPrinter as ordinary text, picture, rectangle
// and line records, so that the PDF writer and the screen painter draw exactly the same.
#pragma once

#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qor/Picture.h"
#include "qor/VSPrinter.h"

namespace qor::surface {

// A piece of text on a line: drawn from x (twips from the paper's left edge) with its
// baseline on the line's baseline. `width` is its measured width in twips.
// A picture is a piece without text that stands on the baseline, `height` high; a picture
// kind that is not drawn has a null `picture` and shows as an empty frame.
struct RtfPiece {
    double x = 0;
    double width = 0;
    std::string text;  // UTF-8, no controls
    FontSpec font;
    int32_t color = 0;  // &HBBGGRR
    bool object = false;
    double height = 0;
    Picture picture;
};

// One line: `ascent` is the distance from the line's top to its baseline, `height` the
// distance to the next line's top (line spacing included).
struct RtfLine {
    double ascent = 0;
    double height = 0;
    std::vector<RtfPiece> pieces;
};

struct RtfParagraph {
    double spaceBefore = 0;  // twips
    double spaceAfter = 0;
    bool pageBreakBefore = false;
    std::vector<RtfLine> lines;  // at least one, also for an empty paragraph
};

// Width of a default tab stop, twips.
inline constexpr double kRtfDefaultTab = 720;

// Breaks one block into lines between `left` and `right` (twips from the paper's left
// edge), with the indents, alignment (left, right, centred, justified by widening the
// spaces), tab stops and line heights of its block format, its list marker before the
// first line, and its pictures (narrowed to the line's width when wider). Text without a
// family or size takes `defaultFont`'s; text without a colour takes `defaultColor`. Words
// longer than a line are cut between characters. Never throws; `right` <= `left` is
// treated as one inch.
RtfParagraph BreakBlock(const QTextBlock& block, double left, double right, const FontSpec& defaultFont,
                        int32_t defaultColor);

// Every block of the document's top level broken as BreakBlock does (tables and the empty
// blocks Qt keeps beside them left out). An empty document gives no paragraphs.
std::vector<RtfParagraph> BreakRichText(const QTextDocument& doc, double left, double right,
                                        const FontSpec& defaultFont, int32_t defaultColor);

// One thing to draw in a band, with y from the band's top and x from the paper's left edge.
struct RtfDraw {
    enum Kind { Text, Picture, Frame, Fill, Line } kind = Text;
    double x = 0, y = 0;    // Text: top-left of the text; Picture, Frame, Fill: top-left corner;
                            // Line: start
    double x2 = 0, y2 = 0;  // Picture, Frame, Fill: bottom-right corner; Line: end
    std::string text;
    FontSpec font;
    int32_t color = 0;  // &HBBGGRR: text, fill or line colour
    double penWidth = 0;
    int penStyle = 0;   // the surface's pen styles: 0 solid, 1 dash, 2 dot
    qor::Picture picture;
    double anchor = 0;  // where the line of text or picture it belongs to starts
};

// A strip of the page that is never split between pages: a line of text, or one or more
// table rows that a cell spanning rows ties together.
struct RtfBand {
    double gapBefore = 0;  // space above it, twips
    double height = 0;
    bool pageBreakBefore = false;
    std::vector<RtfDraw> draws;
    // The table's header rows, drawn above this band when it starts a page.
    std::shared_ptr<const std::vector<RtfBand>> header;
};

// Lays `doc` out between `left` and `right` into bands, top to bottom. Tables take their
// grid from their column widths from `left` plus their own left edge; a row as high as
// the cells' content with padding (at least the row's height, or exactly it), cells with
// their background, borders and vertical alignment. Rows taller than `pageHeight` (the
// usable height of a page, twips) are cut into bands that each fit.
std::vector<RtfBand> LayOutRichText(const QTextDocument& doc, double left, double right, double pageHeight,
                                    const FontSpec& defaultFont, int32_t defaultColor);

// Places `bands` on `printer` from its CurrentY down: a band that would pass PageHeight -
// MarginBottom goes to a new page (started with NewPage) at MarginTop, after the header
// rows of its table, unless it is already the first band of its page. Leaves CurrentY at
// the bottom of the last band, and the surface's pen and brush as they were. Throws
// RuntimeError(5) without an open document.
void PlaceBands(VSPrinter& printer, const std::vector<RtfBand>& bands);

}  // namespace qor::surface
