#include "data/OdbcText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace qor::odbc {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

// The KEY=VALUE pairs of a connection string, each with the place of its value.
struct Pair {
    std::string key;  // trimmed, upper case
    std::size_t valueBegin, valueEnd;
};

std::vector<Pair> Pairs(std::string_view s) {
    std::vector<Pair> pairs;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t eq = s.find('=', i);
        const std::size_t semi = s.find(';', i);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            if (semi == std::string_view::npos) break;
            i = semi + 1;
            continue;
        }
        std::string key(s.substr(i, eq - i));
        key.erase(0, key.find_first_not_of(" \t"));
        key.erase(key.find_last_not_of(" \t") + 1);
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::toupper(c); });
        std::size_t begin = eq + 1, end;
        if (begin < s.size() && s[begin] == '{') {
            // A braced value runs to its closing brace ("}}" is a literal brace).
            end = begin + 1;
            while (end < s.size() && !(s[end] == '}' && (end + 1 >= s.size() || s[end + 1] != '}')))
                end += s[end] == '}' ? 2 : 1;
            end = std::min(end + 1, s.size());
        } else {
            end = s.find(';', begin);
            if (end == std::string_view::npos) end = s.size();
        }
        pairs.push_back({std::move(key), begin, end});
        i = end + 1;
    }
    return pairs;
}

bool IsPasswordKey(const std::string& key) { return key == "PWD" || key == "PASSWORD"; }

}  // namespace

std::u16string ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size() + (extra == 0 ? 1 : 0);
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

void AppendUtf8(const char16_t* text, std::size_t length, std::string& out) {
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendCodePoint(c, out);
    }
}

Variant DecimalValue(std::string_view text, bool wholeColumn) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    bool negative = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    // Digits into an integer count of ten-thousandths while it fits; decimals past the
    // fourth must all be zero for the value to be exact.
    uint64_t scaled = 0;
    bool fits = true, exact = true, digits = false;
    int decimals = -1;
    constexpr uint64_t kLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9') return Variant();
        digits = true;
        if (decimals >= 0 && ++decimals > 4) {
            exact = exact && c == '0';
            continue;
        }
        if (scaled > (kLimit - static_cast<uint64_t>(c - '0')) / 10) fits = false;
        else scaled = scaled * 10 + static_cast<uint64_t>(c - '0');
    }
    if (!digits) return Variant();
    for (int d = std::max(decimals, 0); d < 4 && fits; ++d) {
        if (scaled > kLimit / 10) fits = false;
        else scaled *= 10;
    }
    const bool whole = decimals <= 0 || (exact && scaled % 10000 == 0);
    if (fits && exact && wholeColumn && whole) {
        const int64_t value = static_cast<int64_t>(scaled / 10000);
        return Variant(negative ? -value : value);
    }
    // FromCurrency rounds amount * 10000 to a whole count, which gives the count back
    // exactly while it stays within a double's 53 bits.
    if (fits && exact && scaled < (uint64_t{1} << 53)) {
        const double count = static_cast<double>(scaled);
        return Variant::FromCurrency((negative ? -count : count) / 10000.0);
    }
    return Variant(std::strtod(std::string(text).c_str(), nullptr));
}

std::string PasswordOf(std::string_view connection) {
    for (const Pair& p : Pairs(connection)) {
        if (!IsPasswordKey(p.key)) continue;
        std::string_view value = connection.substr(p.valueBegin, p.valueEnd - p.valueBegin);
        if (value.size() >= 2 && value.front() == '{' && value.back() == '}') {
            std::string inner(value.substr(1, value.size() - 2));
            for (std::size_t at = inner.find("}}"); at != std::string::npos; at = inner.find("}}", at + 1))
                inner.erase(at, 1);
            return inner;
        }
        return std::string(value);
    }
    return {};
}

std::string Redacted(std::string text, std::string_view password) {
    if (password.empty()) return text;
    for (std::size_t at = text.find(password); at != std::string::npos; at = text.find(password, at + 3))
        text.replace(at, password.size(), "***");
    return text;
}

std::string RedactedConnection(std::string_view connection) {
    std::string out(connection);
    const std::vector<Pair> pairs = Pairs(connection);
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it) {
        if (IsPasswordKey(it->key)) out.replace(it->valueBegin, it->valueEnd - it->valueBegin, "***");
    }
    return out;
}

bool HasKey(std::string_view connection, std::string_view key) {
    std::string upper(key);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    for (const Pair& p : Pairs(connection))
        if (p.key == upper) return true;
    return false;
}

