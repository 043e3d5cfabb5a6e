// Decimal digit strings of numbers and the runtime's number <-> text conversions.
#pragma once

#include <qor/Locale.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qor::detail {

// A non-negative decimal number 0.d1d2d3... x 10^exponent. `digits` has no leading or
// trailing zeros; an empty `digits` is zero.
struct Decimal {
    std::string digits;
    int exponent = 0;
    bool IsZero() const { return digits.empty(); }
};

// |value| to `significant` digits, correctly rounded (std::to_chars), so 1/3 with 15 gives
// "333333333333333" e-0. `value` must be finite.
Decimal DecimalOf(double value, int significant);
// |value| exactly.
Decimal DecimalOfInteger(int64_t value);
// |scaled| / 10^scale exactly (Currency has scale 4).
Decimal DecimalOfScaled(int64_t scaled, int scale);

// Rounds to `decimals` digits after the point (may be negative: to tens, hundreds ...).
// Halves go away from zero, or to the even neighbour when `halfEven` is set.
void RoundDecimal(Decimal& d, int decimals, bool halfEven = false);

// The value of `d` (with `negative`) as a double.
double ToDouble(const Decimal& d, bool negative);

// The runtime's text of a number rounded to `significant` digits: fixed notation while the
// decimal exponent lies in [-4, significant), E notation ("1E+15", "1,5E-05") otherwise, no
// trailing zeros, the locale's decimal separator and no grouping. Never "-0".
std::string GeneralText(const Decimal& d, bool negative, int significant,
                        const std::string& decimalSeparator);

// Result of reading a text as a number.
enum class ParseStatus { Ok, NotNumber, Overflow };
struct ParsedNumber {
    ParseStatus status = ParseStatus::NotNumber;
    double value = 0;
};

// Reads `text` as the runtime's CDbl does in `locale`: blanks around, a sign in front or
// behind, "(...)" for negative, the currency symbol, grouping characters in the integer part,
// the decimal separator, an exponent with E or D, and the &H / &O integer prefixes.
ParsedNumber ParseNumber(std::string_view text, const LocaleInfo& locale);

// The runtime's Val (see Variant.h).
double ValOf(std::string_view text);

// Number of UTF-8 code points and the byte length of the code point starting at `s[i]`.
size_t CodePointLength(std::string_view s, size_t i);

}  // namespace qor::detail
