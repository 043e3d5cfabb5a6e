#include <qor/Variant.h>

#include "runtime/DateTime.h"
#include "runtime/FormatInternal.h"
#include "runtime/NumberText.h"

#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <cfenv>
#include <cmath>
#include <limits>

namespace qor {
namespace {

[[noreturn]] void Throw(int32_t number) { throw RuntimeError(number); }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Half to even on the binary value itself: the runtime's CLng/CInt.
double RoundToEvenInteger(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

double TextToDouble(const std::string& text) {
    const auto parsed = detail::ParseNumber(text, ThreadLocale());
    if (parsed.status == detail::ParseStatus::Overflow) Throw(kErrOverflow);
    if (parsed.status == detail::ParseStatus::NotNumber) Throw(kErrTypeMismatch);
    return parsed.value;
}

}  // namespace

Variant::Variant(int64_t value) noexcept {
    if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
        v_ = static_cast<int32_t>(value);
    else
        v_ = static_cast<double>(value);
}

Variant Variant::Null() noexcept {
    Variant v;
    v.v_ = NullTag{};
    return v;
}

Variant Variant::FromDate(double oaDate) noexcept {
    Variant v;
    v.v_ = DateValue{oaDate};
    return v;
}

Variant Variant::FromCurrency(double amount) {
    const double scaled = RoundToEvenInteger(amount * 10000.0);
    if (!(std::fabs(scaled) < 9.2233720368547758e18)) Throw(kErrOverflow);
    Variant v;
    v.v_ = CurrencyValue{static_cast<int64_t>(scaled)};
    return v;
}

bool Variant::IsNumber() const noexcept {
    switch (Type()) {
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency: return true;
    case VarType::Empty:
    case VarType::Null:
    case VarType::Date:
    case VarType::String: return false;
    }
    return false;
}

bool Variant::IsNumeric() const noexcept {
    if (IsEmpty() || IsNumber()) return true;
    if (IsString()) {
        return detail::ParseNumber(AsString(), ThreadLocale()).status == detail::ParseStatus::Ok;
    }
    return false;
}

double Variant::ToDouble() const {
    switch (Type()) {
    case VarType::Empty: return 0;
    case VarType::Null: Throw(kErrInvalidUseOfNull);
    case VarType::Boolean: return std::get<bool>(v_) ? -1.0 : 0.0;
    case VarType::Integer: return std::get<int16_t>(v_);
    case VarType::Long: return std::get<int32_t>(v_);
    case VarType::Single: return std::get<float>(v_);
    case VarType::Double: return std::get<double>(v_);
    case VarType::Currency: return static_cast<double>(std::get<CurrencyValue>(v_).scaled) / 10000.0;
    case VarType::Date: return std::get<DateValue>(v_).oa;
    case VarType::String: return TextToDouble(std::get<std::string>(v_));
    }
    Throw(kErrTypeMismatch);
}

int32_t Variant::ToLong() const {
    switch (Type()) {
    case VarType::Boolean: return std::get<bool>(v_) ? -1 : 0;
    case VarType::Integer: return std::get<int16_t>(v_);
    case VarType::Long: return std::get<int32_t>(v_);
    case VarType::Empty:
    case VarType::Null:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date:
    case VarType::String: break;
    }
    const double rounded = RoundToEvenInteger(ToDouble());
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) Throw(kErrOverflow);
    return static_cast<int32_t>(rounded);
}

int16_t Variant::ToInteger() const {
    const double rounded = RoundToEvenInteger(ToDouble());
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) Throw(kErrOverflow);
    return static_cast<int16_t>(rounded);
}

float Variant::ToSingle() const {
    const double d = ToDouble();
    if (std::fabs(d) > std::numeric_limits<float>::max() || std::isnan(d)) Throw(kErrOverflow);
    return static_cast<float>(d);
}

bool Variant::ToBool() const {
    if (IsString()) {
        const std::string& s = AsString();
        if (EqualsIgnoreCase(s, "True")) return true;
        if (EqualsIgnoreCase(s, "False")) return false;
    }
    if (Type() == VarType::Boolean) return AsBool();
    return ToDouble() != 0;
}

double Variant::ToDate() const {
    switch (Type()) {
    case VarType::Null: Throw(kErrInvalidUseOfNull);
    case VarType::Date: return std::get<DateValue>(v_).oa;
    case VarType::String: {
        const auto& locale = ThreadLocale();
        const std::string& s = AsString();
        if (auto date = detail::ParseDate(s, locale)) return *date;
        const auto parsed = detail::ParseNumber(s, locale);
        if (parsed.status == detail::ParseStatus::Ok) return parsed.value;
        Throw(kErrTypeMismatch);
    }
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency: return ToDouble();
    }
    return ToDouble();
}

