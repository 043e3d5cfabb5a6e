#include "runtime/NumberText.h"

#include <qor/RuntimeError.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

namespace qor::detail {
namespace {

void Normalise(Decimal& d) {
    size_t first = d.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    d.digits.erase(0, first);
    d.exponent -= static_cast<int>(first);
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool StartsWith(std::string_view text, std::string_view prefix) {
    return !prefix.empty() && text.substr(0, prefix.size()) == prefix;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads "&H1F" / "&O17" (prefix included). The runtime gives 16-bit values for up to four
// hex digits (six octal), sign-extended like an Integer, and 32-bit values beyond.
std::optional<double> ParseRadix(std::string_view text, size_t& used) {
    if (text.size() < 2 || text[0] != '&') return std::nullopt;
    const char kind = Lower(text[1]);
    int base = kind == 'h' ? 16 : (kind == 'o' ? 8 : 0);
    size_t start = 2;
    if (base == 0 && text[1] >= '0' && text[1] <= '7') {
        base = 8;  // "&17" is octal too
        start = 1;
    }
    if (base == 0) return std::nullopt;
    uint64_t value = 0;
    size_t i = start;
    int count = 0;
    for (; i < text.size(); ++i) {
        const char c = Lower(text[i]);
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0 || digit >= base) break;
        value = value * base + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFull) return std::nullopt;
        ++count;
    }
    if (count == 0) return std::nullopt;
    used = i;
    if (value <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(value));
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

}  // namespace

size_t CodePointLength(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = 1;
    if (c >= 0xF0) n = 4;
    else if (c >= 0xE0) n = 3;
    else if (c >= 0xC0) n = 2;
    return std::min(n, s.size() - i);
}

Decimal DecimalOf(double value, int significant) {
    Decimal d;
    if (value == 0 || !std::isfinite(value)) return d;
    significant = std::clamp(significant, 1, 17);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                             significant - 1);
    std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
    const size_t e = text.find('e');
    int exp10 = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exp10);
    for (char c : text.substr(0, e)) {
        if (c != '.') d.digits += c;
    }
    d.exponent = exp10 + 1;
    Normalise(d);
    return d;
}

Decimal DecimalOfInteger(int64_t value) { return DecimalOfScaled(value, 0); }

Decimal DecimalOfScaled(int64_t scaled, int scale) {
    Decimal d;
    const uint64_t magnitude =
        scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    d.digits = std::to_string(magnitude);
    d.exponent = static_cast<int>(d.digits.size()) - scale;
    Normalise(d);
    return d;
}

