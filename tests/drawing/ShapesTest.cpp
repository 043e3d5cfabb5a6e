// PrBox, PrCircle, PrLine, PrCheckBox and PrFrame: where the ink lands on the PDF page, and
// the pen and brush they leave.
#include <cfloat>
#include <cmath>
#include <functional>
#include <string>

#include <qor/RtfText.h>
#include <qor/RuntimeError.h>

#include "drawing/DrawingFixture.h"
#include "support/Errors.h"

namespace qor::test {
namespace {

using ShapesTest = DrawingTest;

struct Probe {
    double x, y;  // paper millimetres
    bool ink;
};

TEST_F(ShapesTest, BoxesLinesCirclesAndCheckBoxesAreOffsetByFiveMillimetres) {
    lib.PrBox(10, 10, 50, 30);
    EXPECT_EQ(surface.BrushStyle(), 1);
    EXPECT_DOUBLE_EQ(surface.PenWidth(), 10);
    lib.PrBox(100, 10, 140, 30, 30, 0x0000FF, 0x00FF00);
    EXPECT_EQ(surface.PenColor(), 0x0000FF);
    lib.PrBox(10, 50, 80, 100, 10, 0, std::nullopt, true);  // rounded, radius 10
    surface.BrushStyle(0);
    lib.PrLine(20, 150, 120, 150);
    EXPECT_DOUBLE_EQ(surface.PenWidth(), 1);  // the thinnest pen by default
    lib.PrLine(20, 160, 20, 200, 20, 0xFF0000);
    EXPECT_EQ(surface.BrushStyle(), 0);  // the brush is not touched
    lib.PrCircle(150, 150, 20);
    lib.PrCircle(150, 220, 20, 10, 0, 0xFF0000, 0, 90);
    lib.PrCheckBox(20, 240, kUnchecked);
    lib.PrCheckBox(40, 240, kChecked);
    lib.PrCheckBox(60, 240, kGrayed);
    const QImage page = Render(1, 288);
    // Edges 5 mm in; the arc passes 10 - 10/sqrt(2) = 2.93 mm inside the cut-off corner.
    for (const Probe& p : {Probe{15, 25, true}, Probe{55, 25, true}, Probe{35, 15, true}, Probe{13, 25, false},
                           Probe{57, 25, false}, Probe{17.93, 57.93, true}, Probe{15.3, 55.3, false},
                           Probe{30, 155, true}, Probe{30, 157, false}, Probe{127, 155, false},
                           Probe{175, 155, true}, Probe{155, 135, true}, Probe{135, 155, true}}) {
        EXPECT_EQ(InkNear(page, p.x, p.y, 0.5), p.ink) << p.x << ", " << p.y;
    }
    EXPECT_EQ(At(page, 35, 25), QColor(Qt::white));  // transparent inside
    EXPECT_EQ(At(page, 125, 25), QColor(0, 255, 0));
    EXPECT_EQ(At(page, 105, 25).red(), 255);  // &H0000FF is red
    EXPECT_EQ(At(page, 25, 180), QColor(0, 0, 255));
    // A quarter pie from three o'clock counter-clockwise: only the upper right quarter is blue.
    EXPECT_EQ(At(page, 162, 218).blue(), 255);
    EXPECT_EQ(At(page, 148, 232), QColor(Qt::white));
    // Check boxes: the right side of each square; in its centre nothing, a black cross, a grey cross.
    for (double left : {25.0, 45.0, 65.0}) EXPECT_TRUE(InkNear(page, left + 3, 246.5, 0.2)) << left;
    EXPECT_EQ(At(page, 26.5, 246.5), QColor(Qt::white));
    EXPECT_TRUE(InkNear(page, 45.75, 245.75, 0.1));
    const QColor grey = At(page, 66.5, 246.5);
    EXPECT_TRUE(grey.lightness() > 150 && grey.lightness() < 250) << grey.lightness();
}

TEST_F(ShapesTest, FrameFollowsThePageAndItsTitleRows) {
    lib.PrFrame();
    surface.Orientation(1);
    surface.NewPage();
    lib.PrFrame(2, 20, 30, 0, 150, 0x00FFFF);
    const QImage portrait = Render(1);
    for (const Probe& p : {Probe{15, 100, true}, Probe{195, 100, true}, Probe{100, 20, true},
                           Probe{100, 285, true}, Probe{100, 280, false}})
        EXPECT_EQ(InkNear(portrait, p.x, p.y), p.ink) << p.x << ", " << p.y;
    EXPECT_GT(At(portrait, 100, 17.5).lightness(), 150);  // the grey 5 mm title band
    EXPECT_NE(At(portrait, 100, 17.5), QColor(Qt::white));
    EXPECT_EQ(At(portrait, 100, 22.5), QColor(Qt::white));
    const QImage landscape = Render(2);
    EXPECT_TRUE(InkNear(landscape, 285, 100) && InkNear(landscape, 100, 45));  // right edge; foot of the 10 mm band
    EXPECT_EQ(At(landscape, 100, 40).blue(), 0);
}

TEST_F(ShapesTest, NothingIsDrawnInExcelModeAndOverflowFailsBeforeDrawing) {
    surface.PenWidth(77);
    ExpectRuntimeError(kErrOverflow, [&] { lib.PrBox(10, 10, FLT_MAX, 30); });
    ExpectRuntimeError(kErrOverflow, [&] { lib.PrLine(FLT_MAX, 10, 20, 30); });
    ExpectRuntimeError(kErrOverflow, [&] { lib.PrCircle(10, FLT_MAX, 3); });
    ExpectRuntimeError(kErrOverflow, [&] { lib.PrCheckBox(FLT_MAX, 10, 1); });
    modqorPrintLib().ExcelMode = true;
    lib.PrBox(10, 10, 50, 30, 10, 0, 0xFF);
    lib.PrCircle(50, 50, 20);
    lib.PrLine(10, 10, 100, 100);
    lib.PrCheckBox(20, 20, kChecked);
    lib.PrFrame();
    Picture picture = RedPicture();
    lib.PrPaintPicture(picture, 20, 30);
    lib.PrRTF(RtfText("{\\rtf1\\ansi Hidden}"));
    EXPECT_DOUBLE_EQ(surface.PenWidth(), 77);
    EXPECT_TRUE(Words().empty());
    const QImage page = Render(1, 36);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) ASSERT_EQ(page.pixelColor(x, y), QColor(Qt::white));
}

TEST_F(ShapesTest, AnErrorNamesTheOperationTheClientCalledAndItsArguments) {
    const std::string longText(50, 'x');
    struct Case {
        std::function<void()> call;
        int32_t number;
        std::string description;
    };
    const Case cases[] = {
        {[&] { lib.PrBox(10, 10.5f, FLT_MAX, 30); }, kErrOverflow,
         "Overflow (PrBox(10, 10.5, 3.4028235e+38, 30, 10, 0, none, False, 10))"},
        // PrFrame's own boxes fail; the error names PrFrame, as the client called it.
        {[&] { lib.PrFrame(2, 10, FLT_MAX); }, kErrOverflow, "Overflow (PrFrame(2, 10, 3.4028235e+38, 0, 0, -2147483633))"},
        {[&] { lib.PrItem(FLT_MAX, 20, Variant(longText), frmtText, alignRight); }, kErrOverflow,
         "Overflow (PrItem(3.4028235e+38, 20, \"" + std::string(40, 'x') + "...\", 0, 1, 0, \"\", 9, \"Arial\", 0))"},
        {[&] { lib.PrItem(10, 20, Variant(INFINITY), frmtNumber, alignRight); }, kErrOverflow,
         "Overflow (PrItem(10, 20, \"Infinity\", 1, 1, 0, \"\", 9, \"Arial\", 0))"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpectRuntimeError(c.number, c.call), c.description);
}

}  // namespace
}  // namespace qor::test
