// Sub-total bands when a group changes and the totals band at the bottom of the last page.
#include "report/ReportFixture.h"

#include <algorithm>

namespace qor::test {

class TotalsTest : public ReportTest {
protected:
    // x of the vertical lines of `page` running from `top` to `bottom`, to 0.1 mm.
    std::vector<double> Rules(double top, double bottom, int page = 1) {
        std::vector<double> xs;
        for (const Shape& s : Spanning(surface::RecordKind::Line, top, bottom, page)) {
            if (s.x1 == s.x2) xs.push_back(std::round(s.x1 * 10) / 10);
        }
        std::sort(xs.begin(), xs.end());
        return xs;
    }
    std::size_t Boxes(double top, double bottom, int page = 1) {
        return Spanning(surface::RecordKind::Rectangle, top, bottom, page).size();
    }
};

TEST_F(TotalsTest, SubTotalBandsSumAndCountEachGroupInOneBand) {
    clsRapport& r = Report();
    r.SetCol(0, 60, "Group", "g", frmtText, 0);
    r.SetCol(1, 60, "Sum", "amount", frmtText, 1, false, "", false, 0, 1, 0);
    r.SetCol(2, 60, "Count", "amount", frmtText, 1, false, "", false, 0, 2, 0);
    r.SetRt(MakeRows({"g", "amount"}, {{"A", 10}, {"A", 20}, {"B", 5}}));
    r.EndDoc();
    ASSERT_EQ(Pages(), 1);

    // After the second record (group A ends): 30 and 2, in one box from 38.1 to 44.1.
    EXPECT_NEAR(Y(One("30")), 39.4, 0.6);
    EXPECT_NEAR(Right(One("30")), 129, 0.3);
    EXPECT_NEAR(Right(One("2")), 189, 0.3);
    EXPECT_EQ(Boxes(38.1, 44.1), 1u);
    // Rules span the box: left of each figure, right of the sum; the box closes the last column.
    EXPECT_EQ(Rules(38.1, 44.1), (std::vector<double>{70, 130, 130}));
    const std::vector<Shape> under = Spanning(surface::RecordKind::Line, 44.1, 44.1);  // closes the block
    ASSERT_EQ(under.size(), 1u);
    EXPECT_NEAR(under[0].x1, 10, 0.05);
    // The third record follows 8 mm below where the band started, and the end of the rows
    // closes group B: 5 and 1.
    const std::vector<Word> fives = Find("5");
    ASSERT_EQ(fives.size(), 3u);
    EXPECT_NEAR(Y(fives[0]), 46.4, 0.6);
    EXPECT_NEAR(Y(One("1")), 51.4, 0.6);
    EXPECT_EQ(Boxes(50.1, 56.1), 1u);
    EXPECT_EQ(r.Cols(1).SubTotal, 0);  // zeroed after its band
}

TEST_F(TotalsTest, TotalsBandSitsAtTheBottomOfTheLastPage) {
    clsRapport& r = Report();
    r.SetCol(0, 90, "Name", "n", frmtText, 0);
    r.SetCol(1, 90, "Amount", "amount", frmtNumber, 1, false, "", false, 0, 0, -1, 1);
    Rows rows;
    for (int i = 1; i <= 70; ++i) rows.push_back({"R" + std::to_string(i), 100});
    r.SetRt(MakeRows({"n", "amount"}, rows));
    r.EndDoc();
    ASSERT_EQ(Pages(), 2);
    EXPECT_EQ(Boxes(266, 274, 1) * 10 + Boxes(266, 274, 2), 1u);  // on the last page only
    EXPECT_NEAR(X(One("TOTAAL", 2)), 15, 0.3);
    EXPECT_NEAR(Y(One("7.000", 2)), 268, 0.6);
    EXPECT_NEAR(Right(One("7.000", 2)), 189, 0.3);
    EXPECT_EQ(Rules(266, 274, 2), (std::vector<double>{100}));  // left rule of the figure only
    r.EndDoc();  // a second run without SetCol carries the total on
    EXPECT_EQ(Find("14.000", 2).size(), 1u);
}

TEST_F(TotalsTest, TotalsBandGoesToANewPageWhenTheLastLineIsTooLow) {
    clsRapport& r = Report();
    r.SetCol(0, 180, "Name", "n", frmtText, 0, false, "", false, 0, 0, -1, 2);
    Rows rows;
    for (int i = 1; i <= 60; ++i) rows.push_back({"R" + std::to_string(i)});
    r.SetRt(MakeRows({"n"}, rows));
    r.EndDoc();
    ASSERT_EQ(Pages(), 2);
    EXPECT_NEAR(Y(One("R60")), 266.4, 0.6);  // 270.4 + 4 passes the bottom edge
    EXPECT_EQ(Boxes(266, 274, 2), 1u);
    EXPECT_NEAR(Y(One("60", 2)), 268, 0.6);
    for (const Word& w : PageWords(Pdf(), 2)) EXPECT_NE(w.text.front(), 'R') << w.text;  // only the frame above it
}

TEST_F(TotalsTest, ColumnWithoutDividerLendsItsNeighbourAsLabel) {
    clsRapport& r = Report();
    r.SetCol(0, 60, "Amount", "amount", frmtText, 1, true, "", false, 0, 0, -1, 1);
    r.SetCol(1, 60, "Unit", "unit", frmtText, 0, false, "", false, 0, 0, -1, 2);
    r.SetCol(2, 60, "Count", "amount", frmtText, 1, false, "", false, 0, 0, -1, 2);
    r.SetRt(MakeRows({"amount", "unit"}, {{1, "EUR"}, {2, "USD"}, {Variant::Null(), "CHF"}}));
    r.EndDoc();
    // The band: figure 3 in column 0, the last unit beside it on column 1's left edge (no
    // 1 mm indent here), column 1's own count skipped, column 2 counts 3 rows (Null too).
    const std::vector<Word> chf = Find("CHF");
    ASSERT_EQ(chf.size(), 2u);
    EXPECT_NEAR(X(chf[1]), 70, 0.3);
    const std::vector<Word> threes = Find("3");
    ASSERT_EQ(threes.size(), 2u);
    EXPECT_NEAR(Right(threes[0]), 69, 0.3);
    EXPECT_NEAR(Right(threes[1]), 189, 0.3);
    EXPECT_EQ(Rules(266, 274), (std::vector<double>{10, 130, 130}));
    EXPECT_EQ(Rules(24, 274), (std::vector<double>{130}));  // no divider after column 0 either
}

}  // namespace qor::test