void RoundDecimal(Decimal& d, int decimals, bool halfEven) {
    if (d.IsZero()) return;
    const long keep = static_cast<long>(d.exponent) + decimals;  // digits that stay
    if (keep >= static_cast<long>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    const auto k = static_cast<size_t>(keep);
    bool up = d.digits[k] > '5' || (d.digits[k] == '5' && (!halfEven || k + 1 < d.digits.size()));
    if (halfEven && d.digits[k] == '5' && k + 1 == d.digits.size()) {
        const char previous = k == 0 ? '0' : d.digits[k - 1];
        up = ((previous - '0') % 2) == 1;
    }
    d.digits.resize(k);
    if (up) {
        size_t i = k;
        while (i > 0 && d.digits[i - 1] == '9') {
            d.digits[i - 1] = '0';
            --i;
        }
        if (i == 0) {
            d.digits.insert(d.digits.begin(), '1');
            d.exponent += 1;
        } else {
            d.digits[i - 1] = static_cast<char>(d.digits[i - 1] + 1);
        }
    }
    Normalise(d);
}

double ToDouble(const Decimal& d, bool negative) {
    if (d.IsZero()) return 0;
    std::string text = (negative ? "-0." : "0.") + d.digits + "e" + std::to_string(d.exponent);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string GeneralText(const Decimal& source, bool negative, int significant,
                        const std::string& decimalSeparator) {
    if (source.IsZero()) return "0";
    Decimal d = source;
    RoundDecimal(d, significant - d.exponent);
    if (d.IsZero()) return "0";
    std::string out = negative ? "-" : "";
    const int x = d.exponent - 1;  // exponent of the leading digit
    if (x >= -4 && x < significant) {
        if (d.exponent <= 0) {
            out += "0" + decimalSeparator + std::string(static_cast<size_t>(-d.exponent), '0') +
                   d.digits;
        } else if (static_cast<size_t>(d.exponent) >= d.digits.size()) {
            out += d.digits + std::string(d.exponent - d.digits.size(), '0');
        } else {
            out += d.digits.substr(0, d.exponent) + decimalSeparator + d.digits.substr(d.exponent);
        }
        return out;
    }
    out += d.digits.substr(0, 1);
    if (d.digits.size() > 1) out += decimalSeparator + d.digits.substr(1);
    out += x < 0 ? "E-" : "E+";
    std::string e = std::to_string(std::abs(x));
    if (e.size() < 2) e.insert(e.begin(), '0');
    return out + e;
}

namespace {

void TrimBlanks(std::string_view& s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
}

// A number's text without what surrounds the digits, and whether it is negative.
struct NumberBody {
    std::string_view text;
    bool negative = false;
};

// Takes off the blanks, "(...)", one sign (in front or behind, on either side of the
// currency symbol) and the currency symbol. Nothing when parentheses and a sign meet.
std::optional<NumberBody> StripAffixes(std::string_view text, const LocaleInfo& locale) {
    NumberBody body{text, false};
    std::string_view& s = body.text;
    TrimBlanks(s);
    bool signSeen = false;
    const auto takeSign = [&](bool front) {
        if (s.empty() || signSeen) return;
        const char c = front ? s.front() : s.back();
        if (c != '+' && c != '-') return;
        body.negative = c == '-';
        signSeen = true;
        front ? s.remove_prefix(1) : s.remove_suffix(1);
        TrimBlanks(s);
    };
    const auto takeCurrency = [&] {
        const std::string& cur = locale.currencySymbol;
        if (cur.empty()) return;
        if (StartsWith(s, cur)) s.remove_prefix(cur.size());
        else if (s.size() >= cur.size() && s.substr(s.size() - cur.size()) == cur) s.remove_suffix(cur.size());
        TrimBlanks(s);
    };
    bool parenthesised = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        parenthesised = true;
        s = s.substr(1, s.size() - 2);
        TrimBlanks(s);
    }
    takeSign(true);
    takeCurrency();
    takeSign(true);
    takeSign(false);
    takeCurrency();
    takeSign(false);
    if (parenthesised && signSeen) return std::nullopt;
    if (parenthesised) body.negative = true;
    return body;
}

// The digits as from_chars reads them ("-1234.5e3"): grouping characters in the integer
// part dropped, the locale's decimal separator as ".", an exponent with E or D. Nothing when
// there is no digit or something follows the number.
std::optional<std::string> PlainDigits(const NumberBody& body, const LocaleInfo& locale) {
    const std::string_view text = body.text;
    std::string clean = body.negative ? "-" : "";
    size_t i = 0;
    size_t intDigits = 0;
    size_t fracDigits = 0;
    const auto isDigit = [&](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    while (i < text.size()) {
        if (isDigit(i)) {
            clean += text[i++];
            ++intDigits;
        } else if (intDigits > 0 && StartsWith(text.substr(i), locale.grouping)) {
            i += locale.grouping.size();
        } else {
            break;
        }
    }
    if (StartsWith(text.substr(i), locale.decimal)) {
        i += locale.decimal.size();
        clean += '.';
        while (isDigit(i)) {
            clean += text[i++];
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0) return std::nullopt;
    if (i < text.size() && (Lower(text[i]) == 'e' || Lower(text[i]) == 'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        if (!isDigit(j)) return std::nullopt;
        while (isDigit(j)) exponent += text[j++];
        clean += exponent;
        i = j;
    }
    if (i != text.size()) return std::nullopt;
    return clean;
}

// The value of plain digits: underflow reads as 0, overflow is the runtime's overflow.
ParsedNumber ValueOf(const std::string& clean) {
    ParsedNumber result;
    double value = 0;
    const auto res = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        const bool tiny = clean.find("e-") != std::string::npos;
        result.status = tiny ? ParseStatus::Ok : ParseStatus::Overflow;
        result.value = 0;
        return result;
    }
    if (res.ec != std::errc() || !std::isfinite(value)) {
        result.status = ParseStatus::Overflow;
        return result;
    }
    result.status = ParseStatus::Ok;
    result.value = value == 0 ? 0 : value;
    return result;
}

// "&H..." and "&O..." integers; the whole body must be the number.
ParsedNumber RadixValue(const NumberBody& body) {
    ParsedNumber result;
    size_t used = 0;
    const auto radix = ParseRadix(body.text, used);
    if (!radix || used != body.text.size()) return result;
    result.status = ParseStatus::Ok;
    result.value = body.negative ? -*radix : *radix;
    return result;
}

}  // namespace

ParsedNumber ParseNumber(std::string_view text, const LocaleInfo& locale) {
    const std::optional<NumberBody> body = StripAffixes(text, locale);
    if (!body) return {};
    if (!body->text.empty() && body->text.front() == '&') return RadixValue(*body);
    const std::optional<std::string> clean = PlainDigits(*body, locale);
    if (!clean) return {};
    return ValueOf(*clean);
}

double ValOf(std::string_view text) {
    // Blanks, tabs and line feeds are ignored everywhere in the number.
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') s += c;
    }
    if (!s.empty() && s[0] == '&') {
        size_t used = 0;
        auto radix = ParseRadix(s, used);
        return radix ? *radix : 0;
    }
    std::string clean;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') clean += '-';
        ++i;
    }
    size_t mantissaDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        clean += s[i++];
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        clean += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            clean += s[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return 0;
    if (i < s.size() && (Lower(s[i]) == 'e' || Lower(s[i]) == 'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        if (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            while (j < s.size() && s[j] >= '0' && s[j] <= '9') exponent += s[j++];
            clean += exponent;
        }
    }
    if (clean.back() == '.') clean.pop_back();
    double value = 0;
    auto res = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        if (clean.find("e-") != std::string::npos) return 0.0;  // underflow
        throw RuntimeError(kErrOverflow);
    }
    return value == 0 ? 0 : value;
}

}  // namespace qor::detail
