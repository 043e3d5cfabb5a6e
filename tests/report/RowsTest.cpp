// The record loop: merged leading values, separators, text lookups and fitted cells, and one
// report from a real SQLite file.
#include "report/ReportFixture.h"

#include <algorithm>
#include <limits>

#include <sqlite3.h>

#include <qor/SqliteRecordset.h>

namespace qor::test {

const uint32_t kGrey = surface::ColorToRgb(kColorButtonFace);  // the separators inside a group

class RowsTest : public ReportTest {
protected:
    // The one horizontal line at `y` on `page`.
    Shape Separator(double y, int page = 1) {
        const std::vector<Shape> found = Spanning(surface::RecordKind::Line, y, y, page);
        EXPECT_EQ(found.size(), 1u) << "separators at " << y;
        return found.empty() ? Shape{0, 0, 0, 0, 0xDEAD, 0} : found.front();
    }
};

TEST_F(RowsTest, MergesRepeatedLeadingValuesAndGreysSeparatorsInsideAGroup) {
    clsRapport& r = Report();
    r.MaxMergeCol = 1;
    r.SetCol(0, 60, "First", "a", frmtText, 0);
    r.SetCol(1, 60, "Second", "b", frmtText, 0);
    r.SetCol(2, 60, "Third", "c", frmtText, 0);
    r.SetRt(MakeRows({"a", "b", "c"}, {{"A", "X", 1}, {"A", "X", 2}, {"A", "Y", 3}, {"B", "Y", 4}}));
    r.EndDoc();
    ASSERT_EQ(Pages(), 1);
    EXPECT_NEAR(Y(One("A")), 30.4, 0.6);
    const std::vector<Word> ys = Find("Y");
    ASSERT_EQ(ys.size(), 2u);
    EXPECT_NEAR(Y(ys[0]), 38.4, 0.6);
    EXPECT_NEAR(Y(ys[1]), 42.4, 0.6);
    EXPECT_NEAR(Y(One("B")), 42.4, 0.6);
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(Y(One(std::to_string(i))), 30.4 + 4 * (i - 1), 0.6);

    struct Expected {
        double y, x;
        uint32_t rgb;
    };
    for (const Expected& e : {Expected{34.1, 130, kGrey}, Expected{38.1, 70, kGrey}, Expected{42.1, 10, 0},
                              Expected{46.1, 10, 0}}) {
        const Shape s = Separator(e.y);
        EXPECT_NEAR(s.x1, e.x, 0.05) << e.y;
        EXPECT_NEAR(s.x2, 190, 0.05) << e.y;
        EXPECT_EQ(s.rgb, e.rgb) << e.y;
        EXPECT_EQ(s.penWidth, 1) << e.y;
    }

    // Without merging every line is complete and every separator black and whole.
    r.MaxMergeCol = -1;
    r.EndDoc();
    EXPECT_EQ(Find("A").size(), 3u);
    EXPECT_NEAR(Separator(34.1).x1, 10, 0.05);
    EXPECT_EQ(Separator(34.1).rgb, 0u);
}

TEST_F(RowsTest, MergingStartsAfreshOnEveryPageAndTheLastLineOfAPageIsBlack) {
    clsRapport& r = Report();
    r.MaxMergeCol = 0;
    r.SetCol(0, 90, "Group", "g", frmtText, 0);
    r.SetCol(1, 90, "Name", "n", frmtText, 0);
    Rows rows;
    for (int i = 1; i <= 62; ++i) rows.push_back({"G", "R" + std::to_string(i)});
    r.SetRt(MakeRows({"g", "n"}, rows));
    r.EndDoc();
    ASSERT_EQ(Pages(), 2);
    EXPECT_NEAR(Y(One("G", 2)), 30.4, 0.6);
    EXPECT_EQ(Separator(34.1).rgb, kGrey);
    EXPECT_NEAR(Separator(274.1).x1, 100, 0.05);  // the last line of a page: merged but black
    EXPECT_EQ(Separator(274.1).rgb, 0u);
    EXPECT_NEAR(Separator(34.1, 2).x1, 10, 0.05);  // under the last record: whole and black
}

TEST_F(RowsTest, TextLookupsPatternsAndFittedCells) {
    clsRapport& r = Report();
    r.SetCol(0, 60, "Bin", "code", frmtText, 0, false, "", false, 1100);
    r.SetCol(1, 60, "Amount", "amount", frmtText, 1, false, "0.00", false, 0, 0, -1, 1);
    r.SetCol(2, 20, "Text", "text", frmtText, 0, false, "", true);
    r.SetCol(3, 40, "Rest", "rest", frmtText, 0);
    r.SetRt(MakeRows({"code", "amount", "text", "rest"}, {{3, 12.5, "Supercalifragilistic", Variant::Null()}}));
    r.EndDoc();
    EXPECT_NEAR(Y(One("Middelste")), 30.4, 0.6);  // text 1103
    EXPECT_NEAR(Right(One("12,50")), 129, 0.3);
    EXPECT_DOUBLE_EQ(r.Cols(1).Total, 12.5);  // the sum reads the formatted text
    const std::vector<Word> words = PageWords(Pdf(), 1);
    const auto cut = std::find_if(words.begin(), words.end(), [](const Word& w) { return w.text.rfind("Super", 0) == 0; });
    ASSERT_NE(cut, words.end());
    EXPECT_EQ(cut->text.substr(cut->text.size() - 3), "...");  // fitted to the width less 2 mm
    EXPECT_LE(Right(*cut), 130 + 1 + 18 + 0.1);
    EXPECT_EQ(CStr(r.Cols(3).Value), "");  // a Null field reads as empty text
}

// An error while a record is printed names the record, the column and the value; the number
// stays the runtime's.
TEST_F(RowsTest, AnErrorNamesItsRecordColumnAndValue) {
    clsRapport& r = Report();
    r.SetCol(0, 60, "Customer", "name", frmtText, 0);
    r.SetCol(1, 40, "Excl. VAT", "amount", frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
    r.SetRt(MakeRows({"name", "amount"}, {{"Acme", 10.5},
                                          {"Bolt", std::numeric_limits<double>::infinity()}}));
    const std::string text = ExpectRuntimeError(kErrOverflow, [&] { r.EndDoc(); });
    EXPECT_EQ(text, "Overflow (record 2, column \"Excl. VAT\" [amount], value \"Infinity\")");
}

TEST_F(RowsTest, RendersASqliteQueryEndToEnd) {
    TempDir dir;
    const std::string db = dir.File("invoices.sqlite");
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle,
                           "CREATE TABLE invoices(customer TEXT, amount REAL, year INTEGER);"
                           "INSERT INTO invoices VALUES('Acme', 1000.25, 2026), ('Bolt', 7, 2025),"
                           "('Crane', 234.25, 2026);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);

    clsRapport& r = Report();
    r.Title = "Invoices";
    r.SetCol(0, 100, "Customer", "customer", frmtText, 0);
    r.SetCol(1, 80, "Amount", "amount", frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
    r.SetRt(SqliteRecordset::Open(db, "SELECT * FROM invoices WHERE year = ? ORDER BY customer", {2026}));
    r.EndDoc();
    ASSERT_EQ(Pages(), 1);
    EXPECT_NEAR(Y(One("Crane")), 34.4, 0.6);
    EXPECT_TRUE(Find("Bolt").empty());
    EXPECT_NEAR(Right(One("1.000,25")), 189, 0.3);
    EXPECT_NEAR(Y(One("1.234,50")), 268, 0.6);  // the totals band
    EXPECT_NEAR(X(One("Invoices")), 15, 0.3);
}

}  // namespace qor::test
