// Per-thread locale. The number and date conventions come from Qt's locale data, with the
// date, time and currency forms of the regional settings the original ran under for the
// locales our users have (the CLDR forms differ from them, e.g. "M/d/yy" for en_US).

#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <QLocale>
#include <QString>

#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

namespace qor {
namespace {

// Regional-settings forms per locale, in the format engine's pattern language. An empty
// field falls back to the form derived from Qt's data.
struct RegionalRow {
    const char* name;
    const char* shortDate;
    const char* longDate;
    const char* longTime;
    const char* currency;
    const char* am;
    const char* pm;
};

constexpr std::array<RegionalRow, 10> kRegional{{
    {"nl_BE", "d/mm/yyyy", "dddd d mmmm yyyy", "h:nn:ss", "\"€\" #,##0.00;\"€\" -#,##0.00", "AM", "PM"},
    {"nl_NL", "d-m-yyyy", "dddd d mmmm yyyy", "hh:nn:ss", "\"€\" #,##0.00;\"€\" -#,##0.00", "AM", "PM"},
    {"fr_BE", "dd/mm/yyyy", "dddd d mmmm yyyy", "hh:nn:ss", "#,##0.00 \"€\";-#,##0.00 \"€\"", "AM", "PM"},
    {"fr_FR", "dd/mm/yyyy", "dddd d mmmm yyyy", "hh:nn:ss", "#,##0.00 \"€\";-#,##0.00 \"€\"", "AM", "PM"},
    {"de_DE", "dd.mm.yyyy", "dddd, d. mmmm yyyy", "hh:nn:ss", "#,##0.00 \"€\";-#,##0.00 \"€\"", "AM", "PM"},
    {"de_BE", "d/mm/yyyy", "dddd d mmmm yyyy", "hh:nn:ss", "\"€\" #,##0.00;\"€\" -#,##0.00", "AM", "PM"},
    {"en_US", "m/d/yyyy", "dddd, mmmm d, yyyy", "h:nn:ss AMPM", "\"$\"#,##0.00;(\"$\"#,##0.00)", "AM", "PM"},
    {"en_GB", "dd/mm/yyyy", "dd mmmm yyyy", "hh:nn:ss", "\"£\"#,##0.00;-\"£\"#,##0.00", "AM", "PM"},
    {"en_IE", "dd/mm/yyyy", "dd mmmm yyyy", "hh:nn:ss", "\"€\"#,##0.00;-\"€\"#,##0.00", "AM", "PM"},
    {"fr_CA", "yyyy-mm-dd", "d mmmm yyyy", "hh:nn:ss", "#,##0.00 \"$\";-#,##0.00 \"$\"", "AM", "PM"},
}};

std::string ToUtf8(const QString& s) { return s.toStdString(); }

// Qt's date/time format ("dd/MM/yyyy", "h:mm:ss AP") in the engine's language
// ("dd/mm/yyyy", "h:nn:ss AMPM"). Quoted parts stay quoted.
std::string FromQtPattern(const QString& qt) {
    std::string out;
    const std::string s = ToUtf8(qt);
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\'') {
            size_t end = s.find('\'', i + 1);
            if (end == std::string::npos) end = s.size();
            out += '"';
            out += s.substr(i + 1, end - i - 1);
            out += '"';
            i = end;
        } else if (c == 'M') {
            out += 'm';
        } else if (c == 'm') {
            out += 'n';
        } else if (c == 'H') {
            out += 'h';
        } else if (c == 'A' || c == 'a') {
            if (i + 1 < s.size() && (s[i + 1] == 'P' || s[i + 1] == 'p')) ++i;
            out += "AMPM";
        } else if (c == 't' || c == 'z') {
            // time zone and milliseconds have no counterpart: drop them with a blank before
            while (!out.empty() && out.back() == ' ') out.pop_back();
        } else {
            out += c;
        }
    }
    return out;
}

std::string StripTrailingDot(std::string s) {
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

std::string FirstSeparator(const std::string& pattern, char fallback) {
    for (char c : pattern) {
        if (c == '/' || c == '-' || c == '.' || c == ':' || c == ' ') return std::string(1, c);
    }
    return std::string(1, fallback);
}

// "nl-BE.UTF-8@euro" -> "nl_BE". Empty for names that cannot be a locale name.
std::string Canonical(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '.' || c == '@') break;
        out += (c == '-') ? '_' : c;
    }
    return out;
}

