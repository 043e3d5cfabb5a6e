// Number sections of the format engine: digit placeholders, grouping, scaling, percent and
// exponent forms.

#include "runtime/FormatInternal.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace qor::detail {
namespace {

enum class NumField { Zero, Hash, Point, Comma, Percent, Exponent, Literal };

struct NumToken {
    NumField field;
    std::string text;   // literal text, or "E"/"e" of an exponent
    bool plus = false;  // exponent always signed (E+) or only when negative (E-)
};

bool IsDigitField(NumField f) { return f == NumField::Zero || f == NumField::Hash; }

std::vector<NumToken> Tokenise(std::string_view s) {
    std::vector<NumToken> out;
    bool point = false;
    bool exponent = false;
    auto literal = [&](std::string_view text) {
        if (!out.empty() && out.back().field == NumField::Literal) out.back().text += text;
        else out.push_back({NumField::Literal, std::string(text)});
    };
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\\' || c == '*' || c == '_') {
            // escaped character; "*x" prints x once and "_x" a blank on paper
            if (i + 1 >= s.size()) {
                ++i;
                continue;
            }
            const size_t len = CodePointLength(s, i + 1);
            literal(c == '_' ? std::string_view(" ") : s.substr(i + 1, len));
            i += 1 + len;
        } else if (c == '"') {
            const size_t end = s.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? s.size() : end;
            literal(s.substr(i + 1, stop - i - 1));
            i = stop + 1;
        } else if (c == '0' || c == '#') {
            out.push_back({c == '0' ? NumField::Zero : NumField::Hash, {}});
            ++i;
        } else if (c == '.' && !point && !exponent) {
            point = true;
            out.push_back({NumField::Point, {}});
            ++i;
        } else if (c == ',' && !exponent) {
            out.push_back({NumField::Comma, {}});
            ++i;
        } else if (c == '%') {
            out.push_back({NumField::Percent, {}});
            ++i;
        } else if ((c == 'E' || c == 'e') && !exponent && i + 1 < s.size() &&
                   (s[i + 1] == '+' || s[i + 1] == '-')) {
            exponent = true;
            out.push_back({NumField::Exponent, std::string(1, c), s[i + 1] == '+'});
            i += 2;
        } else {
            const size_t len = CodePointLength(s, i);
            literal(s.substr(i, len));
            i += len;
        }
    }
    return out;
}

// What the placeholders of a section ask for.
struct Layout {
    size_t intEnd = 0;        // tokens [0, intEnd) are the integer part
    size_t mantissaEnd = 0;   // tokens [0, mantissaEnd) are the mantissa; then the exponent
    bool hasExponent = false;
    int intPlaces = 0, minInt = 0;
    int fracPlaces = 0, minFrac = 0;
    int expMin = 0;
    bool grouping = false;
    int thousandsScale = 0;   // each trailing comma divides by 1000
    int percents = 0;         // each % multiplies by 100
};

Layout Analyse(const std::vector<NumToken>& tokens) {
    Layout l;
    l.mantissaEnd = tokens.size();
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (tokens[k].field == NumField::Exponent) {
            l.mantissaEnd = k;
            l.hasExponent = true;
            break;
        }
    }
    l.intEnd = l.mantissaEnd;
    for (size_t k = 0; k < l.mantissaEnd; ++k) {
        if (tokens[k].field == NumField::Point) {
            l.intEnd = k;
            break;
        }
    }
    bool zeroSeen = false;
    for (size_t k = 0; k < l.intEnd; ++k) {
        const NumField f = tokens[k].field;
        if (IsDigitField(f)) {
            ++l.intPlaces;
            zeroSeen = zeroSeen || f == NumField::Zero;
            if (zeroSeen) ++l.minInt;
        } else if (f == NumField::Comma && l.intPlaces > 0) {
            bool digitAfter = false;
            for (size_t j = k + 1; j < l.intEnd && !digitAfter; ++j)
                digitAfter = IsDigitField(tokens[j].field);
            if (digitAfter) l.grouping = true;
            else ++l.thousandsScale;
        }
    }
    size_t lastDigit = 0;
    for (size_t k = l.intEnd; k < l.mantissaEnd; ++k) {
        if (IsDigitField(tokens[k].field)) {
            ++l.fracPlaces;
            lastDigit = k;
            if (tokens[k].field == NumField::Zero) l.minFrac = l.fracPlaces;
        }
    }
    // commas after the last decimal placeholder scale too ("#,##0.0,," shows millions)
    for (size_t k = lastDigit + 1; l.fracPlaces > 0 && k < l.mantissaEnd; ++k) {
        if (tokens[k].field == NumField::Comma) ++l.thousandsScale;
    }
    for (size_t k = l.mantissaEnd; k < tokens.size(); ++k) {
        if (tokens[k].field == NumField::Zero) ++l.expMin;
    }
    for (const NumToken& t : tokens) {
        if (t.field == NumField::Percent) ++l.percents;
    }
    return l;
}

