// The mapping of printer tray keywords to Windows paper-bin codes.
#include "surface/SpoolerTrays.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qor::spooler {

namespace {

struct TrayKeyword {
    std::string_view Keyword;
    int32_t Code;
};

// Keywords with a standard bin meaning. Matching ignores case, '-', '_' and blanks, so
// one row covers a PPD spelling and the IPP one ("LargeCapacity", "large-capacity").
constexpr TrayKeyword kTrayKeywords[] = {
    // PPD InputSlot choices
    {"Upper", 1},
    {"Top", 1},
    {"OnlyOne", 1},
    {"Lower", 2},
    {"Bottom", 2},
    {"Middle", 3},
    {"Center", 3},
    {"Manual", 4},
    {"ManualFeed", 4},
    {"Envelope", 5},
    {"EnvelopeFeed", 5},
    {"EnvManual", 6},
    {"ManualEnvelope", 6},
    {"EnvelopeManual", 6},
    {"Auto", 7},
    {"AutoSelect", 7},
    {"Default", 7},
    {"Tractor", 8},
    {"SmallFormat", 9},
    {"LargeFormat", 10},
    {"LargeCapacity", 11},
    {"Cassette", 14},
    {"FormSource", 15},
    // IPP media-source keywords
    {"top", 1},
    {"bottom", 2},
    {"middle", 3},
    {"center", 3},
    {"manual", 4},
    {"by-pass-tray", 4},
    {"envelope", 5},
    {"auto", 7},
    {"large-capacity", 11},
};

std::string Folded(std::string_view keyword) {
    std::string out;
    out.reserve(keyword.size());
    for (char c : keyword) {
        if (c == '-' || c == '_' || c == ' ') continue;
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

int32_t StandardBinCode(std::string_view keyword) {
    const std::string folded = Folded(keyword);
    if (folded.empty()) return 0;
    for (const TrayKeyword& row : kTrayKeywords) {
        if (Folded(row.Keyword) == folded) return row.Code;
    }
    return 0;
}

std::string CutUtf8(std::string_view text, size_t maxChars) {
    size_t chars = 0;
    size_t i = 0;
    while (i < text.size()) {
        if (chars == maxChars) break;
        ++i;
        // Continuation bytes belong to the character just started.
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
        ++chars;
    }
    return std::string(text.substr(0, i));
}

std::vector<Tray> AssignTrayCodes(const std::vector<TraySource>& sources) {
    std::array<bool, 256> taken{};
    int32_t next = kFirstPrivateBin;
    std::vector<Tray> trays;
    const size_t count = std::min(sources.size(), kMaxTrays);
    trays.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const TraySource& src = sources[i];
        int32_t code = StandardBinCode(src.Keyword);
        if (code == 0 || taken[static_cast<size_t>(code)]) code = next++;
        taken[static_cast<size_t>(code)] = true;
        const std::string& name = src.Label.empty() ? src.Keyword : src.Label;
        trays.push_back(Tray{code, CutUtf8(name, kMaxTrayNameChars), src.Keyword});
    }
    return trays;
}

std::string TrayNameFromKeyword(std::string_view keyword) {
    std::string name(keyword);
    std::replace(name.begin(), name.end(), '-', ' ');
    std::replace(name.begin(), name.end(), '_', ' ');
    if (!name.empty()) name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

}  // namespace qor::spooler
