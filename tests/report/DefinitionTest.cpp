// The report definition: Init and Clear, the column table's bounds, and columns taken from a
// data grid.
#include "report/ReportFixture.h"

#include <qor/DataGrid.h>

namespace qor::test {

TEST(ReportDefinition, InitResetsTheTextsClearTheColumnsAndSetColStaysInsideTheTable) {
    clsRapport r;
    r.Title = "Before";
    r.FootNote = "Note";
    r.SetCol(0, 180, "Name", "name", frmtText, 0);
    EXPECT_FALSE(r.Init("printer", 3, 2, 2, 9, "/tmp/x.pdf"));
    EXPECT_EQ(r.Title + r.FootNote, "");
    EXPECT_EQ(r.MaxMergeCol, -1);
    EXPECT_TRUE(r.PageNbr);
    EXPECT_EQ(r.Cols(0).Caption, "Name");  // columns survive Init
    r.Clear();
    EXPECT_EQ(r.LastCol(), 0);
    EXPECT_FALSE(r.RunScriptFile("/etc/passwd"));

    // SetCol sets the last column and stays inside the table.
    r.SetCol(1, 12.5f, "B", "b", frmtAmount2, 2);
    EXPECT_EQ(r.LastCol(), 1);
    EXPECT_TRUE(r.Cols(1).Value.IsNull());
    // A lower index shortens the report; the entries above it stay as they were.
    r.SetCol(0, 50, "A", "a", frmtText, 0);
    EXPECT_EQ(r.LastCol(), 0);
    EXPECT_EQ(r.Cols(1).Caption, "B");
    r.SetCol(15, 10, "last", "x", frmtText, 0);
    for (int16_t bad : {int16_t(16), int16_t(-1)}) {
        ExpectRuntimeError(9, [&] { r.SetCol(bad, 10, "bad", "x", frmtText, 0); });
        EXPECT_EQ(r.LastCol(), bad);  // the index is kept: EndDoc fails on it
    }
    EXPECT_EQ(r.Cols(15).Caption, "last");
    ExpectRuntimeError(9, [&] { (void)r.Cols(16); });
}

using GridImportTest = ReportTest;

TEST_F(GridImportTest, ColumnsComeFromTheGridWithWidthsSharedOverTheLine) {
    auto grid = std::make_shared<DataGrid>();
    grid->Width = 4000;
    grid->Columns = {
        {true, "  Customer ", "customer", 1000, "", 0, 2, true},
        {false, "Hidden", "amount", 1500, "0.00", 1, 0, false},  // hidden between shown ones: kept
        {true, "Wide", "note", 1140, "", 2, 1, false},
        {false, "Gone", "customer", 2000, "", 0, 1, false},
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
    EXPECT_EQ(r.Cols(0).TotalType, 0);  // the old column 0 is replaced
    EXPECT_EQ(r.MaxMergeCol, 0);
    EXPECT_TRUE(messages.empty()) << messages.front().text;  // the widths fill the line
    // The hidden middle column is printed, right-aligned 1 mm inside its right edge.
    EXPECT_NEAR(Right(One("12,50")), 10 + 49 + 74 - 1, 0.3);
}

TEST_F(GridImportTest, WideGridColumnsAreFittedAndGridErrorsAreReported) {
    DataGrid grid;
    grid.Width = 4360;
    grid.Columns = {{true, "A", "a", 2000, "", 0, 1, false}, {true, "B", "a", 1999, "", 0, 1, true}};
    clsRapport& r = Report();
    r.SetRt(MakeRows({"a"}, {{"x"}}));
    r.SetDBGrid(grid);
    r.EndDoc();
    EXPECT_TRUE(r.Cols(0).PrLeft && !r.Cols(1).PrLeft);
    EXPECT_EQ(r.MaxMergeCol, 1);
    grid.Width = 360;  // nothing to share out
    r.SetDBGrid(grid);
    ExpectRuntimeError(11, [&] { r.EndDoc(); });
    grid.Columns = {{false, "A", "a", 2000, "", 0, 1, false}};
    grid.Width = 4000;
    r.SetDBGrid(grid);
    ExpectRuntimeError(9, [&] { r.EndDoc(); });  // no visible column at all
}

}  // namespace qor::test
