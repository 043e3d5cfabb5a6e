// The line breaking of PrBoxText without a surface: which lines a text gives in a box, where
// each one goes, and what is left over. The caller measures and draws.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// Text measurement in the drawing font, in one unit of length (twips on a surface). Both
// are called with whole lines and trial lines; a failed measurement should read as 0.
struct TextMeasure {
    std::function<double(std::string_view)> width;
    // Height of a text; a text holding line feeds counts one line per segment.
    std::function<double(std::string_view)> height;
};

// The box and the overflow choice, in the unit of the measure.
struct WrapRules {
    double lineWidth = 0;   // room for a line: a line may be exactly this wide
    double top = 0;         // top of the first line
    double bottom = 0;      // a line that would end below this is the last one
    bool ellipsis = false;  // cut with "..." instead of returning the rest
};

// One line to draw, top at `y`.
struct WrappedLine {
    std::string text;     // as drawn: trimmed, "..." added when the text was cut there
    double width = 0;     // width for alignment, measured before any "..." was added
    double y = 0;
    bool paragraphEnd = false;  // the last line of its paragraph (its top is the new T)
};

struct WrapResult {
    std::vector<WrappedLine> lines;
    // The text not placed: the words from the first one that did not fit, then every later
    // paragraph behind a carriage return, trimmed. Empty when all fitted or with `ellipsis`.
    std::string rest;
    // The line buffer at the end: the last line placed, untrimmed, with "..." when cut; the
    // text as given (paragraph breaks normalised) when there was nothing to place.
    std::string buffer;
    // Where the next line would start: below the last line drawn.
    double endY = 0;
};

// Breaks `text` into lines at blanks and paragraphs at carriage returns ("\r\n" counts as
// one) and stacks the lines from `rules.top` down:
// - a word goes on the line while the line with the word is no wider than `lineWidth`; a
//   word wider than the box first closes the (possibly empty) line and stands alone;
// - when the next line would end below `bottom`, the current line is still drawn and the
//   rest returned (mid-paragraph overflow); the last line of a paragraph is always drawn,
//   and when it ends below `bottom` the later paragraphs are returned;
// - an empty paragraph takes the height of "A";
// - a line feed at the start of a word is dropped (one only).
// Drawing a line that holds line feeds leaves the pen on its last segment, and the next
// line still starts one full line height below that: the stacking copies that.
WrapResult WrapParagraphs(std::string_view text, const WrapRules& rules, const TextMeasure& measure);

}  // namespace qor
