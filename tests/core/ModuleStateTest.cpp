#include <gtest/gtest.h>

#include <utility>

#include "core/ModuleState.h"
#include <qor/PrinterList.h>

#include "support/Errors.h"

TEST(ModuleState, ThePageBreakFlagIsTheSheetsAndResetRestoresEverything) {
    qor::ModuleState& m = qor::modqorPrintLib();
    m.ExcelNewPage = true;
    EXPECT_TRUE(m.ExcelSheet.ExcelNewPage);
    m.ExcelSheet = qor::ExcelSheetState{};  // what the export does when it starts
    EXPECT_FALSE(m.ExcelNewPage);
    m.PdfExportFile = "/tmp/a.pdf";
    m.DocPrinted = true;
    m.SelectedBinName = "Lower";
    m.ClientApplication = qor::Application{"a", "/b"};
    m.ExcelMode = m.ExcelNewPage = true;
    m.ExcelSheet.Columns[3].Alignment = qor::kXlRight;
    m.ExcelHeader.Captions[1] = "KLANT";
    m.ExcelHeader.CaptionCount = 1;
    m.Reset();
    EXPECT_EQ(m.PdfExportFile, "");
    EXPECT_FALSE(m.DocPrinted);
    EXPECT_EQ(m.SelectedBinName, "");
    EXPECT_FALSE(m.ClientApplication.has_value());
    EXPECT_FALSE(m.ExcelMode);
    EXPECT_FALSE(m.ExcelNewPage);
    EXPECT_EQ(m.ExcelSheet.Columns[3].Alignment, qor::kXlLeft);
    EXPECT_EQ(m.ExcelHeader.Captions[1], "");
    EXPECT_EQ(m.ExcelHeader.CaptionCount, 0);
    m.ExcelNewPage = true;  // the alias still points at the sheet after Reset
    EXPECT_TRUE(m.ExcelSheet.ExcelNewPage);
    m.Reset();
}

TEST(PrinterList, MemoryListBehavesLikeAListBox) {
    qor::MemoryPrinterList list;
    EXPECT_EQ(list.NewIndex(), -1);
    for (auto [item, data] : {std::pair{"(Geen)", -1}, {"PrinterA", 15}}) {
        list.AddItem(item);
        list.SetItemData(list.NewIndex(), data);
    }
    list.SetListIndex(1);
    list.SetList(1, "PrinterA;Lower");
    EXPECT_EQ(list.Text(), "PrinterA;Lower");
    EXPECT_EQ(list.ItemData(0), -1);
    EXPECT_EQ(list.ItemData(1), 15);
    qor::test::ExpectRuntimeError(qor::kErrInvalidIndex, [&] { list.ItemData(2); });
    qor::test::ExpectRuntimeError(qor::kErrInvalidProperty, [&] { list.SetListIndex(5); });
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
}
