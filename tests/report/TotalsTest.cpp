#include "report/ReportFixture.h"

#include <qor/Texts.h>

namespace qor::test {

class TotalsTest : public ReportTest {
protected:
    clsRapport& Quiet() {
        clsRapport& r = Report();
        r.PageNbr = false;
        r.FootNoteDate = false;
        return r;
    }

    // Rectangles of `page` from `top` to `bottom`.
    std::vector<Shape> Boxes(double top, double bottom, int page = 1) {
        std::vector<Shape> found;
        for (const Shape& s : Shapes(surface::RecordKind::Rectangle, page)) {
            if (std::abs(s.y1 - top) < 0.05 && std::abs(s.y2 - bottom) < 0.05) found.push_back(s);
        }
        return found;
    }

    // x of the vertical lines of `page` running from `top` to `bottom`.
    std::vector<double> Rules(double top, double bottom, int page = 1) {
        std::vector<double> xs;
        for (const Shape& s : Shapes(surface::RecordKind::Line, page)) {
            if (s.x1 == s.x2 && std::abs(s.y1 - top) < 0.05 && std::abs(s.y2 - bottom) < 0.05)
                xs.push_back(std::round(s.x1 * 10) / 10);  // whole twips: 0.1 mm is plenty
        }
        std::sort(xs.begin(), xs.end());
        return xs;
    }
};

TEST_F(TotalsTest, SubTotalBandsSumAndCountEachGroupInOneBand) {
    clsRapport& r = Quiet();
    r.SetCol(0, 60, "Group", "g", frmtText, 0);
    r.SetCol(1, 60, "Sum", "amount", frmtText, 1, false, "", false, 0, 1, 0);
    r.SetCol(2, 60, "Count", "amount", frmtText, 1, false, "", false, 0, 2, 0);
    r.SetRt(MakeRows({"g", "amount"}, {{"A", 10}, {"A", 20}, {"B", 5}}));
    r.EndDoc();
    ASSERT_EQ(Pages(), 1);

    // After the second record (group A ends): 30 and 2, in one box from 38.1 to 44.1.
    const Word thirty = One("30");
    EXPECT_NEAR(thirty.top, 39.4, 0.6);
    EXPECT_NEAR(thirty.right, 129, 0.3);
    const Word two = One("2");
    EXPECT_NEAR(two.top, 39.4, 0.6);
    EXPECT_NEAR(two.right, 189, 0.3);
    EXPECT_EQ(Boxes(38.1, 44.1).size(), 1u);
    // The third record moves 8 mm down, and the end of the rows closes group B: 5 and 1.
    const std::vector<Word> fives = Find("5");
    ASSERT_EQ(fives.size(), 3u);
    EXPECT_NEAR(fives[0].top, 46.4, 0.6);
    EXPECT_NEAR(fives[2].top, 51.4, 0.6);
    EXPECT_NEAR(One("1").top, 51.4, 0.6);
    EXPECT_EQ(Boxes(50.1, 56.1).size(), 1u);
    // Rules from 1.3 above to 4.7 below the figures: left of each figure, right of the sum;
    // the box closes the last column.
    EXPECT_EQ(Rules(38.1, 44.1), (std::vector<double>{70, 130, 130}));
    EXPECT_EQ(r.Cols(1).SubTotal, 0);  // zeroed after its band
    EXPECT_EQ(r.Cols(1).Value.AsString(), "5");
}

TEST_F(TotalsTest, TotalsBandSitsAtTheBottomOfTheLastPage) {
    clsRapport& r = Quiet();
    r.SetCol(0, 90, "Name", "n", frmtText, 0);
    r.SetCol(1, 90, "Amount", "amount", frmtNumber, 1, false, "", false, 0, 0, -1, 1);
    Rows rows;
    for (int i = 1; i <= 70; ++i) rows.push_back({"R" + std::to_string(i), 100});
    r.SetRt(MakeRows({"n", "amount"}, rows));
    r.EndDoc();
    ASSERT_EQ(Pages(), 2);
    EXPECT_TRUE(Boxes(266, 274, 1).empty());
    EXPECT_EQ(Boxes(266, 274, 2).size(), 1u);
    const Word label = One("TOTAAL", 2);
    EXPECT_NEAR(label.left, 15, 0.3);
    EXPECT_NEAR(label.top, 268, 0.6);
    const Word total = One("7.000", 2);
    EXPECT_NEAR(total.top, 268, 0.6);
    EXPECT_NEAR(total.right, 189, 0.3);
    EXPECT_EQ(Rules(266, 274, 2), (std::vector<double>{100}));  // left rule of the figure only
    EXPECT_DOUBLE_EQ(r.Cols(1).Total, 7000);

    // A second run without SetCol carries the total on.
    r.EndDoc();
    EXPECT_EQ(One("14.000", 2).text, "14.000");
}

TEST_F(TotalsTest, TotalsBandGoesToANewPageWhenTheLastLineIsTooLow) {
    clsRapport& r = Quiet();
    r.SetCol(0, 180, "Name", "n", frmtText, 0, false, "", false, 0, 0, -1, 2);
    Rows rows;
    for (int i = 1; i <= 60; ++i) rows.push_back({"R" + std::to_string(i)});
    r.SetRt(MakeRows({"n"}, rows));
    r.EndDoc();
    ASSERT_EQ(Pages(), 2);
    EXPECT_NEAR(One("R60").top, 266.4, 0.6);  // 270.4 + 4 passes the bottom edge
    EXPECT_EQ(Boxes(266, 274, 2).size(), 1u);
    EXPECT_NEAR(One("60", 2).top, 268, 0.6);
    for (const Word& w : Words(2)) EXPECT_NE(w.text.front(), 'R') << w.text;  // only the frame above it
}

TEST_F(TotalsTest, ColumnWithoutDividerLendsItsNeighbourAsLabel) {
    clsRapport& r = Quiet();
    r.SetCol(0, 60, "Amount", "amount", frmtText, 1, true, "", false, 0, 0, -1, 1);
    r.SetCol(1, 60, "Unit", "unit", frmtText, 0, false, "", false, 0, 0, -1, 2);
    r.SetCol(2, 60, "Count", "amount", frmtText, 1, false, "", false, 0, 0, -1, 2);
    r.SetRt(MakeRows({"amount", "unit"}, {{1, "EUR"}, {2, "USD"}, {Variant::Null(), "CHF"}}));
    r.EndDoc();
    // The band: figure 3 in column 0, the last unit beside it on column 1's left edge (no
    // 1 mm indent here), column 1's own count skipped, column 2 counts 3 rows (Null too).
    const std::vector<Word> chf = Find("CHF");
    ASSERT_EQ(chf.size(), 2u);
    EXPECT_NEAR(chf[1].top, 268, 0.6);
    EXPECT_NEAR(chf[1].left, 70, 0.3);
    const std::vector<Word> threes = Find("3");
    ASSERT_EQ(threes.size(), 2u);
    EXPECT_NEAR(threes[0].right, 69, 0.3);
    EXPECT_NEAR(threes[1].right, 189, 0.3);
    EXPECT_EQ(Rules(266, 274), (std::vector<double>{10, 130, 130}));
    // No divider between column 0 and 1 in the frame either.
    EXPECT_EQ(Rules(24, 274), (std::vector<double>{130}));
}

TEST_F(TotalsTest, NoBandWithoutTotalColumns) {
    clsRapport& r = Quiet();
    r.SetCol(0, 180, "Name", "n", frmtText, 0);
    r.SetRt(MakeRows({"n"}, {{"x"}}));
    r.EndDoc();
    EXPECT_TRUE(Boxes(266, 274).empty());
    EXPECT_TRUE(Find("TOTAAL").empty());
}

}  // namespace qor::test
