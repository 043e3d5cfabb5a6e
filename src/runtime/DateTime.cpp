#include "runtime/DateTime.h"

#include <qor/RuntimeError.h>
#include <qor/Variant.h>

#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

namespace qor {
namespace detail {
namespace {

// OLE dates the runtime accepts: 1 January 100 to 31 December 9999.
constexpr double kMinOle = -657434.0;
constexpr double kMaxOle = 2958466.0;  // exclusive: the day after 31 December 9999

constexpr int64_t kDaysTo1970 = 25569;  // 1899-12-30 to 1970-01-01

// Howard Hinnant's days_from_civil / civil_from_days, counted from 1970-01-01.
int64_t DaysFrom1970(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFrom1970(int64_t z, int32_t& year, int32_t& month, int32_t& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int32_t>(yoe + era * 400 + (month <= 2));
}

int32_t DaysInMonth(int32_t year, int32_t month) {
    static constexpr std::array<int32_t, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<size_t>(month - 1)];
}

int32_t ExpandYear(int32_t year, size_t digits) {
    if (digits > 2 || year >= 100) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A word of a date text: a number, a name, or a time "h:mm[:ss]".
struct DateWord {
    enum Kind { Number, Month, Time, AmPm, Weekday } kind;
    int32_t value = 0;    // number, month 1-12, seconds of a time, 0 AM / 1 PM
    size_t digits = 0;    // digits of a number
};

std::optional<int32_t> MonthFromName(const std::string& word, const LocaleInfo& locale) {
    static constexpr std::array<const char*, 12> kEnglish{"jan", "feb", "mar", "apr", "may", "jun",
                                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int32_t m = 0; m < 12; ++m) {
        const std::string full = LowerAscii(locale.monthNames[static_cast<size_t>(m)]);
        std::string shortName = LowerAscii(locale.monthNamesShort[static_cast<size_t>(m)]);
        if (!shortName.empty() && shortName.back() == '.') shortName.pop_back();
        if (word == full || word == shortName) return m + 1;
        if (word.size() >= 3 && full.compare(0, word.size(), word) == 0) return m + 1;
        if (word.size() >= 3 && word.compare(0, 3, kEnglish[static_cast<size_t>(m)]) == 0)
            return m + 1;
    }
    return std::nullopt;
}

bool IsWeekdayName(const std::string& word, const LocaleInfo& locale) {
    for (size_t d = 0; d < 7; ++d) {
        if (word == LowerAscii(locale.dayNames[d]) || word == LowerAscii(locale.dayNamesShort[d]))
            return true;
    }
    return false;
}

std::optional<std::vector<DateWord>> Split(std::string_view text, const LocaleInfo& locale) {
    std::vector<DateWord> words;
    size_t i = 0;
    auto isDigit = [&](size_t at) { return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); };
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '/' || c == '-' || c == '.' || c == ',' || c == '\t') {
            ++i;
            continue;
        }
        if (isDigit(i)) {
            size_t start = i;
            int64_t n = 0;
            while (isDigit(i)) {
                n = n * 10 + (text[i++] - '0');
                if (n > 99999) return std::nullopt;
            }
            if (i < text.size() && text[i] == ':') {
                // a time: h:mm or h:mm:ss
                std::array<int64_t, 3> parts{n, 0, 0};
                size_t count = 1;
                while (i < text.size() && text[i] == ':' && count < 3) {
                    ++i;
                    if (!isDigit(i)) return std::nullopt;
                    int64_t part = 0;
                    while (isDigit(i)) {
                        part = part * 10 + (text[i++] - '0');
                        if (part > 99) return std::nullopt;
                    }
                    parts[count++] = part;
                }
                if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
                // fractions of a second ("12:30:05.250", as databases store them) are dropped
                if (count == 3 && i + 1 < text.size() && text[i] == '.' && isDigit(i + 1)) {
                    ++i;
                    while (isDigit(i)) ++i;
                }
                words.push_back({DateWord::Time,
                                 static_cast<int32_t>(parts[0] * 3600 + parts[1] * 60 + parts[2]), 0});
                continue;
            }
            words.push_back({DateWord::Number, static_cast<int32_t>(n), i - start});
            continue;
        }
        // "2024-03-05T14:07:09": the T between an ISO date and its time
        if ((c == 'T' || c == 't') && i > 0 && isDigit(i - 1) && isDigit(i + 1)) {
            ++i;
            continue;
        }
        // a word: letters (any UTF-8 bytes) up to the next separator or digit
        size_t start = i;
        while (i < text.size() && !isDigit(i) && text[i] != ' ' && text[i] != '/' &&
               text[i] != '-' && text[i] != ',' && text[i] != '\t' &&
               !(text[i] == '.' && i > start)) {
            ++i;
        }
        const std::string word = LowerAscii(text.substr(start, i - start));
        if (word == "am" || word == "a" || word == LowerAscii(locale.am)) {
            words.push_back({DateWord::AmPm, 0, 0});
        } else if (word == "pm" || word == "p" || word == LowerAscii(locale.pm)) {
            words.push_back({DateWord::AmPm, 1, 0});
        } else if (auto month = MonthFromName(word, locale)) {
            words.push_back({DateWord::Month, *month, 0});
        } else if (IsWeekdayName(word, locale)) {
            words.push_back({DateWord::Weekday, 0, 0});
        } else {
            return std::nullopt;
        }
    }
    return words;
}

}  // namespace

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    return DaysFrom1970(year, month, day) + kDaysTo1970;
}

