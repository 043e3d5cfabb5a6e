// The runtime's Format function: numbers, dates and texts shaped by a pattern.
#pragma once

#include <string>
#include <string_view>

#include <qor/Variant.h>

namespace qor {

// Formats `value` with `pattern` as the runtime's Format did, using the calling thread's
// locale (Locale.h) for the decimal and grouping characters, the date and time separators,
// the day and month names and the AM/PM texts. Returns UTF-8.
//
// An empty pattern gives CStr(value) (with "" for Empty and Null).
//
// Named formats (any case): "General Number", "Currency", "Fixed", "Standard", "Percent",
// "Scientific", "Yes/No", "True/False", "On/Off", "General Date", "Long Date",
// "Medium Date", "Short Date", "Long Time", "Medium Time", "Short Time".
//
// Number patterns, up to four sections "positive;negative;zero;null":
//   0 a digit, # a digit when significant, . the decimal point (printed as the locale's),
//   , grouping when it stands between digit placeholders (printed as the locale's); commas
//   straight after the last integer placeholder, or after the last decimal placeholder,
//   divide by 1000 each ("#,##0," shows thousands). % multiplies by 100 and
//   prints "%". E+ E- e+ e- give scientific notation. \x prints x, "..." prints the quoted
//   text; $ ( ) - + : / space and any other character (e.g. "€") print as they are.
//   Digits round half away from zero: Format(2.5, "0") is "3".
//   A negative value without a negative section prints "-" before the positive section's
//   result, also when it rounds to zero: Format(-0.4, "0") is "-0". With a negative section
//   the absolute value is formatted by it. The zero section applies to values equal to 0
//   (not to values that merely round to 0). An empty negative or zero section means the
//   positive section's format. Empty is formatted as 0.
//   The spreadsheet codes "_x" (a blank as wide as x) and "*x" (fill the cell with x) have
//   no cell on paper: "_x" prints one blank and "*x" prints one x. So "_($* #,##0" formats
//   1234 as " $ 1,234" in en_US and " $ 1.234" in nl_BE.
//
// Date and time patterns: d dd ddd dddd ddddd (short date) dddddd (long date), m mm mmm mmmm
// (m and mm right after h or hh are minutes), yy yyyy, y (day of the year), h hh, n nn, s ss,
// ttttt (long time), c (general date), w (weekday 1-7, Sunday is 1), ww (week of the year,
// weeks start on Sunday and the week of 1 January is week 1), q (quarter), AM/PM am/pm A/P
// a/p (12-hour clock) and AMPM (the locale's texts). "/" and ":" print the locale's date and
// time separators.
//
// Text patterns: @ a character or a blank, & a character or nothing (placeholders fill from
// the right; "!" fills from the left); < and > change the text to lower or upper case.
// A number under a text pattern is placed as its CStr text.
//
// Numeric texts are formatted as numbers ("1.234,5" in nl_BE) and date texts under a date
// pattern as dates. A text that is neither comes back unchanged; Null without a null section
// gives "". Throws RuntimeError(5) for a date outside the years 100-9999 under a date pattern
// and RuntimeError(6) for an infinite or NaN number. Thread-safe: each thread uses its own
// locale.
std::string Format(const Variant& value, std::string_view pattern = {});

}  // namespace qor