struct NumberPlan {
    std::vector<NumToken> tokens;
    Layout layout;
};

NumberPlan Compile(std::string_view section) {
    NumberPlan plan{Tokenise(section), {}};
    plan.layout = Analyse(plan.tokens);
    return plan;
}

}  // namespace

std::string FormatNumberSection(const Decimal& source, bool negative, std::string_view section,
                                const LocaleInfo& locale) {
    thread_local PatternCache<NumberPlan> cache;
    const std::shared_ptr<const NumberPlan> plan = cache.Get(section, Compile);
    const std::vector<NumToken>& tokens = plan->tokens;
    const Layout& l = plan->layout;

    Decimal d = source;
    if (!d.IsZero()) d.exponent += 2 * l.percents - 3 * l.thousandsScale;
    long exponentValue = 0;
    if (l.hasExponent && !d.IsZero()) {
        exponentValue = d.exponent - l.intPlaces;
        d.exponent = l.intPlaces;
        RoundDecimal(d, l.fracPlaces);
        if (d.exponent > l.intPlaces) {  // 9.99 rounded up to 10.0: shift one place
            d.exponent -= 1;
            exponentValue += 1;
        }
    } else {
        RoundDecimal(d, l.fracPlaces);
    }

    std::string intDigits;
    if (d.exponent > 0) {
        const auto count = static_cast<size_t>(d.exponent);
        intDigits = d.digits.substr(0, count);
        intDigits.append(count - intDigits.size(), '0');
    }
    if (intDigits.size() < static_cast<size_t>(l.minInt))
        intDigits.insert(0, static_cast<size_t>(l.minInt) - intDigits.size(), '0');
    std::string fracDigits;
    for (int k = 0; k < l.fracPlaces; ++k) {
        const long pos = static_cast<long>(d.exponent) + k;
        fracDigits += (pos >= 0 && pos < static_cast<long>(d.digits.size()))
                          ? d.digits[static_cast<size_t>(pos)]
                          : '0';
    }
    while (fracDigits.size() > static_cast<size_t>(l.minFrac) && fracDigits.back() == '0')
        fracDigits.pop_back();

    std::string out = negative ? "-" : "";
    const size_t n = intDigits.size();
    const auto places = static_cast<size_t>(l.intPlaces);
    // digit k counts from the units digit leftwards; grouping follows every third
    auto emitDigits = [&](size_t fromK, size_t toK) {  // fromK >= toK, inclusive
        for (size_t k = fromK + 1; k-- > toK;) {
            out += intDigits[n - 1 - k];
            if (l.grouping && k > 0 && k % 3 == 0) out += locale.grouping;
        }
    };
    size_t intSeen = 0;
    size_t fracSeen = 0;
    bool exponentPrinted = false;
    for (size_t idx = 0; idx < tokens.size(); ++idx) {
        const NumToken& t = tokens[idx];
        switch (t.field) {
        case NumField::Zero:
        case NumField::Hash:
            if (idx < l.intEnd) {
                const size_t j = intSeen++;
                const size_t i = places - 1 - j;
                if (j == 0) {
                    if (n > i) emitDigits(n - 1, i);
                } else if (i < n) {
                    emitDigits(i, i);
                }
            } else if (idx < l.mantissaEnd) {
                if (fracSeen < fracDigits.size()) out += fracDigits[fracSeen];
                ++fracSeen;
            }
            break;
        case NumField::Point:
            if (places == 0 && n > 0) emitDigits(n - 1, 0);
            out += locale.decimal;
            break;
        case NumField::Comma: break;
        case NumField::Percent: out += '%'; break;
        case NumField::Literal: out += t.text; break;
        case NumField::Exponent:
            if (exponentPrinted) break;
            exponentPrinted = true;
            out += t.text;
            if (exponentValue < 0) out += '-';
            else if (t.plus) out += '+';
            {
                std::string e = std::to_string(std::labs(exponentValue));
                if (e.size() < static_cast<size_t>(l.expMin))
                    e.insert(0, static_cast<size_t>(l.expMin) - e.size(), '0');
                out += e;
            }
            break;
        }
    }
    return out;
}

}  // namespace qor::detail
