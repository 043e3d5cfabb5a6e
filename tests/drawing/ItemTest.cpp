// PrItem on a real surface: positions, line advance, frames, type styles, the caller's item
// and the hand-off to the spreadsheet writer, read back from the PDF.
#include <cfloat>

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include "drawing/DrawingFixture.h"
#include "drawing/ExcelBridge.h"

namespace qor::test {
namespace {

constexpr double kTol = 0.15;  // mm

using ItemTest = DrawingTest;

TEST_F(ItemTest, TopZeroAdvancesFourMillimetresBelowT) {
    lib.T = 30;
    lib.PrItem(20, 0, Variant("first"), frmtText, alignLeft);
    lib.PrItem(20, 0, Variant("second"), frmtText, alignLeft);
    EXPECT_FLOAT_EQ(lib.T, 38);
    // An explicit Top leaves T alone.
    lib.PrItem(20, 100, Variant("x"), frmtText, alignLeft);
    EXPECT_FLOAT_EQ(lib.T, 38);
    EXPECT_NEAR(Word("first").top, 39, kTol);
    EXPECT_NEAR(Word("second").top, 43, kTol);
    EXPECT_NEAR(Word("second").left, 25, kTol);
}

TEST_F(ItemTest, AlignsLeftRightAndCentreOnTheAnchor) {
    lib.PrItem(100, 20, Variant("Leftside"), frmtText, alignLeft);
    lib.PrItem(100, 40, Variant("Rightside"), frmtText, alignRight);
    lib.PrItem(100, 60, Variant("Centred"), frmtText, alignCenter);
    lib.PrItem(100, 80, Variant(1234.5), frmtAmount2, alignRight, psTitle);
    EXPECT_NEAR(Word("Leftside").left, 105, kTol);
    EXPECT_NEAR(Word("Rightside").right, 105, kTol);
    EXPECT_NEAR(Word("Centred").CentreX(), 105, kTol);
    const std::string amount = Format(Variant(1234.5), "#,##0.00");
    EXPECT_NEAR(Word(amount).right, 105, kTol);  // measured in the title font
    EXPECT_NEAR(Word("Centred").top, 65, kTol);
}

TEST_F(ItemTest, OtherAlignmentKeepsTheCurrentPosition) {
    lib.PrItem(30, 20, Variant("one"), frmtText, alignLeft);
    const double after = surface.CurrentX();
    lib.PrItem(100, 50, Variant("two"), frmtText, 7);
    EXPECT_NEAR(Word("two").left, GenServices().TwipsToMm(static_cast<float>(after)), kTol);
    EXPECT_NEAR(Word("two").top, 55, kTol);
}

TEST_F(ItemTest, StyleFDrawsABoxAroundTheItem) {
    // psNormal 9 pt: margin 9 \ 3 = 3 mm around the text box.
    lib.PrItem(50, 100, Variant("Framed"), frmtText, alignLeft, psNormal, "F");
    const double width = GenServices().TwipsToMm(static_cast<float>(surface.TextWidth("Framed")));
    const double height = GenServices().TwipsToMm(static_cast<float>(surface.TextHeight("Framed")));
    // psCustom "bf" 13 pt: bold, margin 4 mm.
    lib.PrItem(50, 150, Variant("Bold"), frmtText, alignLeft, psCustom, "bf", 13, "Arial");
    EXPECT_TRUE(surface.Font().Bold);
    const double boldWidth = GenServices().TwipsToMm(static_cast<float>(surface.TextWidth("Bold")));
    const double boldHeight = GenServices().TwipsToMm(static_cast<float>(surface.TextHeight("Bold")));

    const PdfWord framed = Word("Framed");
    const QImage page = Render();
    const double midY = 105 + height / 2;
    EXPECT_TRUE(InkNear(page, 52, midY));                  // left edge
    EXPECT_TRUE(InkNear(page, 55 + width + 3, midY));      // right edge
    EXPECT_TRUE(InkNear(page, 55 + width / 2, 102));       // top edge
    EXPECT_TRUE(InkNear(page, 55 + width / 2, 105 + height + 3));  // bottom edge
    EXPECT_FALSE(InkNear(page, 50.5, midY));               // nothing outside the box
    EXPECT_FALSE(InkNear(page, 53.5, 103.5));              // nor between box and text
    EXPECT_GT(framed.left, 52);
    EXPECT_LT(framed.right, 55 + width + 3);

    const double boldMid = 155 + boldHeight / 2;
    EXPECT_TRUE(InkNear(page, 51, boldMid));
    EXPECT_TRUE(InkNear(page, 55 + boldWidth + 4, boldMid));
    EXPECT_TRUE(InkNear(page, 55 + boldWidth / 2, 151));
    EXPECT_TRUE(InkNear(page, 55 + boldWidth / 2, 155 + boldHeight + 4));
}

TEST_F(ItemTest, ItemWithoutFrameLeavesNoBox) {
    lib.PrItem(50, 100, Variant("Plain"), frmtText, alignLeft, psNormal, "BU");
    const QImage page = Render();
    EXPECT_FALSE(InkNear(page, 52, 106.5));
    EXPECT_FALSE(InkNear(page, 60, 102));
}

TEST_F(ItemTest, ChangesTheCallersItem) {
    Variant title("Invoice \xC3\xA9t\xC3\xA9");
    lib.PrItem(10, 10, title, frmtText, alignLeft, psTitle);
    EXPECT_EQ(CStr(title), "INVOICE \xC3\x89T\xC3\x89");

    Variant caps("caps");
    lib.PrItem(10, 20, caps, frmtText, alignLeft, psCaps);
    EXPECT_EQ(CStr(caps), "CAPS");

    Variant blank("   ");
    lib.PrItem(10, 30, blank, frmtText, alignLeft);
    EXPECT_EQ(CStr(blank), " ");

    ScopedThreadLocale locale("en_US");
    Variant pages("12 pages");
    lib.PrItem(10, 40, pages, frmtNumber, alignLeft);
    EXPECT_TRUE(pages.IsNumber());
    EXPECT_DOUBLE_EQ(CDbl(pages), 12);

    Variant kept("subtitle");
    lib.PrItem(10, 50, kept, frmtText, alignLeft, psSubTitle);
    EXPECT_EQ(CStr(kept), "subtitle");
    EXPECT_TRUE(surface.Font().Italic);
    EXPECT_FALSE(surface.Font().Underline);
    EXPECT_DOUBLE_EQ(surface.Font().Size, 11);
}

TEST_F(ItemTest, TypeStylesSetTheWholeFont) {
    struct Case {
        int32_t style;
        double size;
        bool bold, underline, italic;
    };
    lib.DefaultFontSize = 10;
    lib.DefaultFontName = "Times New Roman";
    for (const Case& c : {Case{psNormal, 10, false, false, false}, Case{psTitle, 13, true, true, false},
                          Case{psSubTitle, 11, false, false, true}, Case{psCaps, 8, false, false, false},
                          Case{psBold, 9, true, false, false}, Case{psSmall, 8, false, false, true}}) {
        surface.Font().Strikethrough = true;
        lib.PrItem(10, 10, Variant("x"), frmtText, alignLeft, c.style);
        const FontSpec& f = surface.Font();
        EXPECT_EQ(f.Name, "Times New Roman") << c.style;
        EXPECT_DOUBLE_EQ(f.Size, c.size) << c.style;
        EXPECT_EQ(f.Bold, c.bold) << c.style;
        EXPECT_EQ(f.Underline, c.underline) << c.style;
        EXPECT_EQ(f.Italic, c.italic) << c.style;
        EXPECT_FALSE(f.Strikethrough) << c.style;
    }
    lib.PrItem(10, 10, Variant("x"), frmtText, alignLeft, psCustom, "tiu", 14.5f, "Courier New");
    FontSpec custom = surface.Font();
    EXPECT_EQ(custom.Name, "Courier New");
    EXPECT_DOUBLE_EQ(custom.Size, 14.5);
    EXPECT_TRUE(custom.Strikethrough && custom.Italic && custom.Underline && !custom.Bold);
    // A style outside the table prints in the font the previous call left.
    lib.PrItem(10, 10, Variant("x"), frmtText, alignLeft, 42);
    EXPECT_EQ(surface.Font(), custom);
}

TEST_F(ItemTest, ZeroInNoZeroFormatsDrawsNothing) {
    lib.PrItem(10, 10, Variant(0), frmtNumberNoZero, alignLeft);
    lib.PrItem(10, 20, Variant("0"), frmtNumberDecNoZero, alignLeft);
    lib.PrItem(10, 30, Variant(0), frmtNumber, alignLeft);
    const std::vector<PdfWord> words = Words();
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].text, "0");
    EXPECT_NEAR(words[0].top, 35, kTol);
}

