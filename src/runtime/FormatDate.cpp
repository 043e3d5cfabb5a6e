// Date and time sections of the format engine.

#include "runtime/FormatInternal.h"

#include <qor/RuntimeError.h>
#include <qor/Variant.h>

#include <cmath>
#include <string>
#include <vector>

namespace qor::detail {
namespace {

enum class DateField {
    Literal, Day, Month, Minute, Year, DayOfYear, Hour, Second, Weekday, Week, Quarter,
    General, LongTime, DateSep, TimeSep, AmPmUpper, AmPmLower, APUpper, APLower, AmPmLocale
};

struct DateToken {
    DateField field = DateField::Literal;
    int width = 1;  // run length: dd is 2, mmmm is 4, ...
    std::string text;
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool MatchesAt(std::string_view s, size_t i, std::string_view word, bool ignoreCase) {
    if (s.size() - i < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k) {
        const char a = ignoreCase ? Lower(s[i + k]) : s[i + k];
        if (a != word[k]) return false;
    }
    return true;
}

// Adds literal text, joined to a literal just before it.
void AppendLiteral(std::vector<DateToken>& out, std::string text) {
    if (!out.empty() && out.back().field == DateField::Literal) out.back().text += text;
    else out.push_back({DateField::Literal, 1, std::move(text)});
}

// Length of the run of the letter at `s[i]` (either case), at most `max`.
size_t RunLength(std::string_view s, size_t i, size_t max) {
    const char lc = Lower(s[i]);
    size_t n = 1;
    while (i + n < s.size() && Lower(s[i + n]) == lc && n < max) ++n;
    return n;
}

// Literal text: a character after a backslash, or the text between double quotes (to the
// end when the closing quote is missing). Returns the bytes used, 0 when `s[i]` starts neither.
size_t ReadLiteral(std::string_view s, size_t i, std::vector<DateToken>& out) {
    if (s[i] == '\\') {
        if (i + 1 >= s.size()) return 1;
        const size_t len = CodePointLength(s, i + 1);
        AppendLiteral(out, std::string(s.substr(i + 1, len)));
        return 1 + len;
    }
    if (s[i] == '"') {
        const size_t end = s.find('"', i + 1);
        const size_t stop = end == std::string_view::npos ? s.size() : end;
        AppendLiteral(out, std::string(s.substr(i + 1, stop - i - 1)));
        return stop + 1 - i;
    }
    return 0;
}

// The fixed words: AM/PM, A/P (their case chooses the output's), AMPM and ttttt (any case).
// Returns the bytes used, 0 when none starts at `s[i]`.
size_t ReadWord(std::string_view s, size_t i, std::vector<DateToken>& out) {
    const bool upper = s[i] == 'A';
    if (MatchesAt(s, i, "am/pm", false) || MatchesAt(s, i, "AM/PM", false)) {
        out.push_back({upper ? DateField::AmPmUpper : DateField::AmPmLower, 5, {}});
        return 5;
    }
    if (MatchesAt(s, i, "a/p", false) || MatchesAt(s, i, "A/P", false)) {
        out.push_back({upper ? DateField::APUpper : DateField::APLower, 3, {}});
        return 3;
    }
    if (MatchesAt(s, i, "ampm", true)) {
        out.push_back({DateField::AmPmLocale, 4, {}});
        return 4;
    }
    if (MatchesAt(s, i, "ttttt", true)) {
        out.push_back({DateField::LongTime, 5, {}});
        return 5;
    }
    return 0;
}

// A run of one field letter (d, m, y, h, n, s, w, q, c) or a separator. Returns the bytes
// used, 0 when `s[i]` is none of them.
size_t ReadField(std::string_view s, size_t i, std::vector<DateToken>& out) {
    const auto add = [&](DateField field, size_t n) {
        out.push_back({field, static_cast<int>(n), {}});
        return n;
    };
    switch (Lower(s[i])) {
    case 'd': return add(DateField::Day, RunLength(s, i, 6));
    case 'm': return add(DateField::Month, RunLength(s, i, 4));
    case 'y': {
        size_t n = RunLength(s, i, 4);
        if (n == 3) n = 2;  // "yyy" reads as yy followed by y
        return add(n == 1 ? DateField::DayOfYear : DateField::Year, n);
    }
    case 'h': return add(DateField::Hour, RunLength(s, i, 2));
    case 'n': return add(DateField::Minute, RunLength(s, i, 2));
    case 's': return add(DateField::Second, RunLength(s, i, 2));
    case 'w': {
        const size_t n = RunLength(s, i, 2);
        return add(n == 2 ? DateField::Week : DateField::Weekday, n);
    }
    case 'q': return add(DateField::Quarter, 1);
    case 'c': return add(DateField::General, 1);
    case '/': return add(DateField::DateSep, 1);
    case ':': return add(DateField::TimeSep, 1);
    default: return 0;
    }
}

bool IsSeparator(DateField f) {
    return f == DateField::Literal || f == DateField::TimeSep || f == DateField::DateSep;
}

// m and mm right after an hour, or right before a second, are minutes (separators between
// them do not count).
void MarkMinutes(std::vector<DateToken>& tokens) {
    const DateToken* previous = nullptr;
    for (size_t k = 0; k < tokens.size(); ++k) {
        DateToken& t = tokens[k];
        if (IsSeparator(t.field)) continue;
        if (t.field == DateField::Month && t.width <= 2) {
            const DateToken* next = nullptr;
            for (size_t j = k + 1; j < tokens.size() && !next; ++j) {
                if (!IsSeparator(tokens[j].field)) next = &tokens[j];
            }
            if ((previous && previous->field == DateField::Hour) || (next && next->field == DateField::Second)) {
                t.field = DateField::Minute;
            }
        }
        previous = &t;
    }
}

std::vector<DateToken> Tokenise(std::string_view s) {
    std::vector<DateToken> out;
    size_t i = 0;
    while (i < s.size()) {
        size_t used = ReadLiteral(s, i, out);
        if (used == 0) used = ReadWord(s, i, out);
        if (used == 0) used = ReadField(s, i, out);
        if (used == 0) {
            used = CodePointLength(s, i);
            AppendLiteral(out, std::string(s.substr(i, used)));
        }
        i += used;
    }
    MarkMinutes(out);
    return out;
}

std::string Padded(int value, int width) {
    std::string s = std::to_string(value);
    if (width == 2 && s.size() < 2) s.insert(s.begin(), '0');
    return s;
}

// Week of the year with Sunday as the first day of the week and the week of 1 January as
// week 1: 31 December can be in week 53 or 54.
int WeekOfYear(const DateParts& p) {
    const int jan1Weekday = ((p.weekday - 1 - (p.dayOfYear - 1)) % 7 + 7) % 7;  // 0 Sunday
    return (p.dayOfYear - 1 + jan1Weekday) / 7 + 1;
}

}  // namespace

std::string FormatDateSection(double oaDate, std::string_view section, const LocaleInfo& locale) {
    const DateParts p = SplitDate(oaDate);
    thread_local PatternCache<std::vector<DateToken>> cache;
    const std::shared_ptr<const std::vector<DateToken>> compiled = cache.Get(section, Tokenise);
    const std::vector<DateToken>& tokens = *compiled;
    bool twelveHour = false;
    for (const DateToken& t : tokens) {
        if (t.field >= DateField::AmPmUpper) twelveHour = true;
    }
    const bool afternoon = p.hour >= 12;
    std::string out;
    for (const DateToken& t : tokens) {
        switch (t.field) {
        case DateField::Literal: out += t.text; break;
        case DateField::Day:
            if (t.width <= 2) out += Padded(p.day, t.width);
            else if (t.width == 3) out += locale.dayNamesShort[static_cast<size_t>(p.weekday - 1)];
            else if (t.width == 4) out += locale.dayNames[static_cast<size_t>(p.weekday - 1)];
            else if (t.width == 5) out += FormatDateSection(oaDate, locale.shortDatePattern, locale);
            else out += FormatDateSection(oaDate, locale.longDatePattern, locale);
            break;
        case DateField::Month:
            if (t.width <= 2) out += Padded(p.month, t.width);
            else if (t.width == 3) out += locale.monthNamesShort[static_cast<size_t>(p.month - 1)];
            else out += locale.monthNames[static_cast<size_t>(p.month - 1)];
            break;
        case DateField::Minute: out += Padded(p.minute, t.width); break;
        case DateField::Second: out += Padded(p.second, t.width); break;
        case DateField::Year:
            out += t.width == 2 ? Padded(p.year % 100, 2) : std::to_string(p.year);
            break;
        case DateField::DayOfYear: out += std::to_string(p.dayOfYear); break;
        case DateField::Hour: {
            int hour = p.hour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0) hour = 12;
            }
            out += Padded(hour, t.width);
            break;
        }
        case DateField::Weekday: out += std::to_string(p.weekday); break;
        case DateField::Week: out += std::to_string(WeekOfYear(p)); break;
        case DateField::Quarter: out += std::to_string((p.month - 1) / 3 + 1); break;
        case DateField::General: out += DateText(oaDate, locale); break;
        case DateField::LongTime: out += FormatDateSection(oaDate, locale.longTimePattern, locale); break;
        case DateField::DateSep: out += locale.dateSeparator; break;
        case DateField::TimeSep: out += locale.timeSeparator; break;
        case DateField::AmPmUpper: out += afternoon ? "PM" : "AM"; break;
        case DateField::AmPmLower: out += afternoon ? "pm" : "am"; break;
        case DateField::APUpper: out += afternoon ? "P" : "A"; break;
        case DateField::APLower: out += afternoon ? "p" : "a"; break;
        case DateField::AmPmLocale: out += afternoon ? locale.pm : locale.am; break;
        }
    }
    return out;
}

std::string DateText(double oaDate, const LocaleInfo& locale) {
    const DateParts p = SplitDate(oaDate);
    const bool hasTime = p.hour != 0 || p.minute != 0 || p.second != 0;
    const bool hasDate = !(p.year == 1899 && p.month == 12 && p.day == 30);
    if (!hasDate) return FormatDateSection(oaDate, locale.longTimePattern, locale);
    if (!hasTime) return FormatDateSection(oaDate, locale.shortDatePattern, locale);
    return FormatDateSection(oaDate, locale.shortDatePattern, locale) + " " +
           FormatDateSection(oaDate, locale.longTimePattern, locale);
}

}  // namespace qor::detail
