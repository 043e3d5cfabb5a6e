// The text work of the ODBC record set that needs no driver: UTF-16 <-> UTF-8, exact
// decimals, connection strings with their passwords hidden, named parameter markers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <qor/Variant.h>

namespace qor::odbc {

// UTF-8 to UTF-16 (the driver manager's SQLWCHAR); invalid bytes become U+FFFD.
std::u16string ToUtf16(std::string_view text);
// UTF-16 to UTF-8, appended to `out`; unpaired surrogates become U+FFFD.
void AppendUtf8(const char16_t* text, std::size_t length, std::string& out);

// A decimal as a driver writes it ("-1234.50", "1E+3" never): a Long for a whole number of
// a column without decimals (a Double beyond 32 bits), else a Currency when the value has at
// most four decimals and fits one, else a Double. Empty for a text that is no number.
Variant DecimalValue(std::string_view text, bool wholeColumn);

// The password of a connection string: the value of PWD or PASSWORD (any case, {braced}
// values kept whole); "" when there is none.
std::string PasswordOf(std::string_view connection);
// `text` with every occurrence of `password` replaced by "***" (unchanged when it is "").
std::string Redacted(std::string text, std::string_view password);
// The connection string with the values of PWD and PASSWORD replaced by "***".
std::string RedactedConnection(std::string_view connection);
// True when the connection string sets `key` (any case).
bool HasKey(std::string_view connection, std::string_view key);

// A query with its parameter markers rewritten to "?", the form every driver takes.
// Markers are "?", "?NNN", ":name", "@name" and "$name", numbered as SQLite numbers them
// (a name keeps the number of its first occurrence, "?" takes the highest so far plus one);
// markers inside quotes, [brackets], comments and $tag$ quotes are text, "::" is a cast.
struct ParsedQuery {
    std::string sql;                  // the query with "?" for every marker
    std::vector<int32_t> slots;       // per "?" of `sql`, its parameter number from 0
    std::vector<std::size_t> offsets; // per "?" of `sql`, its offset in `sql`
    std::vector<std::string> names;   // per parameter number, its marker (":year", "?2", "?")
};
ParsedQuery ParseMarkers(std::string_view sql);

// `value` as an SQL literal, for drivers that take no parameter markers: NULL, 1 or 0,
// numbers with "." (Currency with its four decimals), a Date as 'YYYY-MM-DD' or
// 'YYYY-MM-DD HH:MM:SS', a text quoted with its quotes doubled.
std::string SqlLiteral(const Variant& value);
// A Currency count of ten-thousandths as a decimal text: "-1234.5000".
std::string CurrencyText(int64_t scaled);
// The query of `parsed` with `values` (by parameter number) written in as literals.
std::string WithLiterals(const ParsedQuery& parsed, const std::vector<Variant>& values);

}  // namespace qor::odbc
