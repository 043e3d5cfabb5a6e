#include "report/ReportFixture.h"

#include <sqlite3.h>

#include <qor/SqliteRecordset.h>

namespace qor::test {

namespace {

const uint32_t kGrey = surface::ColorToRgb(kColorButtonFace);

}  // namespace

class RowsTest : public ReportTest {
protected:
    // A report without foot lines (so that digits on the page are cells only).
    clsRapport& Quiet(int32_t orient = 1) {
        clsRapport& r = Report(orient);
        r.PageNbr = false;
        r.FootNoteDate = false;
        return r;
    }

    // The one horizontal line at `y` on `page`.
    Shape Separator(double y, int page = 1) {
        const std::vector<Shape> found = HorizontalAt(y, page);
        EXPECT_EQ(found.size(), 1u) << "separators at " << y;
        return found.empty() ? Shape{0, 0, 0, 0, 0xDEAD, 0} : found.front();
    }
};

TEST_F(RowsTest, MergesRepeatedLeadingValuesAndGreysSeparatorsInsideAGroup) {
    clsRapport& r = Quiet();
    r.MaxMergeCol = 1;
    r.SetCol(0, 60, "First", "a", frmtText, 0);
    r.SetCol(1, 60, "Second", "b", frmtText, 0);
    r.SetCol(2, 60, "Third", "c", frmtText, 0);
    r.SetRt(MakeRows({"a", "b", "c"}, {{"A", "X", 1}, {"A", "X", 2}, {"A", "Y", 3}, {"B", "Y", 4}}));
    r.EndDoc();
    ASSERT_EQ(Pages(), 1);

    EXPECT_NEAR(One("A").top, 30.4, 0.6);
    EXPECT_NEAR(One("X").top, 30.4, 0.6);
    const std::vector<Word> ys = Find("Y");
    ASSERT_EQ(ys.size(), 2u);
    EXPECT_NEAR(ys[0].top, 38.4, 0.6);
    EXPECT_NEAR(ys[1].top, 42.4, 0.6);
    EXPECT_NEAR(One("B").top, 42.4, 0.6);
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(One(std::to_string(i)).top, 30.4 + 4 * (i - 1), 0.6);

    struct Expected {
        double y, x;
        uint32_t rgb;
    };
    for (const Expected& e : {Expected{34.1, 130, kGrey}, Expected{38.1, 70, kGrey},
                              Expected{42.1, 10, 0}, Expected{46.1, 10, 0}}) {
        const Shape s = Separator(e.y);
        EXPECT_NEAR(s.x1, e.x, 0.05) << e.y;
        EXPECT_NEAR(s.x2, 190, 0.05) << e.y;
        EXPECT_EQ(s.rgb, e.rgb) << e.y;
        EXPECT_EQ(s.penWidth, 1) << e.y;
    }
}

TEST_F(RowsTest, WithoutMergingEveryLineIsCompleteAndEverySeparatorBlack) {
    clsRapport& r = Quiet();
    r.SetCol(0, 90, "First", "a", frmtText, 0);
    r.SetCol(1, 90, "Second", "b", frmtText, 0);
    r.SetRt(MakeRows({"a", "b"}, {{"A", 1}, {"A", 2}, {"A", 3}}));
    r.EndDoc();
    EXPECT_EQ(Find("A").size(), 3u);
    for (double y : {34.1, 38.1, 42.1}) {
        const Shape s = Separator(y);
        EXPECT_NEAR(s.x1, 10, 0.05);
        EXPECT_EQ(s.rgb, 0u);
    }
}

TEST_F(RowsTest, MergingStartsAfreshOnEveryPageAndTheLastLineOfAPageIsBlack) {
    clsRapport& r = Quiet();
    r.MaxMergeCol = 0;
    r.SetCol(0, 90, "Group", "g", frmtText, 0);
    r.SetCol(1, 90, "Name", "n", frmtText, 0);
    Rows rows;
    for (int i = 1; i <= 62; ++i) rows.push_back({"G", "R" + std::to_string(i)});
    r.SetRt(MakeRows({"g", "n"}, rows));
    r.EndDoc();
    ASSERT_EQ(Pages(), 2);
    EXPECT_NEAR(One("G").top, 30.4, 0.6);
    EXPECT_NEAR(One("G", 2).top, 30.4, 0.6);
    const Shape inside = Separator(34.1);
    EXPECT_NEAR(inside.x1, 100, 0.05);
    EXPECT_EQ(inside.rgb, kGrey);
    const Shape lastOnPage = Separator(274.1);
    EXPECT_NEAR(lastOnPage.x1, 100, 0.05);
    EXPECT_EQ(lastOnPage.rgb, 0u);
    const Shape end = Separator(34.1, 2);  // under the last record: full width, black
    EXPECT_NEAR(end.x1, 10, 0.05);
    EXPECT_EQ(end.rgb, 0u);
}

TEST_F(RowsTest, TextLookupsPatternsAndFittedCells) {
    clsRapport& r = Quiet();
    r.SetCol(0, 60, "Bin", "code", frmtText, 0, false, "", false, 1100);
    r.SetCol(1, 60, "Amount", "amount", frmtText, 1, false, "0.00", false, 0, 0, -1, 1);
    r.SetCol(2, 20, "Text", "text", frmtText, 0, false, "", true);
    r.SetCol(3, 40, "Rest", "rest", frmtText, 0);
    r.SetRt(MakeRows({"code", "amount", "text", "rest"},
                     {{3, 12.5, "Supercalifragilistic", Variant::Null()}}));
    r.EndDoc();
    EXPECT_NEAR(One("Middelste").top, 30.4, 0.6);  // text 1103
    EXPECT_NEAR(One("lade").top, 30.4, 0.6);
    EXPECT_NEAR(One("12,50").right, 129, 0.3);
    EXPECT_DOUBLE_EQ(r.Cols(1).Total, 12.5);  // the sum reads the formatted text
    const std::vector<Word> words = Words();
    const auto cut = std::find_if(words.begin(), words.end(), [](const Word& w) {
        return w.text.rfind("Super", 0) == 0;
    });
    ASSERT_NE(cut, words.end());
    EXPECT_EQ(cut->text.substr(cut->text.size() - 3), "...");
    EXPECT_LT(cut->text.size(), std::string("Supercalifragilistic...").size());
    EXPECT_LE(cut->right, 130 + 1 + 18 + 0.1);
    EXPECT_TRUE(r.Cols(3).Value.IsString());
    EXPECT_EQ(CStr(r.Cols(3).Value), "");  // a Null field reads as empty text
}

TEST_F(RowsTest, RendersASqliteQueryEndToEnd) {
    const std::string db = File("invoices.sqlite");
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle,
                           "CREATE TABLE invoices(customer TEXT, amount REAL, year INTEGER);"
                           "INSERT INTO invoices VALUES('Acme', 1000.25, 2026), ('Bolt', 7, 2025),"
                           "('Crane', 234.25, 2026);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);

    clsRapport& r = Quiet();
    r.Title = "Invoices";
    r.SetCol(0, 100, "Customer", "customer", frmtText, 0);
    r.SetCol(1, 80, "Amount", "amount", frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
    r.SetRt(SqliteRecordset::Open(db, "SELECT * FROM invoices WHERE year = ? ORDER BY customer", {2026}));
    r.EndDoc();
    ASSERT_EQ(Pages(), 1);
    EXPECT_NEAR(One("Acme").top, 30.4, 0.6);
    EXPECT_NEAR(One("Crane").top, 34.4, 0.6);
    EXPECT_TRUE(Find("Bolt").empty());
    EXPECT_NEAR(One("1.000,25").right, 189, 0.3);
    EXPECT_NEAR(One("1.234,50").top, 268, 0.6);  // the totals band
    EXPECT_NEAR(One("Invoices").left, 15, 0.3);
}

}  // namespace qor::test
