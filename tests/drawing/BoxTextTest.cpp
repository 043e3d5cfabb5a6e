// PrBoxText on a real surface: wrapping, paragraphs, alignment, frame, overflow, messages,
// the caller's text, and its never-failing error policy.
#include <sstream>

#include <qor/Texts.h>

#include "drawing/DrawingFixture.h"
#include "drawing/ExcelBridge.h"

namespace qor::test {
namespace {

constexpr double kTol = 0.15;  // mm

class BoxTextTest : public DrawingTest {
protected:
    double LineMm() { return GenServices().TwipsToMm(static_cast<float>(surface.TextHeight("A"))); }

    // Words of the page grouped into lines by their top, top to bottom.
    std::vector<std::vector<PdfWord>> Lines(int page = 1) {
        std::vector<std::vector<PdfWord>> lines;
        for (const PdfWord& w : Words(page)) {
            if (lines.empty() || std::abs(lines.back().front().top - w.top) > 0.5) lines.emplace_back();
            lines.back().push_back(w);
        }
        return lines;
    }
};

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

std::string Numbered(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += (i > 1 ? " w" : "w") + std::to_string(100 + i);
    return text;
}

TEST_F(BoxTextTest, TextThatFitsReturnsEmptyAndSetsTToItsLastLine) {
    std::string text = "The quick brown fox jumps over the lazy dog, twice and again.";
    const std::string rest = lib.PrBoxText(20, 30, 60, 80, text, false, alignLeft);
    EXPECT_EQ(rest, "");
    const auto lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NEAR(lines.front().front().left, 25, kTol);
    EXPECT_NEAR(lines.front().front().top, 35, kTol);
    EXPECT_NEAR(lines[1].front().top - lines[0].front().top, LineMm(), kTol);
    for (const auto& line : lines) EXPECT_LE(line.back().right, 65 + kTol);
    EXPECT_NEAR(lib.T, lines.back().front().top - 5, kTol);
    // The caller's text holds the last line placed.
    std::vector<std::string> last;
    for (const PdfWord& w : lines.back()) last.push_back(w.text);
    EXPECT_EQ(SplitWords(text), last);
    // A paragraph placed on a single line leaves it with the blank it was built with.
    std::string one = "single";
    lib.PrBoxText(20, 100, 60, 120, one, false, alignLeft);
    EXPECT_EQ(one, " single");
}

TEST_F(BoxTextTest, OverflowReturnsTheWordsNotDrawnAndTheLaterParagraphs) {
    std::string text = Numbered(60) + "\r\nsecond paragraph\r\nthird";
    lib.T = 7;
    const std::string rest = lib.PrBoxText(20, 30, 60, 45, text, false, alignLeft);
    std::vector<std::string> drawn;
    for (const PdfWord& w : Words()) drawn.push_back(w.text);
    ASSERT_FALSE(drawn.empty());
    const auto restWords = SplitWords(rest.substr(0, rest.find('\r')));
    ASSERT_FALSE(restWords.empty());
    EXPECT_EQ(drawn.size() + restWords.size(), 60u);
    EXPECT_EQ(restWords.front(), "w" + std::to_string(101 + drawn.size()));
    EXPECT_EQ(rest.substr(rest.find('\r')), "\rsecond paragraph\rthird");
    EXPECT_NE(rest.front(), ' ');
    // The last drawn line is the one that crossed the bottom (50 mm on paper).
    const auto lines = Lines();
    EXPECT_LT(lines.back().front().top, 50);
    EXPECT_GT(lines.back().front().top + LineMm(), 50);
    EXPECT_FLOAT_EQ(lib.T, 7);  // no paragraph end was reached
}

TEST_F(BoxTextTest, EllipsisCutsTheLastLineAndReturnsNothing) {
    std::string text = Numbered(60) + "\rmore";
    const std::string rest = lib.PrBoxText(20, 30, 60, 45, text, false, alignLeft, psNormal, "", 10, 0,
                                           std::nullopt, 9, "Arial", true);
    EXPECT_EQ(rest, "");
    const auto lines = Lines();
    const std::string last = lines.back().back().text;
    EXPECT_EQ(last.substr(last.size() - 3), "...");
    EXPECT_EQ(text.substr(text.size() - 3), "...");
}

TEST_F(BoxTextTest, OverflowAtAParagraphEndKeepsOnlyTheLaterParagraphs) {
    // Lines of 3.55 mm from 15 mm: a and b end above 23 mm, c ends below it.
    std::string text = "a\rb\rc\rd\re";
    // Every later paragraph comes back behind its carriage return.
    EXPECT_EQ(lib.PrBoxText(10, 10, 50, 18, text, false, alignLeft), "\rd\re");
    std::vector<std::string> drawn;
    for (const PdfWord& w : Words()) drawn.push_back(w.text);
    EXPECT_EQ(drawn, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_NEAR(lib.T, Word("c").top - 5, kTol);

    std::string again = "a\rb\rc\rd";
    EXPECT_EQ(lib.PrBoxText(100, 10, 150, 18, again, false, alignLeft, psNormal, "", 10, 0, std::nullopt, 9,
                            "Arial", true),
              "");
}

TEST_F(BoxTextTest, ParagraphsBreakAtCarriageReturnsAndLoneLineFeedsAreDropped) {
    std::string text = "one\r\ntwo \nthree\r\rfour";
    EXPECT_EQ(lib.PrBoxText(10, 10, 100, 100, text, false, alignLeft), "");
    const double line = LineMm();
    EXPECT_NEAR(Word("one").top, 15, kTol);
    EXPECT_NEAR(Word("two").top, 15 + line, kTol);
    EXPECT_NEAR(Word("three").top, 15 + line, kTol);
    EXPECT_NEAR(Word("four").top, 15 + 3 * line, kTol);  // the empty paragraph takes a line
    EXPECT_EQ(text, " four");
}

TEST_F(BoxTextTest, AWordWiderThanTheBoxStandsAloneOnTheNextLine) {
    std::string text = "Extraordinarily";
    EXPECT_EQ(lib.PrBoxText(10, 10, 15, 100, text, false, alignLeft), "");
    EXPECT_NEAR(Word("Extraordinarily").top, 15 + LineMm(), kTol);
    EXPECT_NEAR(Word("Extraordinarily").left, 15, kTol);
}

TEST_F(BoxTextTest, AlignsEveryLineInsideTheBox) {
    const std::string text = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda";
    lib.PrBoxText(20, 20, 60, 60, text, false, alignRight);
    lib.PrBoxText(20, 100, 60, 140, text, false, alignCenter);
    for (const auto& line : Lines()) {
        if (line.front().top < 90) {
            EXPECT_NEAR(line.back().right, 65, kTol) << line.front().text;
        } else {
            EXPECT_NEAR((line.front().left + line.back().right) / 2, 45, kTol) << line.front().text;
        }
    }
}

TEST_F(BoxTextTest, BorderDrawsTheFrameAndKeepsTheTextTwoMillimetresInside) {
    std::string text = "Framed text in a filled box";
    lib.PrBoxText(20, 30, 70, 60, text, true, alignLeft, psNormal, "", 10, 0, 0x00FFFF);
    EXPECT_NEAR(Word("Framed").left, 27, kTol);
    EXPECT_NEAR(Word("Framed").top, 37, kTol);
    const QImage page = Render();
    EXPECT_TRUE(InkNear(page, 25, 50));   // left edge
    EXPECT_TRUE(InkNear(page, 75, 50));   // right edge
    EXPECT_TRUE(InkNear(page, 50, 35));   // top edge
    EXPECT_TRUE(InkNear(page, 50, 65));   // bottom edge
    const QColor fill = At(page, 60, 60);
    EXPECT_EQ(fill.red(), 255);  // &H00FFFF is yellow
    EXPECT_EQ(fill.green(), 255);
    EXPECT_LT(fill.blue(), 30);
    EXPECT_EQ(At(page, 80, 50).blue(), 255);  // white outside
}

TEST_F(BoxTextTest, SmallFramedBoxShowsOneMessageAndPlacesTheTextUnframed) {
    std::vector<Message> seen;
    ScopedMessageObserver watch([&](const Message& m) {
        seen.push_back(m);
        return std::optional<int32_t>(kAnswerOk);
    });
    std::string low = "low";
    lib.PrBoxText(20, 30, 80, 39, low, true, alignLeft);
    std::string narrow = "narrow";
    lib.PrBoxText(20, 100, 29, 120, narrow, true, alignLeft);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, GetText(1006));
    EXPECT_EQ(seen[1].text, GetText(1007));
    for (const Message& m : seen) {
        EXPECT_EQ(m.style, 16);
        EXPECT_EQ(m.title, "PrBoxText");
    }
    EXPECT_NEAR(Word("low").left, 25, kTol);
    EXPECT_NEAR(Word("low").top, 35, kTol);
    EXPECT_NEAR(Word("narrow").left, 25, kTol);
    const QImage page = Render();
    EXPECT_FALSE(InkNear(page, 24, 40));
    EXPECT_FALSE(InkNear(page, 50, 44));
}

TEST_F(BoxTextTest, TypeStylesDifferFromPrItem) {
    std::string sub = "subtitle";
    lib.PrBoxText(10, 10, 100, 50, sub, false, alignLeft, psSubTitle);
    EXPECT_TRUE(surface.Font().Underline);
    EXPECT_FALSE(surface.Font().Italic);
    std::string title = "Title keeps case";
    lib.PrBoxText(10, 60, 100, 90, title, false, alignLeft, psTitle);
    EXPECT_TRUE(surface.Font().Bold);
    EXPECT_DOUBLE_EQ(surface.Font().Size, 13);
    std::string caps = "small caps";
    lib.PrBoxText(10, 100, 100, 130, caps, false, alignLeft, psCaps);
    EXPECT_EQ(caps, " SMALL CAPS");
    Word("Title");
    Word("SMALL");
}

TEST_F(BoxTextTest, NeverThrows) {
    std::string text = "some words here";
    EXPECT_NO_THROW(lib.PrBoxText(10, 10, 100, 50, text, false, 7));  // no alignment value
    EXPECT_NO_THROW(lib.PrBoxText(10, 10, 100, 50, text, true, alignLeft, psNormal, "", -5, 0,
                                  std::nullopt, 9, "Arial"));
    EXPECT_NO_THROW(lib.PrBoxText(1e38f, 1e38f, 3e38f, 3.4e38f, text, true, alignLeft));
    surface.EndDoc();  // no open document: drawing fails, step by step
    EXPECT_NO_THROW(lib.PrBoxText(10, 10, 100, 50, text, true, alignLeft));
    lib.VPrinter = nullptr;
    std::string lost = "no surface";
    EXPECT_EQ(lib.PrBoxText(10, 10, 100, 50, lost, true, alignLeft), "");
}

TEST_F(BoxTextTest, EmptyTextDrawsNothing) {
    std::string text = "   ";
    lib.T = 12;
    EXPECT_EQ(lib.PrBoxText(10, 10, 100, 50, text, false, alignLeft), "");
    EXPECT_FLOAT_EQ(lib.T, 12);
    EXPECT_TRUE(Words().empty());
}

struct BoxCell {
    float t, left, top;
    std::string item, pattern;
    int32_t align, printStyle;
    std::string style;
    float fontSize;
    std::string fontName;
    int32_t color;
};
std::vector<BoxCell> gBoxCells;

void RecordBoxCell(float T, float Left, float Top, Variant& Item, const std::string& Pattern, int32_t Align,
                   int32_t PrintStyle, const std::string& Style, float FontSize, const std::string& FontName,
                   int32_t Color) {
    gBoxCells.push_back({T, Left, Top, CStr(Item), Pattern, Align, PrintStyle, Style, FontSize, FontName, Color});
    Item = Variant("changed");
}

TEST_F(BoxTextTest, InExcelModeTheWriterGetsTheTextAndNothingIsDrawn) {
    gBoxCells.clear();
    const ExcelCellWriter previous = SetExcelCellWriter(&RecordBoxCell);
    modqorPrintLib().ExcelMode = true;
    int messages = 0;
    ScopedMessageObserver watch([&](const Message&) {
        ++messages;
        return std::optional<int32_t>(kAnswerOk);
    });
    lib.T = 21;
    std::string text = "line one\r\nline two";
    const std::string rest = lib.PrBoxText(12, 34, 15, 36, text, true, alignCenter, psCustom, "BI", 10, 0xFF,
                                           0xFF00, 11, "Courier New");
    SetExcelCellWriter(previous);
    EXPECT_EQ(rest, "");
    EXPECT_EQ(text, "line one\r\nline two");
    EXPECT_EQ(messages, 0);
    ASSERT_EQ(gBoxCells.size(), 1u);
    const BoxCell& c = gBoxCells[0];
    EXPECT_FLOAT_EQ(c.t, 21);
    EXPECT_FLOAT_EQ(c.left, 12);
    EXPECT_FLOAT_EQ(c.top, 34);
    EXPECT_EQ(c.item, "line one\r\nline two");
    EXPECT_EQ(c.pattern, "");
    EXPECT_EQ(c.align, alignCenter);
    EXPECT_EQ(c.printStyle, psCustom);
    EXPECT_EQ(c.style, "BI");
    EXPECT_FLOAT_EQ(c.fontSize, 11);
    EXPECT_EQ(c.fontName, "Courier New");
    EXPECT_EQ(c.color, 0xFF);
    EXPECT_TRUE(Words().empty());
}

}  // namespace
}  // namespace qor::test
