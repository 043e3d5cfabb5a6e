#include "report/ReportFixture.h"

#include <qor/DataGrid.h>

namespace qor::test {

TEST(ReportDefinition, NewObjectInitAndClear) {
    clsRapport r;
    EXPECT_EQ(r.MaxMergeCol, 0);
    EXPECT_FALSE(r.FootNoteDate);
    EXPECT_FALSE(r.PageNbr);
    EXPECT_EQ(r.LastCol(), 0);

    r.Title = "Before";
    r.SubTitle = "Sub";
    r.FootNote = "Note";
    r.SetCol(0, 180, "Name", "name", frmtText, 0);
    EXPECT_FALSE(r.Init("printer", 3, 2, 2, 9, "/tmp/x.pdf"));
    EXPECT_EQ(r.Title, "");
    EXPECT_EQ(r.SubTitle, "");
    EXPECT_EQ(r.FootNote, "");
    EXPECT_EQ(r.MaxMergeCol, -1);
    EXPECT_TRUE(r.FootNoteDate);
    EXPECT_TRUE(r.PageNbr);
    EXPECT_EQ(r.Cols(0).Caption, "Name");  // columns survive Init

    r.MaxMergeCol = 3;
    r.FootNoteDate = false;
    r.Clear();
    EXPECT_EQ(r.MaxMergeCol, -1);
    EXPECT_TRUE(r.FootNoteDate);
    EXPECT_EQ(r.LastCol(), 0);
    EXPECT_FALSE(r.RunScriptFile("/etc/passwd"));
    EXPECT_FALSE(r.RunScriptFile(""));
}

TEST(ReportDefinition, SetColStoresEveryArgumentAndResetsRunningValues) {
    clsRapport r;
    r.SetCol(0, 40, "A", "a", frmtText, 0);
    const ColumnDef& plain = r.Cols(0);
    EXPECT_TRUE(plain.Value.IsNull());
    EXPECT_EQ(plain.FFrmt, "");
    EXPECT_EQ(plain.SubTotalCol, -1);
    EXPECT_EQ(plain.FontSize, 9);
    EXPECT_EQ(plain.FontName, "Arial");
    EXPECT_FALSE(plain.NoDividerLine);

    r.SetCol(1, 12.5f, "B", "b", frmtAmount2, 2, true, "0.0", true, 1100, 2, 0, 1, psCustom, "I", 11,
             "Courier New", 0xFF);
    const ColumnDef& full = r.Cols(1);
    EXPECT_EQ(full.Width, 12.5f);
    EXPECT_EQ(full.Frmt, frmtAmount2);
    EXPECT_EQ(full.Align, 2);
    EXPECT_TRUE(full.NoDividerLine);
    EXPECT_EQ(full.FFrmt, "0.0");
    EXPECT_TRUE(full.PrLeft);
    EXPECT_EQ(full.LLGenLib, 1100);
    EXPECT_EQ(full.SubTotalType, 2);
    EXPECT_EQ(full.SubTotalCol, 0);
    EXPECT_EQ(full.TotalType, 1);
    EXPECT_EQ(full.PrintStyle, psCustom);
    EXPECT_EQ(full.Style, "I");
    EXPECT_EQ(full.FontSize, 11);
    EXPECT_EQ(full.FontName, "Courier New");
    EXPECT_EQ(full.Color, 0xFF);
    EXPECT_EQ(r.LastCol(), 1);

    // A lower index shortens the report; the entries above it stay as they were.
    r.SetCol(0, 50, "A2", "a", frmtText, 0);
    EXPECT_EQ(r.LastCol(), 0);
    EXPECT_EQ(r.Cols(1).Caption, "B");
}

TEST(ReportDefinition, SetColOutsideTheTableFailsWithError9AndKeepsTheIndex) {
    clsRapport r;
    r.SetCol(15, 10, "last", "x", frmtText, 0);
    for (int16_t bad : {int16_t(16), int16_t(-1)}) {
        const RuntimeError e = ErrorOf([&] { r.SetCol(bad, 10, "bad", "x", frmtText, 0); });
        EXPECT_EQ(e.Number(), 9);
        EXPECT_EQ(r.LastCol(), bad);
    }
    EXPECT_EQ(r.Cols(15).Caption, "last");
    EXPECT_EQ(ErrorOf([&] { (void)r.Cols(16); }).Number(), 9);
}

TEST(ReportDefinition, LibraryHandsOutOneReportUntilReplaced) {
    clsqorPrintLib lib;
    clsRapport& first = lib.PrRapport();
    first.Title = "kept";
    EXPECT_EQ(&lib.PrRapport(), &first);
    lib.PrRapport(nullptr);
    clsRapport& fresh = lib.PrRapport();
    EXPECT_EQ(fresh.Title, "");
    auto mine = std::make_shared<clsRapport>();
    lib.PrRapport(mine);
    EXPECT_EQ(&lib.PrRapport(), mine.get());
}

class GridImportTest : public ReportTest {};

TEST_F(GridImportTest, ColumnsComeFromTheGridWithWidthsSharedOverTheLine) {
    auto grid = std::make_shared<DataGrid>();
    grid->Width = 4000;
    grid->Columns = {
        {true, "  Customer ", "customer", 1000, "", 0, 2, true},
        {false, "Hidden", "amount", 1500, "0.00", 1, 0, false},  // hidden between shown ones: kept
        {true, "Wide", "note", 1140, "", 2, 1, false},
        {false, "Gone", "customer", 2000, "", 0, 1, false},
        {false, "Gone too", "customer", 2000, "", 0, 1, false},
    };
    clsRapport& r = Report();
    r.SetCol(0, 10, "old", "old", frmtAmount, 1, false, "", false, 0, 1, 0, 1);
    r.SetDBGrid(grid);
    r.SetRt(MakeRows({"customer", "amount", "note"}, {{"Acme", 12.5, "n"}}));
    r.EndDoc();

    ASSERT_EQ(r.LastCol(), 2);
    EXPECT_EQ(r.Cols(0).Width, 49);  // Int(1000 / 3640 * 180)
    EXPECT_EQ(r.Cols(1).Width, 74);  // Int(1500 / 3640 * 180)
    EXPECT_EQ(r.Cols(2).Width, 57);  // 190 - 123 - 10
    EXPECT_EQ(r.Cols(0).Caption, "Customer");
    EXPECT_EQ(r.Cols(1).FFrmt, "0.00");
    EXPECT_EQ(r.Cols(1).Align, 1);
    EXPECT_TRUE(r.Cols(1).NoDividerLine);
    EXPECT_FALSE(r.Cols(2).NoDividerLine);
    EXPECT_EQ(r.Cols(0).Frmt, frmtText);
    EXPECT_EQ(r.Cols(0).SubTotalType, 0);
    EXPECT_EQ(r.Cols(0).TotalType, 0);
    EXPECT_EQ(r.Cols(0).SubTotalCol, -1);
    EXPECT_EQ(r.MaxMergeCol, 0);
    EXPECT_TRUE(messages.empty()) << messages.front().text;  // the widths fill the line
    EXPECT_EQ(Pages(), 1);
    // The hidden middle column is printed, right-aligned 1 mm inside its right edge.
    EXPECT_NEAR(One("12,50").right, 10 + 49 + 74 - 1, 0.3);
    EXPECT_FALSE(r.Cols(0).PrLeft);
}

TEST_F(GridImportTest, WideGridColumnsAreFittedAndGridErrorsAreReported) {
    DataGrid grid;
    grid.Width = 4360;
    grid.Columns = {{true, "A", "a", 2000, "", 0, 1, false}, {true, "B", "a", 1999, "", 0, 1, true}};
    clsRapport& r = Report();
    r.SetRt(MakeRows({"a"}, {{"x"}}));
    r.SetDBGrid(grid);
    r.EndDoc();
    EXPECT_TRUE(r.Cols(0).PrLeft);
    EXPECT_FALSE(r.Cols(1).PrLeft);
    EXPECT_EQ(r.Cols(0).Width, 90);
    EXPECT_EQ(r.Cols(1).Width, 90);
    EXPECT_EQ(r.MaxMergeCol, 1);

    grid.Width = 360;  // nothing to share out
    r.SetDBGrid(grid);
    EXPECT_EQ(ErrorOf([&] { r.EndDoc(); }).Number(), 11);

    grid.Width = 4000;
    grid.Columns = {{false, "A", "a", 2000, "", 0, 1, false}};
    r.SetDBGrid(grid);
    EXPECT_EQ(ErrorOf([&] { r.EndDoc(); }).Number(), 9);  // no visible column at all
}

}  // namespace qor::test