double OleDate(int64_t days, double seconds) {
    const double fraction = seconds / 86400.0;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

bool DayBeforeMonth(const LocaleInfo& locale) {
    for (char c : locale.shortDatePattern) {
        if (c == 'd' || c == 'D') return true;
        if (c == 'm' || c == 'M') return false;
    }
    return true;
}

std::optional<double> ParseDate(std::string_view text, const LocaleInfo& locale) {
    auto words = Split(text, locale);
    if (!words || words->empty()) return std::nullopt;
    std::vector<DateWord> numbers;
    std::optional<int32_t> monthName;
    std::optional<int32_t> seconds;
    std::optional<int32_t> ampm;
    for (const DateWord& w : *words) {
        switch (w.kind) {
        case DateWord::Number: numbers.push_back(w); break;
        case DateWord::Month:
            if (monthName) return std::nullopt;
            monthName = w.value;
            break;
        case DateWord::Time:
            if (seconds) return std::nullopt;
            seconds = w.value;
            break;
        case DateWord::AmPm:
            if (ampm || !seconds) return std::nullopt;
            ampm = w.value;
            break;
        case DateWord::Weekday: break;
        }
    }
    if (ampm) {
        int32_t hour = *seconds / 3600;
        if (hour == 0 || hour > 12) return std::nullopt;
        if (hour == 12) hour = 0;
        *seconds = (*seconds % 3600) + (hour + 12 * *ampm) * 3600;
    }
    const bool hasDate = monthName || !numbers.empty();
    if (!hasDate) return seconds ? std::optional<double>(*seconds / 86400.0) : std::nullopt;

    int32_t year = 0, month = 0, day = 0;
    size_t yearDigits = 4;
    const auto today = std::chrono::year_month_day(
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
    const int32_t thisYear = static_cast<int32_t>(today.year());
    if (monthName) {
        month = *monthName;
        if (numbers.size() == 1) {
            day = numbers[0].value;
            year = thisYear;
        } else if (numbers.size() == 2) {
            const bool yearFirst = numbers[0].digits > 2 || numbers[0].value > 31;
            day = numbers[yearFirst ? 1 : 0].value;
            year = numbers[yearFirst ? 0 : 1].value;
            yearDigits = numbers[yearFirst ? 0 : 1].digits;
        } else {
            return std::nullopt;
        }
    } else if (numbers.size() == 3) {
        if (numbers[0].digits > 2 || numbers[0].value > 31) {
            year = numbers[0].value;
            yearDigits = numbers[0].digits;
            month = numbers[1].value;
            day = numbers[2].value;
        } else {
            const bool dayFirst = DayBeforeMonth(locale);
            day = numbers[dayFirst ? 0 : 1].value;
            month = numbers[dayFirst ? 1 : 0].value;
            year = numbers[2].value;
            yearDigits = numbers[2].digits;
        }
    } else if (numbers.size() == 2) {
        const bool dayFirst = DayBeforeMonth(locale);
        day = numbers[dayFirst ? 0 : 1].value;
        month = numbers[dayFirst ? 1 : 0].value;
        year = thisYear;
    } else {
        return std::nullopt;
    }
    year = ExpandYear(year, yearDigits);
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        return std::nullopt;
    }
    return OleDate(DaysFromCivil(year, month, day), seconds.value_or(0));
}

}  // namespace detail

DateParts SplitDate(double oaDate) {
    if (!(oaDate >= detail::kMinOle - 1 && oaDate < detail::kMaxOle)) throw RuntimeError(kErrInvalidCall);
    double whole = std::trunc(oaDate);
    int64_t days = static_cast<int64_t>(whole);
    auto seconds = static_cast<int64_t>(std::llround(std::fabs(oaDate - whole) * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        days += 1;  // the time counts forwards from the day, for negative dates too
    }
    DateParts p;
    detail::CivilFrom1970(days - detail::kDaysTo1970, p.year, p.month, p.day);
    if (p.year < 100 || p.year > 9999) throw RuntimeError(kErrInvalidCall);
    p.hour = static_cast<int32_t>(seconds / 3600);
    p.minute = static_cast<int32_t>(seconds / 60 % 60);
    p.second = static_cast<int32_t>(seconds % 60);
    // 1899-12-30 was a Saturday (7)
    p.weekday = static_cast<int32_t>(((days % 7) + 7 + 6) % 7) + 1;
    p.dayOfYear = static_cast<int32_t>(days - detail::DaysFromCivil(p.year, 1, 1)) + 1;
    return p;
}

double MakeDate(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                int32_t second) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > detail::DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        throw RuntimeError(kErrInvalidCall);
    }
    return detail::OleDate(detail::DaysFromCivil(year, month, day),
                           hour * 3600.0 + minute * 60.0 + second);
}

Variant Variant::DateSerial(int32_t year, int32_t month, int32_t day) {
    int64_t y = detail::ExpandYear(year, year >= 0 && year < 100 ? 2 : 4);
    int64_t m = static_cast<int64_t>(month) - 1;
    y += m >= 0 ? m / 12 : (m - 11) / 12;
    m = ((m % 12) + 12) % 12;
    if (y < 100 || y > 9999) throw RuntimeError(kErrInvalidCall);
    const int64_t days = detail::DaysFromCivil(y, m + 1, 1) + day - 1;
    const double oa = static_cast<double>(days);
    if (oa < detail::kMinOle || oa >= detail::kMaxOle) throw RuntimeError(kErrInvalidCall);
    return FromDate(oa);
}

Variant Variant::TimeSerial(int32_t hour, int32_t minute, int32_t second) {
    const int64_t total =
        static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
    const int64_t days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
    const int64_t rest = total - days * 86400;
    const double oa = detail::OleDate(days, static_cast<double>(rest));
    if (oa < detail::kMinOle || oa >= detail::kMaxOle) throw RuntimeError(kErrInvalidCall);
    return FromDate(oa);
}

}  // namespace qor
