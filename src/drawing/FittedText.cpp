// PrLeft: a text shortened from the right until it fits a width.
#include <qor/GenServices.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "drawing/DrawingSupport.h"
#include "drawing/ErrorPlace.h"

namespace qor {

namespace {
constexpr const char* kDots = "...";
}  // namespace

std::string clsqorPrintLib::PrLeft(std::string& Text, float& MaxWidth, float FontSize,
                                   const std::string& FontName, bool NoDots) try {
    const OperationScope scope;
    if (ExcelModeOn()) return Text;
    VSPrinter& surface = SurfaceOf(*this);
    surface.Font().Name = FontName;
    surface.Font().Size = FontSize;
    auto widthMm = [&](const std::string& text) { return ToMm(surface.TextWidth(text)); };

    if (widthMm(Text) <= MaxWidth) return Text;
    if (!NoDots) MaxWidth -= widthMm(kDots);
    if (MaxWidth < 0) {
        GenServices().ShowMessage(GetText(1059), 0, "");
        return {};
    }
    // One character per pass, each pass measuring the whole remaining text: labels are short.
    while (widthMm(Text) > MaxWidth) DropLastCharacter(Text);
    if (!NoDots) Text += kDots;
    return Text;
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrLeft", Text, MaxWidth, FontSize, FontName, NoDots);
}

}  // namespace qor
