#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include <qor/RuntimeError.h>

#include "excel/ExcelApplication.h"
#include "excel/ExcelCells.h"
#include "excel/ReadBack.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Process.h"

namespace qor {
namespace {

using excel::CellRef;

TEST(ExcelCells, CellNamesAndColumnLetters) {
    struct Case { const char* name; int32_t row, column; };
    for (const Case& c : {Case{"A1", 1, 1}, Case{"z9", 9, 26}, Case{"AA10", 10, 27},
                          Case{"AT3", 3, 46}, Case{"$B$12", 12, 2}, Case{"XFD1048576", 1048576, 16384}}) {
        EXPECT_EQ(excel::ParseCellName(c.name), (CellRef{c.row, c.column})) << c.name;
    }
    for (const char* bad : {"", "A", "12", "A0", "1A", "A1B", "XFE1", "A1048577", "ABCD1", "A-1", "A 1"})
        test::ExpectRuntimeError(kErrInvalidCall, [&] { excel::ParseCellName(bad); });
    for (int32_t n : {1, 26, 27, 46, 52, 53, 702, 703, 16384})
        EXPECT_EQ(excel::ColumnNumber(excel::ColumnLetters(n)), n);
    EXPECT_EQ(excel::ColumnLetters(46), "AT");
    EXPECT_EQ(excel::ColumnLetters(703), "AAA");
}

TEST(ExcelCells, InsertedColumnsShiftFormulaReferences) {
    struct Case { const char* before; int32_t at, count; const char* after; };
    for (const Case& c : {
             Case{"=SUM(B1:B3)", 2, 1, "=SUM(C1:C3)"},
             Case{"=SUM(B1:B3)", 1, 1, "=SUM(C1:C3)"},
             Case{"=SUM(B1:B3)", 3, 1, "=SUM(B1:B3)"},
             Case{"=SUM(A1:C1)/2", 2, 2, "=SUM(A1:E1)/2"},
             Case{"=$Z$4+AB7", 26, 1, "=$AA$4+AC7"},
             Case{"=LOG10(B2)&\"B2\"", 2, 1, "=LOG10(C2)&\"B2\""},
             Case{"=SUM(B11:B9)", 2, 1, "=SUM(C11:C9)"}}) {
        EXPECT_EQ(excel::ShiftFormulaColumns(c.before, c.at, c.count), c.after) << c.before;
    }
}

TEST(ExcelCells, EvaluatesSumsAndHalvedSums) {
    // B1..B3 values, B4 a sub-total of them, B5 text, B6..B7 values, B8 their sub-total.
    const std::map<std::pair<int, int>, double> numbers{
        {{1, 2}, 10}, {{2, 2}, 20}, {{3, 2}, 30}, {{4, 2}, 60}, {{6, 2}, 1.5}, {{7, 2}, 2.5}, {{8, 2}, 4}};
    const excel::CellNumber cell = [&](CellRef r) -> std::optional<double> {
        auto it = numbers.find({r.Row, r.Column});
        if (it == numbers.end()) return std::nullopt;
        return it->second;
    };
    struct Case { const char* formula; std::optional<double> result; };
    for (const Case& c : {Case{"=SUM(B3:B1)", 60.0}, Case{"=SUM(B1:B8)/2", 64.0},
                          Case{"=sum(B1, B6:B7)", 14.0}, Case{"=SUM(B5:B5)", 0.0},
                          Case{"=SUM(A1:C2)*3", 90.0}, Case{"=B2", 20.0},
                          Case{"=SUM(B1:B3)/0", std::nullopt}, Case{"=AVERAGE(B1:B3)", std::nullopt},
                          Case{"SUM(B1:B3)", std::nullopt}, Case{"=SUM(B1:B3", std::nullopt}}) {
        EXPECT_EQ(excel::EvaluateFormula(c.formula, cell), c.result) << c.formula;
    }
}

TEST(ExcelCells, DisplayTextFollowsTheNumberFormat) {
    struct Case { double value; const char* format; const char* text; };
    for (const Case& c : {Case{1234.5, "#,##0.00", "1,234.50"}, Case{-1234.5, "#,##0.00", "-1,234.50"},
                          Case{-2, "0.0;(0.0)", "(2.0)"}, Case{0.125, "0%", "13%"},
                          Case{1234567, "\"EUR \"#,##0", "EUR 1,234,567"}, Case{42, "", "42"},
                          Case{21, "#,##0.0\\ \\%", "21.0 %"}, Case{3, "0\"%\"", "3%"}}) {
        EXPECT_EQ(excel::FormatForDisplay(c.value, c.format), c.text) << c.format;
    }
}

TEST(ExcelApplication, ColumnInsertionMovesCellsFormatsAndFormulas) {
    ExcelApplication app;
    test::ExpectRuntimeError(kErrObjectNotSet, [&] { app.Range("A1"); });
    app.Workbooks().Add();
    app.Range("B1").Value(10.0);
    app.Range("B2").Value(32.0);
    app.Range("B3").Formula("=SUM(B2:B1)");
    app.Range("C1").Value("text");
    app.Columns("B").NumberFormat("0.00");
    app.Columns("B").Insert(kXlShiftToRight);

    EXPECT_TRUE(app.Range("B1").Value().IsEmpty());
    EXPECT_EQ(app.Range("C1").Value(), Variant(10.0));
    EXPECT_EQ(app.Range("C3").Formula(), "=SUM(C2:C1)");
    EXPECT_EQ(app.Range("C3").Value(), Variant(42.0));
    EXPECT_EQ(app.Range("D1").Value(), Variant("text"));
    EXPECT_EQ(app.ColumnFormat(3)->NumberFormat, "0.00");
    EXPECT_FALSE(app.ColumnFormat(2));

    app.Columns("A:B").Insert();
    EXPECT_EQ(app.Range("E3").Formula(), "=SUM(E2:E1)");
    test::ExpectRuntimeError(kErrInvalidCall, [&] { app.Columns("A").Insert(-4121); });
    EXPECT_NE(test::ExpectRuntimeError(kErrInvalidCall, [&] { app.Range("B0"); }).find("B0"),
              std::string::npos);
    test::ExpectRuntimeError(kErrInvalidCall, [&] { app.Columns("B:1"); });
}

TEST(ExcelApplication, SavedWorkbookReadsBackWithValuesFormulasAndFormats) {
    test::TempDir dir;
    ExcelApplication app;
    app.Workbooks().Add();
    app.Range("A3").Value("Invoices");
    app.Range("A3").Font().Size(13);
    app.Range("A3").Font().Bold(true);
    app.Range("A3").Font().Underline(true);
    app.Range("C9").Value(1234.5);
    app.Range("C10").Value("12");  // numeric text stays text and is left out of sums
    app.Range("C11").Value(30.25);
    app.Range("C12").Formula("=SUM(C11:C9)");
    app.Range("C13").Formula("=SUM(C1:C12)/2");
    app.Columns("B").Insert(kXlShiftToRight);  // the numbers move to D
    app.Range("B8", "D8").Interior().Color(0x6A240A);
    app.Range("B8:D8").Font().Color(0xFFFFFF);
    app.Range("B8", "B13").Borders().Color(0x0000FF);
    app.Range("D9").Font().Name("Courier New");
    app.Range("D9").Font().Italic(true);
    app.Range("D9").Font().Strikethrough(true);
    app.Columns("D").NumberFormat("#,##0.00");
    app.Columns("D").HorizontalAlignment(kXlRight);
    app.Columns("A").ColumnWidth(3);
    app.Visible = true;
    app.SaveAs = dir.File("out.xlsx");
    app.Quit();

    const std::string got = test::ReadBack(dir.File("out.xlsx"),
        "ws['A3'].value;ws['A3'].font.b;ws['A3'].font.u;ws['A3'].font.sz;ws['A3'].font.name;"
        "ws['D9'].value;ws['D10'].value;ws['D12'].value;wv['D12'].value;ws['D13'].value;wv['D13'].value;"
        "ws['D9'].number_format;ws['D9'].alignment.horizontal;ws['D9'].font.name;ws['D9'].font.i;"
        "ws['D9'].font.strike;ws['B8'].fill.fgColor.rgb;ws['C8'].font.color.rgb;"
        "ws['B13'].border.left.color.rgb;ws['B14'].border.left.style;ws.column_dimensions['A'].width;"
        "ws.parent._fonts[0].name;ws.parent._fonts[0].sz;ws['Z99'].font.name");
    EXPECT_EQ(got,
              "'Invoices'\nTrue\n'single'\n13.0\n'Arial'\n"
              "1234.5\n'12'\n'=SUM(D11:D9)'\n1264.75\n'=SUM(D1:D12)/2'\n1264.75\n"
              "'#,##0.00'\n'right'\n'Courier New'\nTrue\nTrue\n'FF0A246A'\n'FFFFFFFF'\n"
              "'FFFF0000'\nNone\n3.7109375\n'Arial'\n9.0\n'Arial'\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
}

TEST(ExcelApplication, AutoFitMakesTheWidestCellFitInStandardDigits) {
    test::TempDir dir;
    ExcelApplication app;
    app.Workbooks().Add();
    app.Range("B1").Value(std::string(20, '0'));      // 20 digits of the standard font
    app.Range("B2").Value("0");
    app.Range("C1").Value(std::string(20, '0'));
    app.Range("C1").Font().Size(18);                  // twice the size: twice as wide
    app.Columns("B:C").AutoFit();
    const double b = *app.ColumnFormat(2)->Width;
    const double c = *app.ColumnFormat(3)->Width;
    // Arial 9's "0" is 6.67 px, counted as 7 whole pixels: 20 digits are 133.5 px, 19.07
    // units, and the margin keeps the fit under one unit more.
    EXPECT_GT(b, 19.07);
    EXPECT_LT(b, 20.07);
    EXPECT_GT(c, 2 * 19.07);
    EXPECT_LT(c, 2 * 19.07 + 1);
    app.Columns("D").AutoFit();                       // empty: keeps the default width
    EXPECT_FALSE(app.ColumnFormat(4));

    app.Visible = true;
    app.SaveAs = dir.File("fit.xlsx");
    app.Quit();
    // The file stores the width plus the cell padding the format counts in (5 px of 7).
    const double stored = std::stod(test::ReadBack(dir.File("fit.xlsx"), "ws.column_dimensions['B'].width"));
    EXPECT_NEAR(stored, b + 5.0 / 7, 1.0 / 7 + 0.01);
}

TEST(ExcelApplication, FailedSaveKeepsTheOlderFileAndLeavesNothingElse) {
    test::TempDir dir;
    const std::string path = dir.File("keep.xlsx");
    test::WriteFile(path, "older");
    ExcelApplication app;
    app.Workbooks().Add();
    app.Range("A1").Value(std::string(40000, 'x'));   // longer than a cell may hold
    app.Visible = true;
    app.SaveAs = path;
    const std::string text = test::ExpectRuntimeError(kErrPathFileAccess, [&] { app.Quit(); });
    EXPECT_NE(text.find(path), std::string::npos) << text;
    EXPECT_EQ(test::ReadFile(path), "older");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // A complete workbook that cannot be renamed into place (a folder holds the name).
    std::filesystem::create_directory(dir.File("taken.xlsx"));
    app.Workbooks().Add();
    app.Range("A1").Value(1.0);
    app.Visible = true;
    app.SaveAs = dir.File("taken.xlsx");
    test::ExpectRuntimeError(kErrPathFileAccess, [&] { app.Quit(); });
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("taken.xlsx")));

    app.Workbooks().Add();
    app.Visible = true;
    app.SaveAs = dir.File("missing/folder/x.xlsx");
    test::ExpectRuntimeError(kErrPathFileAccess, [&] { app.Quit(); });
}

}  // namespace
}  // namespace qor
