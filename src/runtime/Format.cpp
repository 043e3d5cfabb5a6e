// The Format function: named formats, sections, text sections, and the choice between the
// number, date and text formatters.

#include <qor/Format.h>

#include "runtime/DateTime.h"
#include "runtime/FormatInternal.h"
#include "runtime/NumberText.h"

#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <QString>

#include <array>
#include <cmath>
#include <optional>

namespace qor {
namespace detail {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Steps over an escape ("\x", "_x", "*x") or a quoted text starting at s[i]; returns the
// index after it, or i when s[i] starts neither.
size_t SkipQuoted(std::string_view s, size_t i) {
    const char c = s[i];
    if (c == '\\' || c == '_' || c == '*') {
        return i + 1 < s.size() ? i + 1 + CodePointLength(s, i + 1) : i + 1;
    }
    if (c == '"') {
        const size_t end = s.find('"', i + 1);
        return end == std::string_view::npos ? s.size() : end + 1;
    }
    return i;
}

}  // namespace

std::vector<std::string_view> SplitSections(std::string_view pattern) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    size_t i = 0;
    while (i < pattern.size()) {
        const size_t after = SkipQuoted(pattern, i);
        if (after != i) {
            i = after;
        } else if (pattern[i] == ';') {
            sections.push_back(pattern.substr(start, i - start));
            start = ++i;
            if (sections.size() == 3) break;  // the fourth section runs to the end
        } else {
            ++i;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

SectionKind ClassifySection(std::string_view s) {
    bool date = false;
    bool text = false;
    size_t i = 0;
    while (i < s.size()) {
        const size_t after = SkipQuoted(s, i);
        if (after != i) {
            i = after;
            continue;
        }
        const char c = Lower(s[i]);
        if (c == '0' || c == '#') return SectionKind::Number;
        if (c == '@' || c == '&' || c == '<' || c == '>') text = true;
        if (c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 'n' || c == 's' || c == 'w' ||
            c == 'q' || c == 'c' || c == 't') {
            date = true;
        }
        if (c == 'a') {
            const std::string_view rest = s.substr(i);
            auto starts = [&](std::string_view w) {
                if (rest.size() < w.size()) return false;
                for (size_t k = 0; k < w.size(); ++k)
                    if (Lower(rest[k]) != w[k]) return false;
                return true;
            };
            if (starts("am/pm") || starts("a/p") || starts("ampm")) date = true;
        }
        ++i;
    }
    if (text) return SectionKind::Text;
    if (date) return SectionKind::Date;
    return SectionKind::Literal;
}

std::string LiteralSection(std::string_view s) {
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\\' || c == '_' || c == '*') {
            if (i + 1 < s.size()) {
                const size_t len = CodePointLength(s, i + 1);
                out += c == '_' ? std::string_view(" ") : s.substr(i + 1, len);
                i += 1 + len;
            } else {
                ++i;
            }
        } else if (c == '"') {
            const size_t end = s.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? s.size() : end;
            out += s.substr(i + 1, stop - i - 1);
            i = stop + 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

namespace {

// A text section taken apart: literal pieces and placeholders, and its modifiers.
struct TextPlan {
    struct Piece {
        bool placeholder;
        char kind;  // '@' or '&'
        std::string text;
    };
    std::vector<Piece> pieces;
    size_t places = 0;
    int caseChange = 0;  // -1 lower, 1 upper
    bool leftToRight = false;
};

TextPlan CompileTextSection(std::string_view s) {
    TextPlan plan;
    size_t i = 0;
    while (i < s.size()) {
        const size_t after = SkipQuoted(s, i);
        if (after != i) {
            plan.pieces.push_back({false, 0, LiteralSection(s.substr(i, after - i))});
            i = after;
            continue;
        }
        const char c = s[i];
        if (c == '@' || c == '&') {
            plan.pieces.push_back({true, c, {}});
            ++plan.places;
        } else if (c == '<') {
            plan.caseChange = -1;
        } else if (c == '>') {
            plan.caseChange = 1;
        } else if (c == '!') {
            plan.leftToRight = true;
        } else {
            plan.pieces.push_back({false, 0, std::string(1, c)});
        }
        ++i;
    }
    return plan;
}

}  // namespace

std::string FormatTextSection(const std::string& source, std::string_view s) {
    thread_local PatternCache<TextPlan> cache;
    const std::shared_ptr<const TextPlan> plan = cache.Get(s, CompileTextSection);
    std::string changed;
    if (plan->caseChange != 0) {
        const QString q = QString::fromStdString(source);
        changed = (plan->caseChange > 0 ? q.toUpper() : q.toLower()).toStdString();
    }
    const std::string& text = plan->caseChange != 0 ? changed : source;
    std::string out;
    if (plan->places == 0) {
        for (const TextPlan::Piece& p : plan->pieces) out += p.text;
        return out + text;
    }
    // where each character starts, and the end
    std::vector<size_t> starts;
    if (plan->places > 1) {
        for (size_t k = 0; k < text.size(); k += CodePointLength(text, k)) starts.push_back(k);
    }
    const size_t count = plan->places > 1 ? starts.size() : text.empty() ? 0 : 1;
    starts.push_back(text.size());
    const size_t places = plan->places;
    size_t j = 0;
    for (const TextPlan::Piece& p : plan->pieces) {
        if (!p.placeholder) {
            out += p.text;
            continue;
        }
        // the characters this placeholder shows, as a range [from, to) of the characters
        // (one placeholder shows them all)
        size_t from = 0, to = 0;
        if (plan->leftToRight) {
            from = j;
            to = j == places - 1 ? count : j + 1;
        } else {
            const long first = static_cast<long>(count) - static_cast<long>(places - j);
            from = j == 0 ? 0 : static_cast<size_t>(std::max(first, 0L));
            to = static_cast<size_t>(std::max(first + 1, 0L));
        }
        from = std::min(from, count);
        to = std::min(to, count);
        if (from >= to) {
            if (p.kind == '@') out += ' ';
        } else if (places == 1) {
            out += text;
        } else {
            out.append(text, starts[from], starts[to] - starts[from]);
        }
        ++j;
    }
    return out;
}

}  // namespace detail

namespace {

// The runtime's named formats, as patterns of the pattern language ("" for General Number,
// which prints the plain number).
struct NamedFormat {
    std::string_view name;
    const char* pattern;
};

constexpr std::array<NamedFormat, 16> kNamedFormats{{
    {"general number", ""},
    {"currency", nullptr},  // the locale's currency pattern
    {"fixed", "0.00"},
    {"standard", "#,##0.00"},
    {"percent", "0.00%"},
    {"scientific", "0.00E+00"},
    {"yes/no", "\\Y\\e\\s;\\Y\\e\\s;\\N\\o"},
    {"true/false", "\\T\\r\\u\\e;\\T\\r\\u\\e;\\F\\a\\l\\s\\e"},
    {"on/off", "\\O\\n;\\O\\n;\\O\\f\\f"},
    {"general date", "c"},
    {"long date", "dddddd"},
    {"medium date", "dd-mmm-yy"},
    {"short date", "ddddd"},
    {"long time", "ttttt"},
    {"medium time", "hh:nn AMPM"},
    {"short time", "hh:nn"},
}};

const NamedFormat* FindNamed(std::string_view pattern) {
    for (const NamedFormat& f : kNamedFormats) {
        const std::string_view name = f.name;
        if (name.size() != pattern.size() || name[0] != detail::Lower(pattern[0])) continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i) same = detail::Lower(pattern[i]) == name[i];
        if (same) return &f;
    }
    return nullptr;
}

// The value as a number, with its decimal digits; nothing for a text that is not a number.
struct NumberOf {
    double value = 0;
    detail::Decimal digits;
};

std::optional<NumberOf> AsNumber(const Variant& v, const LocaleInfo& locale) {
    using T = Variant::VarType;
    NumberOf n;
    switch (v.Type()) {
    case T::Empty:
    case T::Null: return n;
    case T::Boolean:
    case T::Integer:
    case T::Long:
        n.value = v.ToDouble();
        n.digits = detail::DecimalOfInteger(v.ToLong());
        return n;
    case T::Currency:
        n.value = v.ToDouble();
        n.digits = detail::DecimalOfScaled(v.AsCurrency().scaled, 4);
        return n;
    case T::Single:
        n.value = v.AsSingle();
        if (!std::isfinite(n.value)) throw RuntimeError(kErrOverflow);
        n.digits = detail::DecimalOf(n.value, 7);
        return n;
    case T::Double:
    case T::Date:
        n.value = v.ToDouble();
        break;
    case T::String: {
        const auto parsed = detail::ParseNumber(v.AsString(), locale);
        if (parsed.status != detail::ParseStatus::Ok) return std::nullopt;
        n.value = parsed.value;
        break;
    }
    }
    if (!std::isfinite(n.value)) throw RuntimeError(kErrOverflow);
    n.digits = detail::DecimalOf(n.value, 15);
    return n;
}

// A pattern split into its sections, each with its kind.
struct SplitPattern {
    std::vector<std::string> sections;
    std::vector<detail::SectionKind> kinds;
};

SplitPattern Split(std::string_view pattern) {
    SplitPattern split;
    for (const std::string_view section : detail::SplitSections(pattern)) {
        split.sections.emplace_back(section);
        split.kinds.push_back(detail::ClassifySection(section));
    }
    return split;
}

std::string FormatSections(const Variant& value, std::string_view pattern,
                           const LocaleInfo& locale) {
    using detail::SectionKind;
    thread_local detail::PatternCache<SplitPattern> cache;
    const std::shared_ptr<const SplitPattern> split = cache.Get(pattern, Split);
    const std::vector<std::string>& sections = split->sections;
    if (value.IsNull()) return sections.size() >= 4 ? detail::LiteralSection(sections[3]) : "";

    const SectionKind firstKind = split->kinds[0];
    std::optional<NumberOf> number;
    if (value.IsString() && firstKind == SectionKind::Date) {
        if (auto date = detail::ParseDate(value.AsString(), locale)) {
            number = NumberOf{*date, detail::DecimalOf(*date, 15)};
        }
    }
    if (!number) number = AsNumber(value, locale);
    if (!number) {
        // a text that is neither a number nor a date
        if (firstKind == SectionKind::Text) return detail::FormatTextSection(value.AsString(), sections[0]);
        return value.AsString();
    }

    const double v = number->value;
    size_t index = 0;
    bool minus = false;
    if (v < 0) {
        if (sections.size() >= 2 && !sections[1].empty()) index = 1;
        else minus = true;
    } else if (v == 0 && sections.size() >= 3 && !sections[2].empty()) {
        index = 2;
    }
    const std::string_view section = sections[index];
    switch (split->kinds[index]) {
    case SectionKind::Number:
        return detail::FormatNumberSection(number->digits, minus, section, locale);
    case SectionKind::Date:
        return detail::FormatDateSection(v, section, locale);
    case SectionKind::Text:
        return detail::FormatTextSection(value.IsEmpty() ? std::string() : value.ToString(), section);
    case SectionKind::Literal:
        return std::string(minus ? "-" : "").append(detail::LiteralSection(section));
    }
    return {};
}

}  // namespace

std::string Format(const Variant& value, std::string_view pattern) {
    const LocaleInfo& locale = ThreadLocale();
    if (pattern.empty()) return value.IsNull() ? std::string() : value.ToString();
    if (const NamedFormat* named = FindNamed(pattern)) {
        if (named->pattern == nullptr) return FormatSections(value, locale.currencyPattern, locale);
        if (*named->pattern != '\0') return FormatSections(value, named->pattern, locale);
        // General Number: the plain number, without grouping
        if (value.IsNull()) return {};
        const auto number = AsNumber(value, locale);
        if (!number) return value.AsString();
        const int significant = value.Type() == Variant::VarType::Single ? 7 : 15;
        return detail::GeneralText(number->digits, number->value < 0, significant, locale.decimal);
    }
    return FormatSections(value, pattern, locale);
}

}  // namespace qor
