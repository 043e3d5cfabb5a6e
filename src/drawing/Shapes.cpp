// PrBox, PrCircle, PrLine, PrCheckBox and PrFrame: line graphics in millimetres.
//
// PrFrame's automatic bottom edge is the page height in millimetres less 17 (A4 portrait:
// 280 mm, drawn at 285 mm from the paper's top edge, inside the 10 mm margin), matching the
// automatic right edge (190 mm portrait, 280 mm landscape) which also ends 12 mm before the
// paper's edge on A4.
#include <qor/Enums.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "drawing/DrawingSupport.h"
#include "drawing/ErrorPlace.h"

namespace qor {

namespace {

constexpr float kCheckBoxSizeMm = 3.0f;
constexpr float kFrameRightPortraitMm = 190.0f;
constexpr float kFrameRightLandscapeMm = 280.0f;
constexpr float kFrameBottomMarginMm = 17.0f;
constexpr float kTitleRowMm = 5.0f;

void SetPen(VSPrinter& surface, int32_t drawWidth, int32_t borderColor) {
    surface.PenStyle(0);
    surface.PenColor(borderColor);
    surface.PenWidth(drawWidth);
}

void SetPenAndBrush(VSPrinter& surface, int32_t drawWidth, int32_t borderColor,
                    std::optional<int32_t> fillColor) {
    SetPen(surface, drawWidth, borderColor);
    surface.BrushStyle(fillColor ? 0 : 1);
    if (fillColor) surface.BrushColor(*fillColor);
}

}  // namespace

void clsqorPrintLib::PrBox(float Left, float Top, float Right, float Bottom, int32_t DrawWidth,
                           int32_t BorderColor, std::optional<int32_t> FillColor, bool RoundedCorners,
                           float Radius) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    const double left = ToTwips(Offset(Left));
    const double top = ToTwips(Offset(Top));
    const double right = ToTwips(Offset(Right));
    const double bottom = ToTwips(Offset(Bottom));
    const double radius = RoundedCorners ? ToTwips(Radius) : 0;
    VSPrinter& surface = SurfaceOf(*this);
    SetPenAndBrush(surface, DrawWidth, BorderColor, FillColor);
    if (RoundedCorners) {
        surface.DrawRectangle(left, top, right, bottom, radius, radius);
    } else {
        surface.DrawRectangle(left, top, right, bottom);
    }
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrBox", Left, Top, Right, Bottom, DrawWidth, BorderColor, FillColor, RoundedCorners, Radius);
}

void clsqorPrintLib::PrCircle(float Left, float Top, float Radius, int32_t DrawWidth, int32_t BorderColor,
                              std::optional<int32_t> FillColor, float From, float UpTo) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    const double x = ToTwips(Offset(Left));
    const double y = ToTwips(Offset(Top));
    const double radius = ToTwips(Radius);
    VSPrinter& surface = SurfaceOf(*this);
    SetPenAndBrush(surface, DrawWidth, BorderColor, FillColor);
    surface.DrawCircle(x, y, radius, From, UpTo);
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrCircle", Left, Top, Radius, DrawWidth, BorderColor, FillColor, From, UpTo);
}

void clsqorPrintLib::PrLine(float Left, float Top, float Right, float Bottom, int32_t DrawWidth,
                            int32_t BorderColor) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    const double x1 = ToTwips(Offset(Left));
    const double y1 = ToTwips(Offset(Top));
    const double x2 = ToTwips(Offset(Right));
    const double y2 = ToTwips(Offset(Bottom));
    VSPrinter& surface = SurfaceOf(*this);
    SetPen(surface, DrawWidth, BorderColor);
    surface.DrawLine(x1, y1, x2, y2);
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrLine", Left, Top, Right, Bottom, DrawWidth, BorderColor);
}

void clsqorPrintLib::PrCheckBox(float Left, float Top, int32_t Value, int32_t DrawWidth,
                                int32_t BorderColor, std::optional<int32_t> FillColor) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    const double left = ToTwips(Offset(Left));
    const double top = ToTwips(Offset(Top));
    const double right = ToTwips(AddMm(Offset(Left), kCheckBoxSizeMm));
    const double bottom = ToTwips(AddMm(Offset(Top), kCheckBoxSizeMm));
    VSPrinter& surface = SurfaceOf(*this);
    SetPenAndBrush(surface, DrawWidth, BorderColor, FillColor);
    surface.DrawRectangle(left, top, right, bottom);
    if (Value != kChecked && Value != kGrayed) return;
    const int32_t crossColor = Value == kChecked ? BorderColor : kColorButtonFace;
    const float x2 = Left + kCheckBoxSizeMm;
    const float y2 = Top + kCheckBoxSizeMm;
    PrLine(Left, Top, x2, y2, DrawWidth, crossColor);
    PrLine(x2, Top, Left, y2, DrawWidth, crossColor);
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrCheckBox", Left, Top, Value, DrawWidth, BorderColor, FillColor);
}

void clsqorPrintLib::PrFrame(int32_t TitleRows, float Left, float Top, float Right, float Bottom,
                             int32_t TitleFillColor) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    VSPrinter& surface = SurfaceOf(*this);
    const float right = Right != 0 ? Right : surface.Orientation() == 0 ? kFrameRightPortraitMm
                                                                     : kFrameRightLandscapeMm;
    const float bottom = Bottom != 0 ? Bottom : ToMm(surface.PageHeight()) - kFrameBottomMarginMm;
    const float band = AddMm(Top, TitleRows < 2 ? kTitleRowMm : 2 * kTitleRowMm);
    PrBox(Left, Top, right, band, 10, 0, TitleFillColor, false, 10);
    PrBox(Left, Top, right, bottom, 10, 0, std::nullopt, false, 10);
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrFrame", TitleRows, Left, Top, Right, Bottom, TitleFillColor);
}

}  // namespace qor
