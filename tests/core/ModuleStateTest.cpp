#include <gtest/gtest.h>

#include <thread>

#include <qor/ModuleState.h>
#include <qor/PrinterList.h>

TEST(ModuleState, StartsWithTheStartValues) {
    std::thread([] {
        const qor::ModuleState& m = qor::modqorPrintLib();
        EXPECT_EQ(m.PdfExportFile, "");
        EXPECT_FALSE(m.DocPrinted);
        EXPECT_EQ(m.PreviewMode, 0);
        EXPECT_EQ(m.SecondPageBin, 0);
        EXPECT_EQ(m.SelectedPrinter, "");
        EXPECT_EQ(m.SelectedBinName, "");
        EXPECT_EQ(m.SelectedBin, 0);
        EXPECT_EQ(m.NewDefaultPrinter, "");
        EXPECT_FALSE(m.ClientApplication.has_value());
        EXPECT_FALSE(m.ExcelMode);
        EXPECT_FALSE(m.ExcelNewPage);
        EXPECT_EQ(m.ExcelApp, nullptr);
        EXPECT_EQ(m.ExcelSheet.CurrentColumn, "A");
        EXPECT_EQ(m.ExcelSheet.CurrentRow, 1);
        EXPECT_EQ(m.ExcelSheet.ColumnCount, 0);
        EXPECT_EQ(m.ExcelSheet.LastRow, 0);
        EXPECT_EQ(m.ExcelSheet.RowBase, 0);
        ASSERT_EQ(m.ExcelSheet.Columns.size(), 47u);
        for (const auto& column : m.ExcelSheet.Columns) {
            EXPECT_EQ(column.Left, 0);
            EXPECT_EQ(column.NumberFormat, "");
            EXPECT_EQ(column.Alignment, -4131);
            EXPECT_EQ(column.SumStartRow, 1);
        }
        ASSERT_EQ(m.ExcelHeader.Captions.size(), 47u);
        EXPECT_EQ(m.ExcelHeader.CaptionCount, 0);
        EXPECT_EQ(m.ExcelHeader.CaptionRow, 1);
    }).join();
}

TEST(ModuleState, IsSharedWithinAThreadAndSeparateBetweenThreads) {
    qor::modqorPrintLib().SelectedPrinter = "PrinterA";
    qor::modqorPrintLib().PreviewMode = 3;
    std::string other = "x";
    std::thread([&] {
        other = qor::modqorPrintLib().SelectedPrinter;
        qor::modqorPrintLib().SelectedPrinter = "PrinterB";
    }).join();
    EXPECT_EQ(other, "");
    EXPECT_EQ(qor::modqorPrintLib().SelectedPrinter, "PrinterA");
    EXPECT_EQ(&qor::modqorPrintLib(), &qor::modqorPrintLib());
    qor::modqorPrintLib().Reset();
}

TEST(ModuleState, ThePageBreakFlagIsTheSheetsAndResetRestoresEverything) {
    qor::ModuleState& m = qor::modqorPrintLib();
    m.ExcelNewPage = true;
    EXPECT_TRUE(m.ExcelSheet.ExcelNewPage);
    m.ExcelSheet = qor::ExcelSheetState{};  // what the export does when it starts
    EXPECT_FALSE(m.ExcelNewPage);

    m.PdfExportFile = "/tmp/a.pdf";
    m.DocPrinted = true;
    m.SecondPageBin = 2;
    m.SelectedBin = -1;
    m.SelectedBinName = "Lower";
    m.NewDefaultPrinter = "15;PrinterA";
    m.ClientApplication = qor::Application{"a", "/b"};
    m.ExcelMode = true;
    m.ExcelNewPage = true;
    m.ExcelSheet.Columns[3].Alignment = qor::kXlRight;
    m.ExcelHeader.Captions[1] = "KLANT";
    m.ExcelHeader.CaptionCount = 1;

    m.Reset();
    EXPECT_EQ(m.PdfExportFile, "");
    EXPECT_FALSE(m.DocPrinted);
    EXPECT_EQ(m.SecondPageBin, 0);
    EXPECT_EQ(m.SelectedBin, 0);
    EXPECT_EQ(m.SelectedBinName, "");
    EXPECT_EQ(m.NewDefaultPrinter, "");
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
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.NewIndex(), -1);
    EXPECT_EQ(list.Text(), "");
    list.AddItem("(Geen)");
    list.SetItemData(list.NewIndex(), -1);
    list.AddItem("PrinterA");
    list.SetItemData(list.NewIndex(), 15);
    EXPECT_EQ(list.ListCount(), 2);
    EXPECT_EQ(list.NewIndex(), 1);
    list.SetListIndex(1);
    EXPECT_EQ(list.Text(), "PrinterA");
    list.SetList(1, "PrinterA;Lower");
    EXPECT_EQ(list.Text(), "PrinterA;Lower");
    EXPECT_EQ(list.ItemData(0), -1);
    EXPECT_THROW(list.ItemData(2), qor::RuntimeError);
    EXPECT_THROW(list.SetListIndex(5), qor::RuntimeError);
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
}