std::string Variant::ToString() const {
    const LocaleInfo& locale = ThreadLocale();
    switch (Type()) {
    case VarType::Empty: return {};
    case VarType::Null: Throw(kErrInvalidUseOfNull);
    case VarType::Boolean: return std::get<bool>(v_) ? "True" : "False";
    case VarType::Integer: return std::to_string(std::get<int16_t>(v_));
    case VarType::Long: return std::to_string(std::get<int32_t>(v_));
    case VarType::Single:
    case VarType::Double: {
        const bool single = Type() == VarType::Single;
        const double d = single ? static_cast<double>(std::get<float>(v_)) : std::get<double>(v_);
        if (!std::isfinite(d)) Throw(kErrOverflow);
        const int significant = single ? 7 : 15;
        return detail::GeneralText(detail::DecimalOf(d, significant), d < 0, significant,
                                   locale.decimal);
    }
    case VarType::Currency: {
        const int64_t scaled = std::get<CurrencyValue>(v_).scaled;
        return detail::GeneralText(detail::DecimalOfScaled(scaled, 4), scaled < 0, 19,
                                   locale.decimal);
    }
    case VarType::Date: return detail::DateText(std::get<DateValue>(v_).oa, locale);
    case VarType::String: return std::get<std::string>(v_);
    }
    return {};
}

namespace {

// -1, 0, 1 for a < b, a == b, a > b, as the runtime compares two Variants. Neither is Null.
int CompareValues(const Variant& a, const Variant& b) {
    using T = Variant::VarType;
    auto numeric = [](const Variant& v) { return v.IsNumber() || v.Type() == T::Date; };
    auto compareNumbers = [](double x, double y) { return x < y ? -1 : (x > y ? 1 : 0); };
    auto compareTexts = [](const std::string& x, const std::string& y) {
        const int c = x.compare(y);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    };
    if (a.IsEmpty() && b.IsEmpty()) return 0;
    if (a.IsString() && b.IsString()) return compareTexts(a.AsString(), b.AsString());
    if (a.IsEmpty() && b.IsString()) return compareTexts("", b.AsString());
    if (a.IsString() && b.IsEmpty()) return compareTexts(a.AsString(), "");
    if ((numeric(a) || a.IsEmpty()) && (numeric(b) || b.IsEmpty()))
        return compareNumbers(a.ToDouble(), b.ToDouble());
    // a number against a text: numerically when the text is a number, else the number is less
    if (numeric(a)) return b.IsNumeric() ? compareNumbers(a.ToDouble(), b.ToDouble()) : -1;
    return a.IsNumeric() ? compareNumbers(a.ToDouble(), b.ToDouble()) : 1;
}

}  // namespace

bool operator==(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return false;
    return CompareValues(a, b) == 0;
}

std::weak_ordering operator<=>(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) Throw(kErrInvalidUseOfNull);
    const int c = CompareValues(a, b);
    return c < 0 ? std::weak_ordering::less
                 : (c > 0 ? std::weak_ordering::greater : std::weak_ordering::equivalent);
}

std::string CStr(const Variant& value) { return value.ToString(); }
double CDbl(const Variant& value) { return value.ToDouble(); }
int32_t CLng(const Variant& value) { return value.ToLong(); }
int16_t CInt(const Variant& value) { return value.ToInteger(); }
float CSng(const Variant& value) { return value.ToSingle(); }
bool CBool(const Variant& value) { return value.ToBool(); }
bool IsNumeric(const Variant& value) noexcept { return value.IsNumeric(); }

double Val(std::string_view text) { return detail::ValOf(text); }

double RoundHalfEven(double value, int digits) {
    if (!std::isfinite(value) || digits < 0 || digits > 15) return value;
    if (digits == 0) return RoundToEvenInteger(value);
    detail::Decimal d = detail::DecimalOf(value, 15);
    detail::RoundDecimal(d, digits, true);
    return detail::ToDouble(d, value < 0);
}

double RoundHalfAway(double value, int digits) {
    if (!std::isfinite(value) || digits < 0 || digits > 15) return value;
    detail::Decimal d = detail::DecimalOf(value, 15);
    detail::RoundDecimal(d, digits, false);
    return detail::ToDouble(d, value < 0);
}

}  // namespace qor
