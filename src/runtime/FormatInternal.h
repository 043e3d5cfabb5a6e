// The pieces of the format engine shared between its files.
#pragma once

#include "runtime/NumberText.h"

#include <qor/Locale.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qor::detail {

// A small per-thread store of compiled patterns, keyed by the pattern text: a report formats
// the same few patterns for every row, so each is parsed once. Entries are shared so a caller
// keeps its own even when a nested call fills the store and it is emptied.
template <class Compiled>
class PatternCache {
public:
    template <class Compile>
    std::shared_ptr<const Compiled> Get(std::string_view key, Compile compile) {
        if (const auto it = entries_.find(key); it != entries_.end()) return it->second;
        auto compiled = std::make_shared<const Compiled>(compile(key));
        if (entries_.size() >= kLimit) entries_.clear();
        entries_.emplace(std::string(key), compiled);
        return compiled;
    }

private:
    static constexpr size_t kLimit = 64;
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, std::shared_ptr<const Compiled>, Hash, std::equal_to<>> entries_;
};

// What a pattern section formats.
enum class SectionKind { Number, Date, Text, Literal };

// The kind of a section, judged by the placeholders outside quotes and escapes: digit
// placeholders make a number section, date/time letters a date section, @ and & a text
// section; anything else is printed as it stands.
SectionKind ClassifySection(std::string_view section);

// Splits a pattern at the ";" outside quotes and escapes (at most four sections).
std::vector<std::string_view> SplitSections(std::string_view pattern);

// Formats |value| (as the decimal `digits`) with a number section. `negative` prints a "-"
// in front (a negative value formatted by the positive section).
std::string FormatNumberSection(const Decimal& digits, bool negative, std::string_view section,
                                const LocaleInfo& locale);

// Formats an OLE date with a date/time section. Throws RuntimeError(5) outside the years
// 100-9999.
std::string FormatDateSection(double oaDate, std::string_view section, const LocaleInfo& locale);

// The runtime's text of a date: short date, plus the long time when there is a time; only
// the time for day 0.
std::string DateText(double oaDate, const LocaleInfo& locale);

// Formats a text with a text section (@ & < > !).
std::string FormatTextSection(const std::string& text, std::string_view section);

// The literal text of a section: escapes and quotes resolved, placeholders dropped.
std::string LiteralSection(std::string_view section);

}  // namespace qor::detail
