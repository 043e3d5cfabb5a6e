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
#include <vector>

#include <qor/GenServices.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "drawing/DrawingSupport.h"
#include "drawing/ExcelBridge.h"
#include "drawing/TypeStyles.h"

namespace qor {

namespace {

constexpr float kMinFramedMm = 10.0f;
constexpr float kTextInsetMm = 2.0f;
constexpr char kCR = '\r';

// Runs one step; an error drops that step only.
template <class F>
void Guarded(F&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        parts.emplace_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    // Built into a new string: GCC 12 warns falsely (-Wrestrict) on in-place replace.
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        out.append(text, start, at - start);
        out.append(to);
        start = at + from.size();
    }
    out.append(text, start, std::string::npos);
    text = std::move(out);
}

// The surface calls of one PrBoxText run, each under the skip-on-error policy; a failed
// measurement reads as 0.
class GuardedSurface {
public:
    explicit GuardedSurface(VSPrinter* surface) : s_(surface) {}

    double Width(const std::string& text) const { return Read([&] { return s_->TextWidth(text); }); }
    double Height(const std::string& text) const { return Read([&] { return s_->TextHeight(text); }); }
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

    ReplaceAll(Text, "\r\n", "\r");
    const std::string trimmed = TrimBlanks(Text);
    if (trimmed.empty()) return result;
    const std::vector<std::string> paragraphs = Split(trimmed, kCR);

    auto alignLine = [&](const std::string& line) {
        const double width = surface.Width(line);
        switch (Align) {
            case alignLeft: surface.X(left); break;
            case alignRight: surface.X(right - width); break;
            case alignCenter: surface.X((right - left) / 2 + left - width / 2); break;
            default: break;  // no position for other alignments: the step is skipped
        }
    };
    // The words not placed from `word` of paragraph `para` on, then the later paragraphs.
    auto remainder = [&](std::size_t para, const std::vector<std::string>* words, std::size_t word) {
        if (EllipsText) return std::string();
        std::string rest;
        for (std::size_t w = word; words != nullptr && w < words->size(); ++w) rest += " " + (*words)[w];
        for (std::size_t p = para + 1; p < paragraphs.size(); ++p) rest += kCR + paragraphs[p];
        return TrimBlanks(rest);
    };

    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        Text.clear();
        std::vector<std::string> words = Split(paragraphs[p], ' ');
        for (std::size_t w = 0; w < words.size(); ++w) {
            std::string& word = words[w];
            if (!word.empty() && word.front() == '\n') word.erase(0, 1);
            const std::string trial = Text + word;
            if (surface.Width(trial) <= lineWidth) {
                Text += " " + word;
                continue;
            }
            alignLine(TrimBlanks(Text));
            if (surface.Y() + surface.Height(trial) > bottom) {
                if (EllipsText) Text += "...";
                const std::string line = TrimBlanks(Text);
                surface.Draw(line);
                surface.Y(surface.Y() + surface.Height(line));
                return remainder(p, &words, w);
            }
            const std::string line = TrimBlanks(Text);
            const double height = surface.Height(line);
            surface.Draw(line);
            surface.Y(surface.Y() + height);
            Text = word;
        }

        Guarded([&] { T = ToMm(surface.Y()) - kDrawingOffsetMm; });
        const std::string line = TrimBlanks(Text);
        alignLine(line);
        surface.Draw(line);
        surface.Y(surface.Y() + surface.Height(line.empty() ? "A" : line));
        surface.X(left);
        if (surface.Y() > bottom) return remainder(p, nullptr, 0);
    }
    return result;
}

}  // namespace qor
