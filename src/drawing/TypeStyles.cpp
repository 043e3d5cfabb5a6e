#include "drawing/TypeStyles.h"

#include <array>
#include <string_view>

#include <qor/Enums.h>
#include <qor/VSPrinter.h>

#include "drawing/DrawingSupport.h"

namespace qor {

namespace {

// Size 0 stands for DefaultFontSize. Flags are the letters of a custom Style: B bold,
// U underline, I italic, T strikethrough.
struct StyleRow {
    int32_t style;
    float size;
    std::string_view itemFlags;
    std::string_view boxFlags;
    bool itemUpper;
    bool boxUpper;
};

constexpr std::array<StyleRow, 6> kStyles{{
    {psNormal, 0, "", "", false, false},
    {psTitle, 13, "BU", "BU", true, false},
    {psSubTitle, 11, "I", "U", false, false},
    {psCaps, 8, "", "", true, true},
    {psBold, 9, "B", "B", false, false},
    {psSmall, 8, "I", "I", false, false},
}};

void SetFont(VSPrinter& surface, const std::string& name, double size, std::string_view flags) {
    auto has = [&](char letter) { return flags.find(letter) != std::string_view::npos; };
    FontSpec& font = surface.Font();
    font.Name = name;
    font.Size = size;
    font.Bold = has('B');
    font.Underline = has('U');
    font.Italic = has('I');
    font.Strikethrough = has('T');
}

}  // namespace

bool ApplyPrintStyle(VSPrinter& surface, const StyleRequest& request, StyleUser user) {
    if (request.printStyle == psCustom) {
        SetFont(surface, request.fontName, request.fontSize, UpperCase(request.style));
        return false;
    }
    for (const StyleRow& row : kStyles) {
        if (row.style != request.printStyle) continue;
        const bool item = user == StyleUser::Item;
        const float size = row.size == 0 ? request.defaultFontSize : row.size;
        SetFont(surface, request.defaultFontName, size, item ? row.itemFlags : row.boxFlags);
        return item ? row.itemUpper : row.boxUpper;
    }
    return false;
}

}  // namespace qor
