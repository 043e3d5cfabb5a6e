// Paper trays of a printer as Windows paper-bin codes.
#pragma once

#include <qor/Spooler.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// Paper-bin codes that leave the tray to the printer: a job with one of them names no tray.
inline constexpr int32_t kBinAutomatic = 7;
inline constexpr int32_t kBinFormSource = 15;
inline constexpr bool BinSendsNoTray(int32_t code) {
    return code == kBinAutomatic || code == kBinFormSource;
}

}  // namespace qor

namespace qor::spooler {

// A tray as the printer describes it, before it gets its bin code.
struct TraySource {
    std::string Keyword;  // PPD InputSlot choice or IPP media-source keyword
    std::string Label;    // display name; "" when the printer gives none
};

// Most trays a printer reports, and the longest tray name, in characters.
inline constexpr size_t kMaxTrays = 127;
inline constexpr size_t kMaxTrayNameChars = 24;
// First code given to trays without a standard meaning.
inline constexpr int32_t kFirstPrivateBin = 16;

// The standard bin code (1-15) of a tray keyword, 0 when it has no standard meaning.
// Letter case, '-', '_' and blanks are ignored: "LargeCapacity" and "large-capacity" match.
int32_t StandardBinCode(std::string_view keyword);

// Gives each tray its code, in the printer's order: the standard code of its keyword, or,
// for a keyword without one or a standard code already taken by an earlier tray, the next
// free code from 16 upward. Keeps at most kMaxTrays trays; names are the labels (the
// keyword when there is none) cut to kMaxTrayNameChars characters.
std::vector<Tray> AssignTrayCodes(const std::vector<TraySource>& sources);

// A readable name for an IPP media-source keyword: "large-capacity" -> "Large capacity",
// "tray-5" -> "Tray 5".
std::string TrayNameFromKeyword(std::string_view keyword);

// `text` cut to at most `maxChars` UTF-8 characters.
std::string CutUtf8(std::string_view text, size_t maxChars);

}  // namespace qor::spooler
