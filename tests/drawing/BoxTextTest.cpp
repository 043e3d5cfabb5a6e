// PrBoxText on a real surface: the wrapped lines in the PDF, the frame, messages, type
// styles, the spreadsheet hand-off and the never-failing error policy. The line breaking
// itself is tested in ParagraphWrapTest.
#include <sstream>

#include <qor/Texts.h>

#include "drawing/DrawingFixture.h"

namespace qor::test {
namespace {

constexpr double kTol = 0.15;  // mm

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

using BoxTextTest = DrawingTest;

TEST_F(BoxTextTest, FramedTextWrapsInsideTheBoxAndReturnsWhatDidNotFit) {
    std::string first = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi";
    for (int i = 1; i <= 30; ++i) first += " w" + std::to_string(i);
    std::string text = first + "\r\nnext paragraph";
    lib.T = 7;
    // A 50 x 20 mm frame: the text from (27, 37), 2 mm inside it and 5 mm offset; right 73, bottom 53.
    const std::string rest = lib.PrBoxText(20, 30, 70, 50, text, true, alignRight, psNormal, "", 10, 0, 0x00FFFF);
    const double line = Mm(surface.TextHeight("A"));
    std::vector<std::vector<Word>> lines;  // words grouped by their top
    std::vector<std::string> drawn;
    for (const Word& w : Words()) {
        if (lines.empty() || std::abs(lines.back().front().Top() - w.Top()) > 0.5) lines.emplace_back();
        lines.back().push_back(w);
        drawn.push_back(w.text);
    }
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NEAR(lines[0].front().Top(), 37, kTol);
    EXPECT_NEAR(lines[1].front().Top() - lines[0].front().Top(), line, kTol);
    for (const auto& l : lines) EXPECT_NEAR(l.back().Right(), 73, kTol) << l.front().text;
    // The last line drawn is the one that crossed the bottom; the rest starts after it.
    EXPECT_LT(lines.back().front().Top(), 53);
    EXPECT_GT(lines.back().front().Top() + line, 53);
    std::vector<std::string> all = drawn;
    const std::size_t cr = rest.find('\r');
    ASSERT_NE(cr, std::string::npos) << rest;
    ASSERT_GT(cr, 0u);  // the overflow happened inside the first paragraph
    for (const std::string& w : SplitWords(rest.substr(0, cr))) all.push_back(w);
    EXPECT_EQ(all, SplitWords(first));
    EXPECT_EQ(rest.substr(cr), "\rnext paragraph");
    std::vector<std::string> lastLine;
    for (const Word& w : lines.back()) lastLine.push_back(w.text);
    EXPECT_EQ(SplitWords(text), lastLine);  // the caller's text was the line buffer
    EXPECT_FLOAT_EQ(lib.T, 7);              // no paragraph end was reached

    const QImage page = Render();
    EXPECT_TRUE(InkNear(page, 25, 50));  // the frame's left and bottom edges
    EXPECT_TRUE(InkNear(page, 50, 55));
    const QColor fill = At(page, 60, 53.5);
    EXPECT_EQ(fill.red(), 255);  // &H00FFFF is yellow
    EXPECT_LT(fill.blue(), 30);
}

TEST_F(BoxTextTest, TextThatFitsLeavesTAtTheTopOfItsLastLineAndStylesDifferFromPrItem) {
    std::string text = "one\r\ntwo";
    EXPECT_EQ(lib.PrBoxText(10, 10, 100, 100, text, false, alignCenter), "");
    const float t = lib.T;
    std::string title = "Title keeps case", caps = "small caps";
    lib.PrBoxText(10, 110, 100, 130, title, false, alignLeft, psTitle);
    EXPECT_EQ(title, " Title keeps case");
    lib.PrBoxText(10, 140, 100, 170, caps, false, alignLeft, psCaps);
    EXPECT_EQ(caps, " SMALL CAPS");
    std::string sub = "subtitle";
    lib.PrBoxText(10, 180, 100, 200, sub, false, alignLeft, psSubTitle);
    EXPECT_TRUE(surface.Font().Underline && !surface.Font().Italic);
    EXPECT_NEAR(t, FindWord("two").Top() - 5, kTol);
    EXPECT_NEAR(FindWord("two").CentreX(), 60, kTol);
    EXPECT_EQ(text, " two");
}

TEST_F(BoxTextTest, SmallFramedBoxShowsOneMessageAndPlacesTheTextUnframed) {
    MessageLog log;
    std::string low = "low", narrow = "narrow";
    lib.PrBoxText(20, 30, 80, 39, low, true, alignLeft);
    lib.PrBoxText(20, 100, 29, 120, narrow, true, alignLeft);
    ASSERT_EQ(log.seen.size(), 2u);
    EXPECT_EQ(log.seen[0].text, GetText(1006));
    EXPECT_EQ(log.seen[1].text, GetText(1007));
    EXPECT_TRUE(log.seen[0].style == 16 && log.seen[0].title == "PrBoxText");
    EXPECT_NEAR(FindWord("low").Left(), 25, kTol);
    EXPECT_NEAR(FindWord("low").Top(), 35, kTol);
    EXPECT_FALSE(InkNear(Render(), 24, 40));  // no frame
}

TEST_F(BoxTextTest, NeverThrows) {
    std::string text = "some words here";
    EXPECT_NO_THROW(lib.PrBoxText(10, 10, 100, 50, text, false, 7));  // no alignment value
    EXPECT_NO_THROW(lib.PrBoxText(1e38f, 1e38f, 3e38f, 3.4e38f, text, true, alignLeft));
    surface.EndDoc();  // no open document: drawing fails, step by step
    EXPECT_NO_THROW(lib.PrBoxText(10, 10, 100, 50, text, true, alignLeft));
    lib.VPrinter = nullptr;
    std::string lost = "no surface";
    EXPECT_EQ(lib.PrBoxText(10, 10, 100, 50, lost, true, alignLeft), "");
}

TEST_F(BoxTextTest, InExcelModeTheWriterGetsTheTextAndNothingIsDrawn) {
    CellLog cells;
    MessageLog log;
    lib.T = 21;
    std::string text = "line one\r\nline two";
    const std::string rest = lib.PrBoxText(12, 34, 15, 36, text, true, alignCenter, psCustom, "BI", 10, 0xFF,
                                           0xFF00, 11, "Courier New");
    EXPECT_EQ(rest, "");
    EXPECT_EQ(text, "line one\r\nline two");
    EXPECT_TRUE(log.seen.empty());
    EXPECT_EQ(cells.cells(), std::vector<std::string>{"21|12|34|line one\r\nline two||2|99|BI|11|Courier New|255"});
    EXPECT_TRUE(Words().empty());
}

}  // namespace
}  // namespace qor::test
