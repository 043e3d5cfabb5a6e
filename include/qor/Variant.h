// The runtime's Variant: a value that is Empty, Null, a Boolean, a number, a date or a text,
// with the runtime's conversions between them.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace qor {

// A dynamically typed value as the original runtime's Variant held it. Small (one
// std::string plus a tag) and cheap to copy. Conversions follow the runtime: texts are read
// and written with the calling thread's locale (see Locale.h), numbers round half to even
// when they become integers, and failures throw qor::RuntimeError with the runtime's
// numbers (13 type mismatch, 6 overflow, 94 invalid use of Null). Strings are UTF-8.
class Variant {
public:
    enum class VarType { Empty, Null, Boolean, Integer /*int16*/, Long /*int32*/, Single, Double,
                         Currency, Date, String };

    // A Currency amount: a 64-bit integer count of ten-thousandths.
    struct CurrencyValue {
        int64_t scaled = 0;
        friend bool operator==(CurrencyValue, CurrencyValue) = default;
    };

    // Empty, the value of a variable that was never assigned.
    Variant() noexcept = default;
    Variant(bool value) noexcept : v_(value) {}
    Variant(int16_t value) noexcept : v_(value) {}
    Variant(int32_t value) noexcept : v_(value) {}
    // Long when the value fits in 32 bits, else Double.
    Variant(int64_t value) noexcept;
    Variant(float value) noexcept : v_(value) {}
    Variant(double value) noexcept : v_(value) {}
    Variant(std::string value) noexcept : v_(std::move(value)) {}
    Variant(std::string_view value) : v_(std::string(value)) {}
    Variant(const char* value) : v_(std::string(value ? value : "")) {}

    // Null, the runtime's "no valid data" value.
    static Variant Null() noexcept;
    // A Date holding an OLE automation date: days since 1899-12-30, the fraction is the time
    // of day (negative dates count the days backwards but the fraction forwards).
    static Variant FromDate(double oaDate) noexcept;
    // A Currency from a number; rounds half to even to four decimals. Throws 6 out of range.
    static Variant FromCurrency(double amount);
    // The runtime's DateSerial/TimeSerial: months and days outside their range roll over
    // (DateSerial(2024, 13, 1) is 1 January 2025); two-digit years 0-29 mean 2000-2029 and
    // 30-99 mean 1930-1999. Throws RuntimeError(5) outside the years 100-9999.
    static Variant DateSerial(int32_t year, int32_t month, int32_t day);
    static Variant TimeSerial(int32_t hour, int32_t minute, int32_t second);

    VarType Type() const noexcept { return static_cast<VarType>(v_.index()); }
    bool IsEmpty() const noexcept { return Type() == VarType::Empty; }
    bool IsNull() const noexcept { return Type() == VarType::Null; }
    bool IsString() const noexcept { return Type() == VarType::String; }
    bool IsDate() const noexcept { return Type() == VarType::Date; }
    // True for the numeric types and Boolean (not Date, String, Empty or Null).
    bool IsNumber() const noexcept;
    // The runtime's IsNumeric: numbers, Booleans and Empty, and texts that CDbl accepts in
    // the thread locale. Dates and Null are not numeric. Never throws.
    bool IsNumeric() const noexcept;

    // CDbl. Texts are parsed with the thread locale's decimal and grouping characters
    // (blanks around, a leading or trailing sign, "(...)" for negative, a currency symbol,
    // exponent, &H/&O prefixes are accepted). Empty is 0, True is -1, a Date is its OLE date.
    // Throws RuntimeError(13) for a text that is not a number and RuntimeError(94) for Null.
    double ToDouble() const;
    // CLng: ToDouble rounded half to even. Throws 6 outside the int32 range, and what
    // ToDouble throws.
    int32_t ToLong() const;
    // CInt: as ToLong, for int16.
    int16_t ToInteger() const;
    // CSng: ToDouble narrowed to float. Throws 6 outside the float range.
    float ToSingle() const;
    // CBool: numbers are True unless 0; texts "True"/"False" (any case) or numeric texts.
    // Throws 13 for other texts, 94 for Null.
    bool ToBool() const;
    // CDate's value as an OLE date: Dates as they are, numbers as OLE dates, texts read as
    // dates ("31/12/2024", "2024-12-31", "12:30") in the thread locale's day-month order.
    // Throws 13 when a text is no date, 94 for Null.
    double ToDate() const;
    // CStr. Double with up to 15 significant digits, Single with up to 7, Currency with up to
    // 4 decimals; the locale's decimal separator, no grouping; E notation ("1E+15",
    // "1,5E-05") beyond the runtime's limits. Booleans "True"/"False"; Dates in the locale's
    // short date form plus the long time when there is a time ("0:00:00" style dates with
    // day 0 give only the time); Empty "". Throws RuntimeError(94) for Null.
    std::string ToString() const;

