// Output mode 2 as a client meets it: the cell writer's placement rules, a report exported
// and read back with openpyxl, the creation failure, the failed save, and the export window.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/SpreadsheetExport.h>
#include <qor/Texts.h>
#include <qor/qorPrintLib.h>

#include "core/Desktop.h"
#include "core/ModuleState.h"
#include "excel/ExcelApplication.h"
#include "excel/ExcelExport.h"
#include "excel/FrmBuildExcel.h"
#include "excel/ReadBack.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Modal.h"

namespace qor {
namespace {

class ExcelExport : public ::testing::Test {
protected:
    void SetUp() override {
        InstallSpreadsheetExport();
        GenServices().Unattended = true;
        GenServices().LanguageOffset = 20000;
        excel::StartWorkbook(modqorPrintLib(), dir_.File("sheet.xlsx"));
        modqorPrintLib().ExcelMode = true;
    }
    void TearDown() override {
        modqorPrintLib().ExcelMode = false;
        modqorPrintLib().ExcelApp.reset();
        RestorePointer();
    }

    // One item as PrItem hands it over (Left and Top already offset).
    static void Write(float left, float top, Variant item, int32_t printStyle = psNormal,
                      const std::string& pattern = "", int32_t align = 0, float t = 0) {
        excel::ExcelWriteCell(t, left, top, item, pattern, align, printStyle, "", 9, "Arial", 0);
    }
    static ExcelApplication& App() { return *modqorPrintLib().ExcelApp; }
    static std::string At(const std::string& cell) {
        const ExcelRange r = App().Range(cell);
        return r.Formula();
    }
    static ExcelSheetState& Sheet() { return modqorPrintLib().ExcelSheet; }

