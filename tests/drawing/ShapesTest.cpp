// PrBox, PrCircle, PrLine, PrCheckBox and PrFrame: where the ink lands on the PDF page, and
// the pen and brush they leave.
#include <cfloat>

#include <qor/RuntimeError.h>

#include "drawing/DrawingFixture.h"

namespace qor::test {
namespace {

using ShapesTest = DrawingTest;

TEST_F(ShapesTest, BoxIsOffsetByFiveMillimetresAndFilledOnlyOnRequest) {
    lib.PrBox(10, 10, 50, 30);
    EXPECT_EQ(surface.BrushStyle(), 1);
    EXPECT_DOUBLE_EQ(surface.PenWidth(), 10);
    lib.PrBox(100, 10, 140, 30, 30, 0x0000FF, 0x00FF00);
    EXPECT_EQ(surface.BrushStyle(), 0);
    EXPECT_EQ(surface.BrushColor(), 0x00FF00);
    EXPECT_EQ(surface.PenColor(), 0x0000FF);
    EXPECT_DOUBLE_EQ(surface.PenWidth(), 30);

    const QImage page = Render();
    EXPECT_TRUE(InkNear(page, 15, 25));
    EXPECT_TRUE(InkNear(page, 55, 25));
    EXPECT_TRUE(InkNear(page, 35, 15));
    EXPECT_TRUE(InkNear(page, 35, 35));
    EXPECT_FALSE(InkNear(page, 13, 25));
    EXPECT_FALSE(InkNear(page, 57, 25));
    EXPECT_EQ(At(page, 35, 25), QColor(Qt::white));  // transparent inside
    const QColor fill = At(page, 125, 25);
    EXPECT_EQ(fill, QColor(0, 255, 0));
    const QColor border = At(page, 105, 25);
    EXPECT_EQ(border.red(), 255);
    EXPECT_LT(border.green(), 60);
}

TEST_F(ShapesTest, RoundedBoxHasRoundCorners) {
    lib.PrBox(10, 10, 80, 60, 10, 0, std::nullopt, true);
    const QImage page = Render();
    EXPECT_TRUE(InkNear(page, 50, 15));          // straight top edge
    EXPECT_FALSE(InkNear(page, 15.3, 15.3, 0.6)); // the square corner is cut off
    // A 10 mm radius: the arc passes 10 - 10/sqrt(2) = 2.93 mm inside the corner.
    EXPECT_TRUE(InkNear(page, 15 + 2.93, 15 + 2.93, 0.5));
}

TEST_F(ShapesTest, LineDefaultsToTheThinnestPen) {
    lib.PrLine(20, 50, 120, 50);
    EXPECT_DOUBLE_EQ(surface.PenWidth(), 1);
    EXPECT_EQ(surface.PenStyle(), 0);
    surface.BrushStyle(0);
    lib.PrLine(20, 60, 20, 100, 20, 0xFF0000);
    EXPECT_EQ(surface.BrushStyle(), 0);  // the brush is not touched
    const QImage page = Render();
    EXPECT_TRUE(InkNear(page, 30, 55));
    EXPECT_TRUE(InkNear(page, 120, 55));
    EXPECT_FALSE(InkNear(page, 30, 57));
    EXPECT_FALSE(InkNear(page, 127, 55));
    EXPECT_EQ(At(page, 25, 80).blue(), 255);
    EXPECT_LT(At(page, 25, 80).red(), 60);
}

TEST_F(ShapesTest, CircleAroundItsCentreAndArcs) {
    lib.PrCircle(50, 50, 20);
    lib.PrCircle(150, 50, 20, 10, 0, 0xFF0000, 0, 90);
    const QImage page = Render();
    EXPECT_TRUE(InkNear(page, 75, 55));   // right
    EXPECT_TRUE(InkNear(page, 35, 55));   // left
    EXPECT_TRUE(InkNear(page, 55, 35));   // top
    EXPECT_TRUE(InkNear(page, 55, 75));   // bottom
    EXPECT_EQ(At(page, 55, 55), QColor(Qt::white));
    // A quarter pie from three o'clock counter-clockwise: the upper right quarter is blue.
    EXPECT_EQ(At(page, 162, 48).blue(), 255);
    EXPECT_LT(At(page, 162, 48).red(), 60);
    EXPECT_EQ(At(page, 148, 62), QColor(Qt::white));
}

TEST_F(ShapesTest, CheckBoxStates) {
    lib.PrCheckBox(20, 20, kUnchecked);
    lib.PrCheckBox(40, 20, kChecked);
    lib.PrCheckBox(60, 20, kGrayed);
    const QImage page = Render(1, 288);
    for (double left : {25.0, 45.0, 65.0}) {
        EXPECT_TRUE(InkNear(page, left, 26.5, 0.2)) << left;      // left side of the square
        EXPECT_TRUE(InkNear(page, left + 3, 26.5, 0.2)) << left;  // right side
        EXPECT_TRUE(InkNear(page, left + 1.5, 25, 0.2)) << left;  // top
    }
    // The centre of the square: empty, a black cross, a grey cross.
    EXPECT_EQ(At(page, 26.5, 26.5), QColor(Qt::white));
    EXPECT_TRUE(InkNear(page, 46.5, 26.5, 0.1));
    EXPECT_TRUE(InkNear(page, 45.75, 25.75, 0.1));
    EXPECT_TRUE(InkNear(page, 47.25, 25.75, 0.1));
    const QColor grey = At(page, 66.5, 26.5);
    EXPECT_GT(grey.lightness(), 150);
    EXPECT_LT(grey.lightness(), 250);
    EXPECT_EQ(grey.red(), grey.blue());
}

TEST_F(ShapesTest, FrameWithDefaultsFollowsThePage) {
    lib.PrFrame();
    const QImage page = Render();
    const double bottom = GenServices().TwipsToMm(static_cast<float>(surface.PageHeight())) - 17 + 5;
    EXPECT_TRUE(InkNear(page, 15, 100));   // left
    EXPECT_TRUE(InkNear(page, 195, 100));  // right: 190 mm in portrait
    EXPECT_TRUE(InkNear(page, 100, 15));   // top
    EXPECT_TRUE(InkNear(page, 100, 20));   // foot of the 5 mm title band
    EXPECT_TRUE(InkNear(page, 100, bottom));
    EXPECT_NEAR(bottom, 285, 0.1);
    const QColor band = At(page, 100, 17.5);
    EXPECT_NE(band, QColor(Qt::white));
    EXPECT_GT(band.lightness(), 150);
    EXPECT_EQ(At(page, 100, 22.5), QColor(Qt::white));
}

TEST_F(ShapesTest, FrameWithTwoTitleRowsAndLandscape) {
    surface.Orientation(1);
    surface.NewPage();
    lib.PrFrame(2, 20, 30, 0, 150, 0x00FFFF);
    const QImage page = Render(2);
    EXPECT_TRUE(InkNear(page, 285, 100));  // right: 280 mm in landscape
    EXPECT_TRUE(InkNear(page, 100, 45));   // foot of the 10 mm band
    EXPECT_TRUE(InkNear(page, 100, 155));
    EXPECT_EQ(At(page, 100, 40).blue(), 0);
    EXPECT_FALSE(InkNear(page, 100, 40, 0.2));
}

TEST_F(ShapesTest, NothingHappensInExcelMode) {
    modqorPrintLib().ExcelMode = true;
    surface.PenWidth(77);
    surface.BrushStyle(0);
    lib.PrBox(10, 10, 50, 30, 10, 0, 0xFF);
    lib.PrCircle(50, 50, 20);
    lib.PrLine(10, 10, 100, 100);
    lib.PrCheckBox(20, 20, kChecked);
    lib.PrFrame();
    EXPECT_DOUBLE_EQ(surface.PenWidth(), 77);
    EXPECT_EQ(surface.BrushStyle(), 0);
    const QImage page = Render(1, 36);
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) ASSERT_EQ(page.pixelColor(x, y), QColor(Qt::white));
    }
}

TEST_F(ShapesTest, OverflowFailsBeforeAnythingIsDrawn) {
    surface.PenWidth(77);
    for (auto draw : {+[](clsqorPrintLib& l) { l.PrBox(10, 10, FLT_MAX, 30); },
                      +[](clsqorPrintLib& l) { l.PrLine(FLT_MAX, 10, 20, 30); },
                      +[](clsqorPrintLib& l) { l.PrCircle(10, FLT_MAX, 3); },
                      +[](clsqorPrintLib& l) { l.PrCheckBox(FLT_MAX, 10, 1); }}) {
        try {
            draw(lib);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), kErrOverflow);
        }
    }
    EXPECT_DOUBLE_EQ(surface.PenWidth(), 77);
}

}  // namespace
}  // namespace qor::test
