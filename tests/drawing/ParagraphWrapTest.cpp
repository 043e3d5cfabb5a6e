// The line breaking of PrBoxText with a fake measure: one unit of width per byte, one unit
// of height per line (a line feed starts another).
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "drawing/ParagraphWrap.h"

namespace qor::test {
namespace {

const TextMeasure kFake{
    [](std::string_view t) { return static_cast<double>(t.size()); },
    [](std::string_view t) { return 1.0 + static_cast<double>(std::count(t.begin(), t.end(), '\n')); }};

struct Line {
    std::string text;
    double width, y;
    bool paragraphEnd;
};

struct Case {
    const char* name;
    std::string text;
    double lineWidth, top, bottom;
    bool ellipsis;
    std::vector<Line> lines;
    std::string rest, buffer;
    double endY;
};

TEST(ParagraphWrap, BreaksStacksAndReturnsTheRest) {
    const std::vector<Case> cases = {
        {"fits on one line; the buffer keeps its leading blank", "ab cd", 10, 0, 10, false,
         {{"ab cd", 5, 0, true}}, "", " ab cd", 1},
        // The fit test measures the line and the word without the blank between them.
        {"a line may reach the box width", "abcd efghi", 10, 0, 10, false,
         {{"abcd efghi", 10, 0, true}}, "", " abcd efghi", 1},
        {"one byte more breaks; the lines start at the top given", "abcd efghij", 10, 7, 17, false,
         {{"abcd", 4, 7, false}, {"efghij", 6, 8, true}}, "", "efghij", 9},
        {"a word wider than the box follows an empty line", "abcdefghijkl", 5, 0, 10, false,
         {{"", 0, 0, false}, {"abcdefghijkl", 12, 1, true}}, "", "abcdefghijkl", 2},
        {"overflow inside a paragraph returns its words and the later paragraphs",
         "aa bb cc dd ee ff\r\nsecond\r\nthird", 5, 0, 1.5, false,
         {{"aa bb", 5, 0, false}, {"cc dd", 5, 1, false}}, "ee ff\rsecond\rthird", "cc dd", 2},
        {"the ellipsis cuts there and returns nothing", "aa bb cc dd ee ff\rmore", 5, 0, 1.5, true,
         {{"aa bb", 5, 0, false}, {"cc dd...", 5, 1, false}}, "", "cc dd...", 2},
        {"overflow at a paragraph end keeps the later paragraphs behind their break",
         "a\rb\rc\rd\re", 10, 0, 2.5, false,
         {{"a", 1, 0, true}, {"b", 1, 1, true}, {"c", 1, 2, true}}, "\rd\re", " c", 3},
        {"no dots at a paragraph end", "a\rb\rc\rd", 10, 0, 2.5, true,
         {{"a", 1, 0, true}, {"b", 1, 1, true}, {"c", 1, 2, true}}, "", " c", 3},
        {"CR LF and CR break paragraphs, an empty one takes a line, a leading LF goes",
         "one\r\ntwo \nthree\r\rfour", 20, 0, 10, false,
         {{"one", 3, 0, true}, {"two three", 9, 1, true}, {"", 0, 2, true}, {"four", 4, 3, true}}, "",
         " four", 4},
        {"a line feed inside a word drops the pen one more line", "a\nb c\rd", 20, 0, 10, false,
         {{"a\nb c", 5, 0, true}, {"d", 1, 3, true}}, "", " d", 4},
        {"blank text places nothing and keeps the text", "   ", 20, 0, 10, false, {}, "", "   ", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WrapResult r = WrapParagraphs(c.text, {c.lineWidth, c.top, c.bottom, c.ellipsis}, kFake);
        ASSERT_EQ(r.lines.size(), c.lines.size());
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(r.lines[i].text, c.lines[i].text) << i;
            EXPECT_DOUBLE_EQ(r.lines[i].width, c.lines[i].width) << i;
            EXPECT_DOUBLE_EQ(r.lines[i].y, c.lines[i].y) << i;
            EXPECT_EQ(r.lines[i].paragraphEnd, c.lines[i].paragraphEnd) << i;
        }
        EXPECT_EQ(r.rest, c.rest);
        EXPECT_EQ(r.buffer, c.buffer);
        EXPECT_DOUBLE_EQ(r.endY, c.endY);
    }
}

}  // namespace
}  // namespace qor::test