    test::TempDir dir_;
};

TEST_F(ExcelExport, ItemsFindTheirCellsByPositionStyleAndPageBreaks) {
    Write(20, 11, Variant("Title"), psCustom);          // no caption yet: column A, row 3
    Write(20, 5, Variant("fine print"), psSmall);       // never written
    EXPECT_EQ(Sheet().LastRow, 3);
    for (const char* caption : {"name", "Amount", "Städte"}) Write(30, 30, Variant(caption), psCaps);
    const ExcelHeaderState& header = modqorPrintLib().ExcelHeader;
    EXPECT_EQ(header.CaptionCount, 3);
    EXPECT_EQ(header.Captions[3], "STÄDTE");
    EXPECT_EQ(header.CaptionRow, 8);
    EXPECT_FALSE(App().Cell({8, 2}));        // captions wait for ExcelFinish

    Write(16.7f, 35.4f, Variant("a"));                  // 35 \ 4 + 1 = 9
    Write(16.2f, 38.5f, Variant("b"));                  // same column; 38.5 rounds to 38: row 10
    Write(30, 42.5f, Variant(12.5), psNormal, "#,##0.00", 1);   // 42 (half to even): row 11
    EXPECT_EQ(At("B9"), "a");
    EXPECT_EQ(At("B10"), "b");
    EXPECT_EQ(At("C11"), "12.5");
    EXPECT_EQ(Sheet().Columns[3].NumberFormat, "#,##0.00");
    EXPECT_EQ(Sheet().Columns[3].Alignment, kXlRight);

    // Left of B: a column is inserted, B and C move on, their state moves along.
    Write(12, 35.4f, Variant("x"), psNormal, "", 2);
    EXPECT_EQ(At("B9"), "x");
    EXPECT_EQ(At("C9"), "a");
    EXPECT_EQ(At("D11"), "12.5");
    EXPECT_EQ(Sheet().ColumnCount, 4);
    EXPECT_EQ(Sheet().Columns[4].Left, 30);
    EXPECT_EQ(Sheet().Columns[4].NumberFormat, "#,##0.00");
    EXPECT_EQ(Sheet().Columns[2].NumberFormat, "");
    EXPECT_EQ(Sheet().Columns[2].Alignment, kXlCenter);

    // Bold numbers become sums: from the column's sum start, then the halved grand total.
    Sheet().Columns[3].SumStartRow = 9;
    Write(16, 44, Variant(30.0), psBold);               // row 12
    EXPECT_EQ(At("C12"), "=SUM(C11:C9)");
    EXPECT_EQ(Sheet().Columns[3].SumStartRow, 13);
    Write(16, 52, Variant("7"), psBold);                // row 14, a numeric text
    EXPECT_EQ(At("C14"), "=SUM(C1:C13)/2");
    Write(16, 56, Variant("Total"), psBold);            // text stays text, in bold
    EXPECT_EQ(At("C15"), "Total");
    EXPECT_TRUE(App().Cell({15, 3})->Style.Bold);

    // A page break waits for an item whose running line is above 100 mm, which lands on
    // the row after the last one; the items after it keep their distances.
    modqorPrintLib().ExcelNewPage = true;
    Write(16, 30, Variant("dropped"), psNormal, "", 0, 120);
    EXPECT_TRUE(modqorPrintLib().ExcelNewPage);
    Write(16, 200, Variant("next page"), psCaps, "", 0, 20);   // taken: an ordinary cell
    Write(16, 208, Variant("two rows on"));
    EXPECT_EQ(At("C16"), "next page");
    EXPECT_EQ(At("C18"), "two rows on");
    EXPECT_EQ(header.CaptionCount, 3);
}

TEST_F(ExcelExport, FullTablesAndBadAlignmentsFailTheCall) {
    Write(10, 30, Variant("c"), psCaps);  // past the title lines: columns by position
    for (int32_t i = 1; i <= 46; ++i) Write(static_cast<float>(10 * i), 40, Variant(i));
    const ExcelSheetState before = Sheet();
    test::ExpectRuntimeError(kErrSubscript, [] { Write(1000, 40, Variant("47th")); });
    test::ExpectRuntimeError(kErrSubscript, [] { Write(5, 40, Variant("inserted 47th")); });
    EXPECT_EQ(Sheet().ColumnCount, before.ColumnCount);
    EXPECT_EQ(At("AT11"), "46");
    EXPECT_EQ(At("A11"), "1");

    for (int32_t i = 2; i <= 46; ++i) Write(10, 30, Variant("c"), psCaps);
    test::ExpectRuntimeError(kErrSubscript, [] { Write(10, 30, Variant("c"), psCaps); });
    test::ExpectRuntimeError(kErrInvalidUseOfNull, [] { Write(10, 44, Variant(1), psNormal, "", 3); });
}

// A one-page report of three records, all columns left-aligned with print style 0 and no
// sub-totals, but a total: title in A3, subtitle in A5, captions in row 8, the records in
// rows 9 to 11 from column B, no foot lines. The totals band sits at the page's bottom edge
// (row 69); its label at x 15 comes before the amounts' column, so a column is inserted
// for it and the amounts move from C to D (their caption stays in C).
TEST_F(ExcelExport, ReportBecomesTheFinishedWorkbook) {
    modqorPrintLib().ExcelMode = false;
    clsqorPrintLib lib;
    lib.PrSetUpDLL(Application{"test", ""}, 20000);
    clsRapport& r = lib.PrRapport();
    r.Init("", 2, 1, 1, 9, dir_.File("report.pdf"));
    r.Title = "Customers";
    r.SubTitle = "All of them";
    r.FootNote = "not in the sheet";
    r.PageNbr = true;
    ColumnDef name;
    name.Width = 100;
    name.Caption = "Name";
    name.DataField = "name";
    ColumnDef amount = name;
    amount.Width = 80;
    amount.Caption = "Amount";
    amount.DataField = "amount";
    amount.Frmt = frmtAmount2;
    amount.TotalType = 1;
    r.SetCol(0, name);
    r.SetCol(1, amount);
    r.SetRt(std::make_shared<MemoryRecordset>(
        std::vector<std::string>{"name", "amount"},
        std::vector<std::vector<Variant>>{{Variant("Acme"), Variant(10.5)},
                                          {Variant("Bolt & Partners"), Variant(1234.25)},
                                          {Variant("Crux"), Variant(-4.0)}}));
    r.EndDoc();
    EXPECT_FALSE(modqorPrintLib().ExcelMode);
    EXPECT_EQ(modqorPrintLib().ExcelApp, nullptr);

    const std::string file = dir_.File("report.xlsx");
    ASSERT_TRUE(std::filesystem::exists(file));
    const std::string got = test::ReadBack(file,
        "ws['A3'].value;ws['A5'].value;ws['B8'].value;ws['C8'].value;ws['B9'].value;ws['B11'].value;"
        "ws['D10'].value;ws['D9'].number_format;wv['D69'].value;ws['D69'].value;ws['C69'].value;"
        "ws['B8'].fill.fgColor.rgb;ws['B8'].font.color.rgb;ws['B8'].font.b;ws['C69'].border.bottom.style;"
        "ws['B70'].border.bottom.style;ws['D9'].alignment.horizontal;ws.column_dimensions['A'].width;"
        "ws.column_dimensions['B'].width > 10;"
        "sorted(c.value for row in ws.iter_rows() for c in row if isinstance(c.value, str) and "
        "('Page' in c.value or 'not in' in c.value))");
    EXPECT_EQ(got,
              "'Customers'\n'All of them'\n'NAME'\n'AMOUNT'\n'Acme'\n'Crux'\n1234.25\n'#,##0.00'\n"
              "1240.75\n'=SUM(D68:D1)'\n'TOTAL'\n'FF0A246A'\n'FFFFFFFF'\nTrue\n'thin'\nNone\n'left'\n"
              "3.7109375\nTrue\n[]\n");
}

TEST_F(ExcelExport, CreationFailureIsReportedAndAFailedSaveWritesNothing) {
    TearDown();
    std::optional<Message> seen;
    GenServices().SetMessageObserver([&](const Message& m) -> std::optional<int32_t> {
        seen = m;
        return kAnswerOk;
    });
    clsqorPrintLib lib;
    lib.PrSetUpDLL(Application{"test", ""}, 20000);
    const std::string missing = dir_.File("no/such/folder/out.pdf");
    EXPECT_FALSE(lib.InitPrinter("", 2, 1, 1, 9, missing));
    GenServices().SetMessageObserver({});
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->title, "InitPrinter - Excel");
    EXPECT_EQ(seen->style, kMsgCritical);
    EXPECT_EQ(seen->text, GetText(1054) + "\n\nError 76\n\nPath not found: '" +
                              dir_.File("no/such/folder") + "'");
    EXPECT_EQ(GenServices().LastErrorNumber, kErrPathNotFound);
    EXPECT_FALSE(modqorPrintLib().ExcelMode);

