// PrBoxText: text wrapped at blanks into a rectangle, line by line, with an optional frame.
//
// The routine never fails towards its caller: each step that raises an error is skipped
// and the next one runs (a surface that rejects a value, an alignment outside 0 to 2, a
// missing document). `Guarded` below is that policy in one place.
//
// The remainder is trimmed of blanks only: when the box fills up at the end of a paragraph
// it starts with the carriage return of the next paragraph ("\rnext"), so a caller that
// places it in the next box gets the paragraph break there as well.
#include <string_view>
#include <utility>

#include <qor/GenServices.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "drawing/DrawingSupport.h"
#include "drawing/ExcelBridge.h"
#include "drawing/ParagraphWrap.h"
#include "drawing/TypeStyles.h"

namespace qor {

namespace {

constexpr float kMinFramedMm = 10.0f;
constexpr float kTextInsetMm = 2.0f;

// Runs one step; an error drops that step only.
template <class F>
void Guarded(F&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

// The surface calls of one PrBoxText run, each under the skip-on-error policy; a failed
// measurement reads as 0.
class GuardedSurface {
public:
    explicit GuardedSurface(VSPrinter* surface) : s_(surface) {}

    double Width(std::string_view text) const { return Read([&] { return s_->TextWidth(text); }); }
    double Height(std::string_view text) const { return Read([&] { return s_->TextHeight(text); }); }
    double Y() const { return Read([&] { return s_->CurrentY(); }); }
    void X(double twips) { Guarded([&] { s_->CurrentX(twips); }); }
    void Y(double twips) { Guarded([&] { s_->CurrentY(twips); }); }
    void Draw(const std::string& text) { Guarded([&] { s_->Text(text); }); }
    template <class F>
    void Do(F&& step) {
        Guarded([&] { step(*s_); });
    }

private:
    template <class F>
    double Read(F&& read) const {
        double value = 0;
        Guarded([&] {
            if (s_ != nullptr) value = read();
        });
        return value;
    }
    VSPrinter* s_;
};

double TwipsOr0(float mm) {
    double twips = 0;
    Guarded([&] { twips = ToTwips(mm); });
    return twips;
}

}  // namespace

std::string clsqorPrintLib::PrBoxText(float Left, float Top, float Right, float Bottom, std::string& Text,
                                      bool Border, int32_t Align, int32_t PrintStyle,
                                      const std::string& Style, int32_t DrawWidth, int32_t BorderColor,
                                      std::optional<int32_t> FillColor, float FontSize,
                                      const std::string& FontName, bool EllipsText) {
    std::string result;
    if (ExcelModeOn()) {
        Guarded([&] {
            Variant item(Text);
            ExcelWriteCell(T, Left, Top, item, "", Align, PrintStyle, Style, FontSize, FontName,
                           BorderColor);
        });
        return result;
    }

    if (Border) {
        if (Bottom - Top < kMinFramedMm || Right - Left < kMinFramedMm) {
            Guarded([&] {
                GenServices().ShowMessage(GetText(Bottom - Top < kMinFramedMm ? 1006 : 1007), 16,
                                          "PrBoxText");
            });
        } else {
            Guarded([&] { PrBox(Left, Top, Right, Bottom, DrawWidth, BorderColor, FillColor, false, 10); });
            Left += kTextInsetMm;
            Top += kTextInsetMm;
            Right -= kTextInsetMm;
            Bottom -= kTextInsetMm;
        }
    }
    Left += kDrawingOffsetMm;
    Top += kDrawingOffsetMm;
    Right += kDrawingOffsetMm;
    Bottom += kDrawingOffsetMm;

    if (VPrinter == nullptr) return result;  // every surface step would fail
    GuardedSurface surface(VPrinter);
    const double left = TwipsOr0(Left);
    const double right = TwipsOr0(Right);
    const double bottom = TwipsOr0(Bottom);
    const double lineWidth = TwipsOr0(Right - Left);

    bool upper = false;
    surface.Do([&](VSPrinter& s) {
        const StyleRequest request{PrintStyle, DefaultFontName, DefaultFontSize, Style, FontSize, FontName};
        upper = ApplyPrintStyle(s, request, StyleUser::BoxText);
    });
    if (upper) Guarded([&] { Text = UpperCase(Text); });
    surface.Do([](VSPrinter& s) { s.PenColor(0); });
    surface.X(left);
    surface.Y(TwipsOr0(Top));

    const TextMeasure measure{[&](std::string_view t) { return surface.Width(t); },
                              [&](std::string_view t) { return surface.Height(t); }};
    WrapResult wrap = WrapParagraphs(Text, {lineWidth, surface.Y(), bottom, EllipsText}, measure);
    Text = std::move(wrap.buffer);  // the caller's text served as the line buffer

    for (const WrappedLine& line : wrap.lines) {
        if (line.paragraphEnd) Guarded([&] { T = ToMm(line.y) - kDrawingOffsetMm; });
        surface.Y(line.y);
        switch (Align) {
            case alignLeft: surface.X(left); break;
            case alignRight: surface.X(right - line.width); break;
            case alignCenter: surface.X((right - left) / 2 + left - line.width / 2); break;
            default: break;  // no position for other alignments: the step is skipped
        }
        surface.Draw(line.text);
        if (line.paragraphEnd) surface.X(left);
    }
    surface.Y(wrap.endY);
    return wrap.rest;
}

}  // namespace qor