    // The held value; the caller must check Type() first (std::bad_variant_access otherwise).
    bool AsBool() const { return std::get<bool>(v_); }
    const std::string& AsString() const { return std::get<std::string>(v_); }
    float AsSingle() const { return std::get<float>(v_); }
    CurrencyValue AsCurrency() const { return std::get<CurrencyValue>(v_); }

    // Comparisons as the runtime compares two Variants: numbers (and Dates, Booleans)
    // numerically, texts by their bytes, a number against a numeric text numerically, a
    // number against a non-numeric text as less, Empty as 0 against a number and as "" against
    // a text. Null compares as unequal to everything, Null included (like an If on a Null
    // comparison); ordering with Null throws RuntimeError(94).
    friend bool operator==(const Variant& a, const Variant& b);
    friend std::weak_ordering operator<=>(const Variant& a, const Variant& b);

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) = default;
    };
    struct DateValue {
        double oa = 0;
        friend bool operator==(DateValue, DateValue) = default;
    };
    // The alternatives are in VarType order.
    using Storage = std::variant<std::monostate, NullTag, bool, int16_t, int32_t, float, double,
                                 CurrencyValue, DateValue, std::string>;
    Storage v_;
};

// The runtime's conversion functions, for use on any Variant (see the members above).
std::string CStr(const Variant& value);
double CDbl(const Variant& value);
int32_t CLng(const Variant& value);
int16_t CInt(const Variant& value);
float CSng(const Variant& value);
bool CBool(const Variant& value);
bool IsNumeric(const Variant& value) noexcept;

// The runtime's Val: reads the longest leading number of `text`, ignoring blanks and tabs
// everywhere, with "." as the decimal point whatever the locale, an optional sign and
// exponent (E or D), and "&H"/"&O" for hexadecimal and octal integers (up to four hex
// digits read as an Integer: "&HFFFF" is -1). Returns 0 when the text does not start with a
// number. Throws RuntimeError(6) when the number is beyond the Double range ("1E400").
double Val(std::string_view text);

// `value` rounded to `digits` decimals, halves going to the even neighbour (the runtime's
// Round and the rounding of CLng/CInt). `digits` between 0 and 15; outside that range the
// value comes back unchanged. With decimals it works on the decimal value the double prints
// as with 15 significant digits, so RoundHalfEven(2.675, 2) is 2.68 (the binary value is a
// hair below 2.675); with `digits` 0 it rounds the binary value exactly, as CLng does.
double RoundHalfEven(double value, int digits = 0);

// `value` rounded to `digits` decimals, halves going away from zero (how Format rounds).
double RoundHalfAway(double value, int digits = 0);

// OLE automation dates: double days since 1899-12-30, the fraction the time of day.
struct DateParts {
    int32_t year = 1899, month = 12, day = 30;
    int32_t hour = 0, minute = 0, second = 0;
    int32_t weekday = 7;  // 1 Sunday ... 7 Saturday
    int32_t dayOfYear = 364;
};
// The parts of an OLE date, rounded to the nearest second. Throws RuntimeError(5) outside
// the runtime's range of years 100 to 9999.
DateParts SplitDate(double oaDate);
// The OLE date of a calendar date and time; the parts must be valid (1-12, 1-31, ...).
// Throws RuntimeError(5) outside years 100-9999 or for an impossible date.
double MakeDate(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0,
                int32_t second = 0);

}  // namespace qor