    // The folder disappears while the document is written: PrEndDoc fails with the save's
    // error, ends the export and leaves no file behind.
    const std::filesystem::path folder = dir_.Path() / "gone";
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(lib.InitPrinter("", 2, 1, 1, 9, (folder / "x.pdf").string()));
    lib.PrItem(10, 10, Variant("text"), frmtText, 0);
    std::filesystem::remove(folder);
    std::filesystem::create_directory(folder);
    std::filesystem::create_directory(folder / "x.xlsx");   // the name is taken by a folder
    test::ExpectRuntimeError(kErrPathFileAccess, [&] { lib.PrEndDoc(); });
    EXPECT_FALSE(modqorPrintLib().ExcelMode);
    EXPECT_EQ(modqorPrintLib().ExcelApp, nullptr);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST_F(ExcelExport, WindowStaysWhileShownAndTheWorkbookIsOpenedAfterwards) {
    TearDown();
    static int argc = 1;
    static char arg0[] = "excel_tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
    std::vector<std::string> opened;
    const auto previous = excel::SetWorkbookOpener([&](const std::string& f) { opened.push_back(f); });

    // Unattended: no window, the workbook is saved but not opened.
    {
        test::ModalSpy spy;
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter("", 2, 1, 1, 9, dir_.File("quiet")));
        EXPECT_FALSE(lib.PrEndDoc());
        EXPECT_TRUE(spy.Seen().empty());
        EXPECT_TRUE(std::filesystem::exists(dir_.File("quiet.xlsx")));
        EXPECT_TRUE(opened.empty());
    }

    GenServices().Unattended = false;
    std::string text;
    test::WhenModal("frmBuildExcel", [&](QWidget* w) {
        if (auto* label = w->findChild<QLabel*>("lblText")) text = label->text().toStdString();
    });
    clsqorPrintLib lib;
    lib.PrSetUpDLL(Application{"test", ""}, 20000);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(lib.InitPrinter("", 2, 1, 1, 9, dir_.File("shown.ods")));
    const auto shown = std::chrono::steady_clock::now() - start;
    EXPECT_GE(shown, std::chrono::milliseconds(FrmBuildExcel::kMinimumShownMs));
    EXPECT_EQ(text, GetText(1053));
    EXPECT_TRUE(PointerIsBusy());
    lib.PrItem(10, 10, Variant("shown"), frmtText, 0);
    EXPECT_FALSE(lib.PrEndDoc());
    EXPECT_FALSE(PointerIsBusy());
    GenServices().Unattended = true;
    excel::SetWorkbookOpener(previous);
    EXPECT_EQ(opened, std::vector<std::string>{dir_.File("shown.xlsx")});
    EXPECT_EQ(test::ReadBack(dir_.File("shown.xlsx"), "ws['A4'].value"), "'shown'\n");
}

}  // namespace
}  // namespace qor