std::optional<LocaleInfo> Build(const std::string& requested) {
    std::string name = Canonical(requested);
    if (name == "C" || name == "POSIX" || name.empty()) name = "en_US";
    const auto underscore = name.find('_');
    const QString lang = QString::fromStdString(name.substr(0, underscore));
    if (QLocale::codeToLanguage(lang) == QLocale::AnyLanguage) return std::nullopt;
    if (underscore != std::string::npos &&
        QLocale::codeToTerritory(QString::fromStdString(name.substr(underscore + 1))) ==
            QLocale::AnyTerritory) {
        return std::nullopt;
    }
    const QLocale ql(QString::fromStdString(name));
    if (ql.language() == QLocale::C) return std::nullopt;

    LocaleInfo info;
    // "nl" alone stands for the language's main territory (nl_NL), as Qt resolves it
    info.name = underscore == std::string::npos ? ToUtf8(ql.name()) : name;
    name = info.name;
    info.decimal = ToUtf8(ql.decimalPoint());
    info.grouping = ToUtf8(ql.groupSeparator());
    const bool dutchOrFrench =
        ql.language() == QLocale::Dutch || ql.language() == QLocale::French;
    if (dutchOrFrench) {
        // The regional settings the original ran under group with "." for these languages,
        // where Qt's data may give a (narrow) no-break space for French.
        info.decimal = ",";
        info.grouping = ".";
    }
    info.shortDatePattern = FromQtPattern(ql.dateFormat(QLocale::ShortFormat));
    info.longDatePattern = FromQtPattern(ql.dateFormat(QLocale::LongFormat));
    info.longTimePattern = FromQtPattern(ql.timeFormat(QLocale::LongFormat));
    info.currencySymbol = ToUtf8(ql.currencySymbol());
    info.currencyPattern = "\"" + info.currencySymbol + "\" #,##0.00;\"" + info.currencySymbol +
                           "\" -#,##0.00";
    info.am = ToUtf8(ql.amText());
    info.pm = ToUtf8(ql.pmText());
    for (const RegionalRow& row : kRegional) {
        if (name != row.name) continue;
        info.shortDatePattern = row.shortDate;
        info.longDatePattern = row.longDate;
        info.longTimePattern = row.longTime;
        info.currencyPattern = row.currency;
        info.am = row.am;
        info.pm = row.pm;
    }
    info.dateSeparator = FirstSeparator(info.shortDatePattern, '/');
    info.timeSeparator = FirstSeparator(info.longTimePattern, ':');
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;  // Qt counts Monday as 1, we count Sunday as 1
        info.dayNames[d] = ToUtf8(ql.dayName(qtDay, QLocale::LongFormat));
        info.dayNamesShort[d] = ToUtf8(ql.dayName(qtDay, QLocale::ShortFormat));
    }
    for (int m = 0; m < 12; ++m) {
        info.monthNames[m] = ToUtf8(ql.monthName(m + 1, QLocale::LongFormat));
        info.monthNamesShort[m] = ToUtf8(ql.monthName(m + 1, QLocale::ShortFormat));
        // Dutch regional settings abbreviate without a full stop ("mrt", not "mrt.").
        if (ql.language() == QLocale::Dutch) {
            info.monthNamesShort[m] = StripTrailingDot(info.monthNamesShort[m]);
        }
    }
    if (ql.language() == QLocale::Dutch) {
        for (auto& d : info.dayNamesShort) d = StripTrailingDot(d);
    }
    return info;
}

// Locales are built once per process and shared read-only between threads.
std::shared_ptr<const LocaleInfo> Cached(const std::string& name) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const LocaleInfo>> cache;
    std::lock_guard lock(mutex);
    auto it = cache.find(name);
    if (it != cache.end()) return it->second;
    std::optional<LocaleInfo> info = Build(name);
    if (!info) return nullptr;
    auto shared = std::make_shared<const LocaleInfo>(std::move(*info));
    cache.emplace(name, shared);
    return shared;
}

std::shared_ptr<const LocaleInfo> SystemLocale() {
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(var);
        if (value == nullptr || *value == '\0') continue;
        if (auto info = Cached(value)) return info;
        break;  // the variable that decides names no locale we know
    }
    return Cached("en_US");
}

thread_local std::shared_ptr<const LocaleInfo> tCurrent;

}  // namespace

LocaleInfo LookupLocale(const std::string& name) {
    auto info = Cached(name);
    if (!info) throw RuntimeError(kErrInvalidCall);
    return *info;
}

void SetThreadLocale(const std::string& name) {
    auto info = Cached(name);
    if (!info) throw RuntimeError(kErrInvalidCall);
    tCurrent = std::move(info);
}

const LocaleInfo& ThreadLocale() {
    if (!tCurrent) tCurrent = SystemLocale();
    return *tCurrent;
}

ScopedThreadLocale::ScopedThreadLocale(const std::string& name)
    : previous_(ThreadLocale().name) {
    SetThreadLocale(name);
}

ScopedThreadLocale::~ScopedThreadLocale() {
    try {
        SetThreadLocale(previous_);
    } catch (const RuntimeError&) {
        // the previous locale was valid when it was set; nothing to restore otherwise
    }
}

}  // namespace qor
