// PrItem on a real surface: positions and line advance read back from the PDF, frames,
// type styles, the caller's item and the hand-off to the spreadsheet writer.
#include <cfloat>

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include "drawing/DrawingFixture.h"
#include "support/Errors.h"

namespace qor::test {
namespace {

constexpr double kTol = 0.15;  // mm

using ItemTest = DrawingTest;

TEST_F(ItemTest, PlacesItemsOnTheirAnchorAndAdvancesBelowT) {
    lib.T = 30;
    lib.PrItem(20, 0, Variant("first"), frmtText, alignLeft);
    lib.PrItem(20, 0, Variant("second"), frmtText, alignLeft);
    EXPECT_FLOAT_EQ(lib.T, 38);
    lib.PrItem(100, 60, Variant("Rightside"), frmtText, alignRight);  // an explicit Top leaves T
    EXPECT_FLOAT_EQ(lib.T, 38);
    lib.PrItem(100, 80, Variant("Centred"), frmtText, alignCenter);
    lib.PrItem(100, 100, Variant(1234.5), frmtAmount2, alignRight, psTitle);
    const double after = surface.CurrentX();
    lib.PrItem(10, 120, Variant("Stays"), frmtText, 7);  // no position for other alignments
    lib.PrItem(10, 140, Variant(0), frmtNumberNoZero, alignLeft);

    EXPECT_NEAR(FindWord("first").Top(), 39, kTol);
    EXPECT_NEAR(FindWord("second").Top(), 43, kTol);
    EXPECT_NEAR(FindWord("second").Left(), 25, kTol);
    EXPECT_NEAR(FindWord("Rightside").Right(), 105, kTol);
    EXPECT_NEAR(FindWord("Centred").CentreX(), 105, kTol);
    EXPECT_NEAR(FindWord("Centred").Top(), 85, kTol);
    EXPECT_NEAR(FindWord(Format(Variant(1234.5), "#,##0.00")).Right(), 105, kTol);  // in the title font
    EXPECT_NEAR(FindWord("Stays").Left(), Mm(after), kTol);
    EXPECT_EQ(Words().size(), 6u);  // zero in a no-zero format draws nothing
}

TEST_F(ItemTest, StyleFDrawsABoxAroundTheItem) {
    // psNormal 9 pt: margin 9 \ 3 = 3 mm around the text box, which starts at (55, 105).
    lib.PrItem(50, 100, Variant("Framed"), frmtText, alignLeft, psNormal, "F");
    const double right = 55 + Mm(surface.TextWidth("Framed")) + 3, midY = 105 + Mm(surface.TextHeight("F")) / 2;
    lib.PrItem(50, 150, Variant("Plain"), frmtText, alignLeft, psNormal, "BU");
    const QImage page = Render();
    EXPECT_TRUE(InkNear(page, 52, midY) && InkNear(page, right, midY) && InkNear(page, 60, 102));
    EXPECT_FALSE(InkNear(page, 50.5, midY) || InkNear(page, 53.5, 103.5));  // outside, and between box and text
    EXPECT_FALSE(InkNear(page, 52, 156.5));                                 // no box without F
}

TEST_F(ItemTest, ChangesTheCallersItem) {
    Variant title("Invoice \xC3\xA9t\xC3\xA9");
    lib.PrItem(10, 10, title, frmtText, alignLeft, psTitle);
    EXPECT_EQ(CStr(title), "INVOICE \xC3\x89T\xC3\x89");
    Variant blank("   "), kept("subtitle"), pages("12 pages");
    lib.PrItem(10, 30, blank, frmtText, alignLeft);
    EXPECT_EQ(CStr(blank), " ");
    lib.PrItem(10, 50, kept, frmtText, alignLeft, psSubTitle);
    EXPECT_EQ(CStr(kept), "subtitle");
    ScopedThreadLocale locale("en_US");
    lib.PrItem(10, 40, pages, frmtNumber, alignLeft);
    EXPECT_TRUE(pages.IsNumber() && CDbl(pages) == 12);
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
        EXPECT_EQ(f, (FontSpec{"Times New Roman", c.size, c.bold, c.italic, c.underline, false})) << c.style;
    }
    lib.PrItem(10, 10, Variant("x"), frmtText, alignLeft, psCustom, "tiu", 14.5f, "Courier New");
    const FontSpec custom{"Courier New", 14.5, false, true, true, true};
    EXPECT_EQ(surface.Font(), custom);
    lib.PrItem(10, 10, Variant("x"), frmtText, alignLeft, 42);  // outside the table: font kept
    EXPECT_EQ(surface.Font(), custom);
}

TEST_F(ItemTest, OverflowAndAMissingSurfaceAreRunTimeErrors) {
    ExpectRuntimeError(kErrOverflow, [&] { lib.PrItem(FLT_MAX, 10, Variant("x"), frmtText, alignLeft); });
    lib.T = FLT_MAX;
    ExpectRuntimeError(kErrOverflow, [&] { lib.PrItem(10, 0, Variant("x"), frmtText, alignLeft); });
    lib.VPrinter = nullptr;
    ExpectRuntimeError(kErrObjectNotSet, [&] { lib.PrItem(10, 10, Variant("x"), frmtText, alignLeft); });
}

TEST_F(ItemTest, InExcelModeTheWriterGetsTheItemAndTheSurfaceIsLeftAlone) {
    CellLog cells;
    ScopedThreadLocale locale("en_US");
    const FontSpec before = surface.Font();
    surface.CurrentX(1234);
    lib.T = 30;
    lib.PrNbrDec = 2;
    Variant amount("1234.5");
    lib.PrItem(60, 0, amount, frmtCurrencyDec, alignRight, psCustom, "BF", 12, "Courier New", 0xFF);
    Variant zero(0);
    lib.PrItem(60, 50, zero, frmtNumberNoZero, alignLeft);
    Variant title("title");  // upper-casing belongs to drawing: the writer gets it as written
    lib.PrItem(10, 20, title, frmtText, alignCenter, psTitle);
    SetExcelCellWriter(nullptr);
    lib.PrItem(10, 10, Variant("nowhere"), frmtText, alignLeft);  // no writer: nothing happens

    EXPECT_EQ(cells.cells(), (std::vector<std::string>{
                          "34|65|39|1234.5|_($* #,##0.00 \\B\\E\\F|1|99|BF|12|Courier New|255",
                          "34|15|25|title|&|2|1||9|Arial|0"}));
    EXPECT_EQ(CStr(amount), "changed");  // the item is passed by reference
    EXPECT_EQ(surface.Font(), before);
    EXPECT_DOUBLE_EQ(surface.CurrentX(), 1234);
    EXPECT_TRUE(Words().empty());
}

}  // namespace
}  // namespace qor::test