TEST_F(ItemTest, PositionOverflowIsAnOverflowError) {
    try {
        lib.PrItem(FLT_MAX, 10, Variant("x"), frmtText, alignLeft);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), kErrOverflow);
    }
    lib.T = FLT_MAX;
    EXPECT_THROW(lib.PrItem(10, 0, Variant("x"), frmtText, alignLeft), RuntimeError);
}

TEST_F(ItemTest, WithoutADocumentTheSurfaceIsMissing) {
    lib.VPrinter = nullptr;
    try {
        lib.PrItem(10, 10, Variant("x"), frmtText, alignLeft);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), kErrObjectNotSet);
    }
}

// What the spreadsheet writer was handed.
struct Cell {
    float t, left, top;
    std::string item, pattern;
    int32_t align, printStyle;
    std::string style;
    float fontSize;
    std::string fontName;
    int32_t color;
};
std::vector<Cell> gCells;

void RecordCell(float T, float Left, float Top, Variant& Item, const std::string& Pattern, int32_t Align,
                int32_t PrintStyle, const std::string& Style, float FontSize, const std::string& FontName,
                int32_t Color) {
    gCells.push_back({T, Left, Top, CStr(Item), Pattern, Align, PrintStyle, Style, FontSize, FontName, Color});
    Item = Variant("changed by the writer");
}

class ExcelItemTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        gCells.clear();
        previous_ = SetExcelCellWriter(&RecordCell);
        modqorPrintLib().ExcelMode = true;
    }
    void TearDown() override {
        SetExcelCellWriter(previous_);
        DrawingTest::TearDown();
    }
    ExcelCellWriter previous_ = nullptr;
};

TEST_F(ExcelItemTest, HandsTheItemToTheWriterAndLeavesTheSurfaceAlone) {
    ScopedThreadLocale locale("en_US");
    const FontSpec before = surface.Font();
    surface.CurrentX(1234);
    surface.CurrentY(2345);
    lib.T = 30;
    lib.PrNbrDec = 2;
    Variant amount("1234.5");
    lib.PrItem(60, 0, amount, frmtCurrencyDec, alignRight, psCustom, "BF", 12, "Courier New", 0xFF);
    Variant zero(0);
    lib.PrItem(60, 50, zero, frmtNumberNoZero, alignLeft);
    Variant title("title");
    lib.PrItem(10, 20, title, frmtText, alignCenter, psTitle);

    ASSERT_EQ(gCells.size(), 2u);
    const Cell& c = gCells[0];
    EXPECT_FLOAT_EQ(c.t, 34);
    EXPECT_FLOAT_EQ(c.left, 65);
    EXPECT_FLOAT_EQ(c.top, 39);
    EXPECT_EQ(c.item, "1234.5");
    EXPECT_EQ(c.pattern, "_($* #,##0.00 \\B\\E\\F");
    EXPECT_EQ(c.align, alignRight);
    EXPECT_EQ(c.printStyle, psCustom);
    EXPECT_EQ(c.style, "BF");
    EXPECT_FLOAT_EQ(c.fontSize, 12);
    EXPECT_EQ(c.fontName, "Courier New");
    EXPECT_EQ(c.color, 0xFF);
    EXPECT_EQ(CStr(amount), "changed by the writer");  // the item is passed by reference
    // The title reaches the writer as the client wrote it: upper-casing belongs to drawing.
    EXPECT_EQ(gCells[1].item, "title");
    EXPECT_EQ(gCells[1].pattern, "&");

    EXPECT_EQ(surface.Font(), before);
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 1234);
    EXPECT_DOUBLE_EQ(surface.CurrentY(), 2345);
    EXPECT_TRUE(Words().empty());
}

TEST_F(ExcelItemTest, WithoutAWriterNothingHappens) {
    SetExcelCellWriter(nullptr);
    lib.PrItem(10, 10, Variant("x"), frmtText, alignLeft);
    EXPECT_TRUE(gCells.empty());
    EXPECT_TRUE(Words().empty());
}

}  // namespace
}  // namespace qor::test
