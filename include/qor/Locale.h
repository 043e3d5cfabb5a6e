// The locale that number and date conversions use: one per thread, like the regional
// settings the original runtime read.
#pragma once

#include <array>
#include <string>

namespace qor {

// What the conversions and the format engine need to know about a locale. All strings are
// UTF-8. Date patterns use the format engine's pattern language ("dd/mm/yyyy", "d mmmm yyyy").
struct LocaleInfo {
    std::string name;               // "nl_BE", "en_US", ...
    std::string decimal;            // decimal separator: "," (nl, fr) or "." (en)
    std::string grouping;           // thousands separator: "." (nl, fr) or "," (en)
    std::string dateSeparator;      // what "/" in a date pattern prints: "/" or "-" or "."
    std::string timeSeparator;      // what ":" in a time pattern prints, usually ":"
    std::string shortDatePattern;   // e.g. "d/mm/yyyy" (nl_BE), "m/d/yyyy" (en_US)
    std::string longDatePattern;    // e.g. "dddd d mmmm yyyy" (nl_BE)
    std::string longTimePattern;    // e.g. "hh:nn:ss" or "h:nn:ss AMPM"
    std::string currencySymbol;     // e.g. "€", "$"
    std::string currencyPattern;    // Format's "Currency": "€ #,##0.00;€ -#,##0.00" (nl_BE)
    std::array<std::string, 7> dayNames;         // Sunday first: "zondag", ...
    std::array<std::string, 7> dayNamesShort;    // "zo", ...
    std::array<std::string, 12> monthNames;      // January first: "januari", ...
    std::array<std::string, 12> monthNamesShort; // "jan", ...
    std::string am;                 // "AM" (or the locale's text)
    std::string pm;                 // "PM"
};

// Sets the calling thread's locale. `name` is a POSIX-style locale name ("nl_BE", "fr_BE",
// "en_US", "en_GB", "nl_NL", also "nl-BE" or "nl_BE.UTF-8"); "C" and "POSIX" mean en_US, a
// language alone its main territory ("nl" is nl_NL).
// Dutch and French locales always group with "." and use "," for decimals (the system's
// tables may give a narrow no-break space for French; the original runtime gave ".").
// Other threads are not affected. Throws RuntimeError(5) for a name that names no locale.
void SetThreadLocale(const std::string& name);

// The calling thread's locale. Until SetThreadLocale is called on the thread, this is the
// system's locale taken from LC_ALL, LC_NUMERIC or LANG (in that order; unset, "C" or
// "POSIX" give en_US). The reference stays valid until the next SetThreadLocale on the
// same thread. Never throws.
const LocaleInfo& ThreadLocale();

// The locale described by `name` without changing any thread's setting.
// Throws RuntimeError(5) like SetThreadLocale.
LocaleInfo LookupLocale(const std::string& name);

// Sets the thread locale for the lifetime of the object and restores the previous one.
class ScopedThreadLocale {
public:
    explicit ScopedThreadLocale(const std::string& name);
    ~ScopedThreadLocale();
    ScopedThreadLocale(const ScopedThreadLocale&) = delete;
    ScopedThreadLocale& operator=(const ScopedThreadLocale&) = delete;

private:
    std::string previous_;
};

}  // namespace qor
