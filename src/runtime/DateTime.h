// OLE automation dates: conversions to and from calendar dates and texts.
#pragma once

#include <qor/Locale.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace qor::detail {

// Days from 1899-12-30 to the given proleptic Gregorian date (no range check).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);

// The OLE date of day number `days` (since 1899-12-30) and `seconds` into that day: the
// fraction counts forwards from the day even when the day number is negative.
double OleDate(int64_t days, double seconds);

// Reads a date and/or time typed by a user: "31/12/2024", "31-12-24", "2024-12-31",
// "31 dec 2024", "december 31, 2024", "12:30", "9:05:10 PM", "31/12/2024 12:30",
// "2024-12-31T12:30:05.250" (fractions of a second are dropped). Numbers
// without a year-first form are taken in the locale's day-month order; two-digit years
// 0-29 are 2000-2029, 30-99 are 1930-1999; a missing year is the current year. Returns
// nothing for a text that is no date.
std::optional<double> ParseDate(std::string_view text, const LocaleInfo& locale);

// True when the short date pattern puts the day before the month.
bool DayBeforeMonth(const LocaleInfo& locale);

}  // namespace qor::detail
