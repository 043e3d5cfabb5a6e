// ToNumber and the key helpers of the text boxes.
#include <qor/GenServices.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include <qor/Locale.h>
#include <qor/RuntimeError.h>

namespace qor {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWith(std::string_view text, std::size_t at, std::string_view prefix) {
    return !prefix.empty() && text.substr(at, prefix.size()) == prefix;
}

// The number `text` starts with (after blanks), read with the thread locale's decimal and
// grouping characters; 0 when it starts with none.
double LeadingNumber(std::string_view text) {
    const LocaleInfo& locale = ThreadLocale();
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    std::string integer;
    while (i < text.size()) {
        if (IsDigit(text[i])) {
            integer += text[i++];
            continue;
        }
        // A grouping character counts only between digits and before exactly three digits.
        const std::size_t after = i + locale.grouping.size();
        if (!integer.empty() && StartsWith(text, i, locale.grouping) && after + 3 <= text.size() &&
            IsDigit(text[after]) && IsDigit(text[after + 1]) && IsDigit(text[after + 2]) &&
            (after + 3 == text.size() || !IsDigit(text[after + 3]))) {
            i = after;
            continue;
        }
        break;
    }

    std::string fraction;
    if (StartsWith(text, i, locale.decimal)) {
        std::size_t j = i + locale.decimal.size();
        while (j < text.size() && IsDigit(text[j])) fraction += text[j++];
        if (!integer.empty() || !fraction.empty()) i = j;
    }
    if (integer.empty() && fraction.empty()) return 0.0;

    long exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) expNegative = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                exponent = std::min(exponent * 10 + (text[j++] - '0'), 100000L);
            }
            if (expNegative) exponent = -exponent;
        }
    }

    const std::string digits = integer + fraction;
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return 0.0;

    std::string plain = (integer.empty() ? std::string("0") : integer);
    if (!fraction.empty()) plain += "." + fraction;
    plain.append("e").append(std::to_string(exponent));
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range || std::isinf(value)) {
        // Decimal magnitude of the first significant digit decides overflow or underflow.
        const long magnitude = static_cast<long>(integer.size()) - 1 - static_cast<long>(firstNonZero) + exponent;
        if (magnitude >= 0) throw RuntimeError(kErrOverflow);
        return 0.0;
    }
    return negative ? -value : value;
}

}  // namespace

Variant GenServicesObject::ToNumber(const Variant& value) const {
    switch (value.Type()) {
        case Variant::VarType::Empty:
        case Variant::VarType::Null:
            return Variant(0.0);
        case Variant::VarType::Boolean:
            return Variant(static_cast<int16_t>(value.AsBool() ? -1 : 0));
        case Variant::VarType::Date:
            return Variant(value.ToDouble());
        case Variant::VarType::String:
            return Variant(LeadingNumber(value.AsString()));
        default:
            return value;
    }
}

int16_t GenServicesObject::FilterKey(int16_t character, const std::string& classes) const {
    if (character >= 0 && character < 32) return character;
    for (char c : classes) {
        if (c == 'C') {
            if (character >= '0' && character <= '9') return character;
        } else if (character == static_cast<unsigned char>(c)) {
            return character;
        }
    }
    return 0;
}

void GenServicesObject::SpinKey(int32_t keyCode, std::string& text, std::optional<int32_t> min,
                                std::optional<int32_t> max) const {
    constexpr int32_t kKeyUp = 38;
    constexpr int32_t kKeyDown = 40;
    if (keyCode != kKeyUp && keyCode != kKeyDown) return;

    double number = RoundHalfEven(ToNumber(Variant(text)).ToDouble());
    number += keyCode == kKeyUp ? 1.0 : -1.0;
    number = std::max(number, static_cast<double>(min.value_or(0)));
    if (max) number = std::min(number, static_cast<double>(*max));
    number = std::clamp(number, static_cast<double>(std::numeric_limits<int32_t>::min()),
                        static_cast<double>(std::numeric_limits<int32_t>::max()));
    text = std::to_string(static_cast<int32_t>(number));
}

}  // namespace qor
