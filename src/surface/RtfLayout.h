// Layout of rich text on the page surface: the paragraphs of a QTextDocument (as the RTF
// reader builds it) broken into lines with the surface's own font metrics, then placed on
// the pages of a VSPrinter as ordinary text records, so that the PDF writer and the screen
// painter draw exactly the same positions.
#pragma once

#include <QTextDocument>

#include <cstdint>
#include <string>
#include <vector>

#include "qor/VSPrinter.h"

namespace qor::surface {

// A piece of text on a line: drawn from x (twips from the paper's left edge) with its
// baseline on the line's baseline. `width` is its measured width in twips.
struct RtfPiece {
    double x = 0;
    double width = 0;
    std::string text;  // UTF-8, no controls
    FontSpec font;
    int32_t color = 0;  // &HBBGGRR
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

// Breaks every block of `doc` into lines between `left` and `right` (twips from the
// paper's left edge), with the indents, alignment (left, right, centred, justified by
// widening the spaces), tab stops and line heights of its block formats. Text without a
// family or size takes `defaultFont`'s; text without a colour takes `defaultColor`.
// Words longer than a line are cut between characters. An empty document gives no
// paragraphs. Never throws for any document; `right` <= `left` is treated as one inch.
std::vector<RtfParagraph> BreakRichText(const QTextDocument& doc, double left, double right,
                                        const FontSpec& defaultFont, int32_t defaultColor);

// Places `paragraphs` on `printer` from its CurrentY down: a line that would pass
// PageHeight - MarginBottom goes to a new page (started with NewPage) at MarginTop, unless
// it is already the first line of its page. Leaves CurrentY at the bottom of the last line.
// Throws RuntimeError(5) without an open document.
void PlaceRichText(VSPrinter& printer, const std::vector<RtfParagraph>& paragraphs);

}  // namespace qor::surface