ParsedQuery ParseMarkers(std::string_view sql) {
    ParsedQuery q;
    q.sql.reserve(sql.size());
    auto numberOf = [&q](const std::string& name) -> int32_t {
        if (name != "?") {
            const auto it = std::find(q.names.begin(), q.names.end(), name);
            if (it != q.names.end()) return static_cast<int32_t>(it - q.names.begin());
        }
        q.names.push_back(name);
        return static_cast<int32_t>(q.names.size()) - 1;
    };
    std::size_t i = 0;
    // Copies from `i` up to and including the first `close` after `from`.
    auto copyThrough = [&](std::size_t from, std::string_view close) {
        const std::size_t end = sql.find(close, from);
        const std::size_t stop = end == std::string_view::npos ? sql.size() : end + close.size();
        q.sql.append(sql.substr(i, stop - i));
        i = stop;
    };
    while (i < sql.size()) {
        const char c = sql[i];
        const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
        if (c == '\'' || c == '"' || c == '`') {
            // '' inside a quote is an escaped quote: the scan simply continues after it.
            copyThrough(i + 1, std::string_view(&sql[i], 1));
        } else if (c == '[') {
            copyThrough(i + 1, "]");
        } else if (c == '-' && next == '-') {
            copyThrough(i + 2, "\n");
        } else if (c == '/' && next == '*') {
            copyThrough(i + 2, "*/");
        } else if (c == ':' && next == ':') {
            q.sql.append("::");
            i += 2;
        } else if (c == '$' && (std::isalpha(static_cast<unsigned char>(next)) || next == '_' || next == '$')) {
            std::size_t end = i + 1;
            while (end < sql.size() && IsIdentifierChar(sql[end])) ++end;
            if (end < sql.size() && sql[end] == '$') {
                // A $tag$ ... $tag$ quote.
                const std::string tag(sql.substr(i, end + 1 - i));
                copyThrough(end + 1, tag);
                continue;
            }
            q.slots.push_back(numberOf(std::string(sql.substr(i, end - i))));
            q.offsets.push_back(q.sql.size());
            q.sql += '?';
            i = end;
        } else if ((c == ':' || c == '@') && (std::isalpha(static_cast<unsigned char>(next)) || next == '_') &&
                   !(i > 0 && IsIdentifierChar(sql[i - 1]) && c == '@')) {
            std::size_t end = i + 1;
            while (end < sql.size() && IsIdentifierChar(sql[end])) ++end;
            q.slots.push_back(numberOf(std::string(sql.substr(i, end - i))));
            q.offsets.push_back(q.sql.size());
            q.sql += '?';
            i = end;
        } else if (c == '?') {
            std::size_t end = i + 1;
            while (end < sql.size() && std::isdigit(static_cast<unsigned char>(sql[end]))) ++end;
            if (end > i + 1) {
                // ?NNN names parameter NNN; the numbers in between exist, unnamed.
                const int32_t number = std::atoi(std::string(sql.substr(i + 1, end - i - 1)).c_str());
                const std::string name(sql.substr(i, end - i));
                auto it = std::find(q.names.begin(), q.names.end(), name);
                if (it == q.names.end()) {
                    while (static_cast<int32_t>(q.names.size()) < number - 1) q.names.push_back("?");
                    if (static_cast<int32_t>(q.names.size()) == number - 1) q.names.push_back(name);
                    else if (number >= 1) q.names[static_cast<std::size_t>(number - 1)] = name;
                }
                q.slots.push_back(std::max(number, 1) - 1);
            } else {
                q.slots.push_back(numberOf("?"));
            }
            q.offsets.push_back(q.sql.size());
            q.sql += '?';
            i = end;
        } else {
            q.sql += c;
            ++i;
        }
    }
    return q;
}

std::string SqlLiteral(const Variant& value) {
    using T = Variant::VarType;
    switch (value.Type()) {
        case T::Empty:
        case T::Null:
            return "NULL";
        case T::Boolean:
            return value.AsBool() ? "1" : "0";
        case T::Integer:
        case T::Long:
            return std::to_string(value.ToLong());
        case T::Single:
        case T::Double: {
            char text[32];
            std::snprintf(text, sizeof text, "%.17g", value.ToDouble());
            return text;
        }
        case T::Currency:
            return CurrencyText(value.AsCurrency().scaled);
        case T::Date: {
            const DateParts d = SplitDate(value.ToDate());
            char text[32];
            if (d.hour == 0 && d.minute == 0 && d.second == 0)
                std::snprintf(text, sizeof text, "'%04d-%02d-%02d'", d.year, d.month, d.day);
            else
                std::snprintf(text, sizeof text, "'%04d-%02d-%02d %02d:%02d:%02d'", d.year, d.month, d.day, d.hour,
                              d.minute, d.second);
            return text;
        }
        case T::String: {
            std::string quoted = "'";
            for (char c : value.AsString()) quoted += c == '\'' ? std::string("''") : std::string(1, c);
            return quoted + "'";
        }
    }
    return "NULL";
}

std::string CurrencyText(int64_t scaled) {
    const uint64_t magnitude = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    return (scaled < 0 ? "-" : "") + std::to_string(magnitude / 10000) + "." +
           std::to_string(10000 + magnitude % 10000).substr(1);
}

std::string WithLiterals(const ParsedQuery& parsed, const std::vector<Variant>& values) {
    std::string sql;
    std::size_t from = 0;
    for (std::size_t m = 0; m < parsed.offsets.size(); ++m) {
        sql.append(parsed.sql, from, parsed.offsets[m] - from);
        sql += SqlLiteral(values[static_cast<std::size_t>(parsed.slots[m])]);
        from = parsed.offsets[m] + 1;
    }
    return sql.append(parsed.sql, from);
}

}  // namespace qor::odbc
