// The predefined type styles (PrintStyle) applied to the surface font.
#pragma once

#include <cstdint>
#include <string>

namespace qor {

class VSPrinter;

// Which operation applies the style: the two differ for psTitle (PrItem upper-cases) and
// psSubTitle (italic in PrItem, underlined in PrBoxText).
enum class StyleUser { Item, BoxText };

// The font choices of one call.
struct StyleRequest {
    int32_t printStyle = 0;
    const std::string& defaultFontName;
    float defaultFontSize = 9;
    const std::string& style;      // letters B, U, I, T for psCustom
    float fontSize = 9;            // psCustom
    const std::string& fontName;   // psCustom
};

// Sets Font.Name, Size, Bold, Underline, Italic and Strikethrough (in that order) for a
// predefined style or psCustom; any other style leaves the font as it is. Returns true when
// the style upper-cases the item for `user`. Throws what the surface throws.
bool ApplyPrintStyle(VSPrinter& surface, const StyleRequest& request, StyleUser user);

}  // namespace qor
