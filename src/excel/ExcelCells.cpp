#include "excel/ExcelCells.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include <qor/RuntimeError.h>
#include <qor/Variant.h>

namespace qor::excel {

namespace {

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

[[noreturn]] void BadName(std::string_view name) {
    throw RuntimeError(kErrInvalidCall,
                       "Invalid procedure call or argument: no cell named '" + std::string(name) + "'");
}

// A reference found in a formula: [$]letters[$]digits.
struct RefToken {
    size_t begin = 0, lettersBegin = 0, lettersEnd = 0, end = 0;
};

// Reads a cell reference starting at `i`, if one is there and is not part of a longer name
// or a function name.
std::optional<RefToken> ReadRef(std::string_view f, size_t i) {
    if (i > 0 && (IsLetter(f[i - 1]) || IsDigit(f[i - 1]) || f[i - 1] == '_' || f[i - 1] == '.'))
        return std::nullopt;
    RefToken t;
    t.begin = i;
    if (i < f.size() && f[i] == '$') ++i;
    t.lettersBegin = i;
    while (i < f.size() && IsLetter(f[i])) ++i;
    t.lettersEnd = i;
    if (t.lettersEnd == t.lettersBegin || t.lettersEnd - t.lettersBegin > 3) return std::nullopt;
    if (i < f.size() && f[i] == '$') ++i;
    const size_t digits = i;
    while (i < f.size() && IsDigit(f[i])) ++i;
    if (i == digits) return std::nullopt;
    if (i < f.size() && (IsLetter(f[i]) || f[i] == '_' || f[i] == '(')) return std::nullopt;
    t.end = i;
    return t;
}

// A tiny reader over "=SUM(...)[/n]".
class FormulaReader {
public:
    FormulaReader(std::string_view f, const CellNumber& cell) : f_(f), cell_(cell) {}

    std::optional<double> Evaluate() {
        if (!Eat('=')) return std::nullopt;
        auto value = Term();
        if (!value) return std::nullopt;
        Blanks();
        if (pos_ < f_.size() && (f_[pos_] == '/' || f_[pos_] == '*')) {
            const char op = f_[pos_++];
            auto right = Term();
            if (!right) return std::nullopt;
            if (op == '/') {
                if (*right == 0) return std::nullopt;
                *value /= *right;
            } else {
                *value *= *right;
            }
        }
        Blanks();
        if (pos_ != f_.size()) return std::nullopt;
        return value;
    }

private:
    void Blanks() { while (pos_ < f_.size() && f_[pos_] == ' ') ++pos_; }
    bool Eat(char c) {
        Blanks();
        if (pos_ < f_.size() && Upper(f_[pos_]) == c) { ++pos_; return true; }
        return false;
    }
    std::optional<double> Number() {
        Blanks();
        size_t end = pos_;
        while (end < f_.size() && (IsDigit(f_[end]) || f_[end] == '.')) ++end;
        if (end == pos_) return std::nullopt;
        const std::string text(f_.substr(pos_, end - pos_));
        pos_ = end;
        char* stop = nullptr;
        const double v = std::strtod(text.c_str(), &stop);
        if (*stop != '\0') return std::nullopt;
        return v;
    }
    std::optional<CellRef> Ref() {
        Blanks();
        auto t = ReadRef(f_, pos_);
        if (!t) return std::nullopt;
        try {
            CellRef r = ParseCellName(f_.substr(t->begin, t->end - t->begin));
            pos_ = t->end;
            return r;
        } catch (const RuntimeError&) {
            return std::nullopt;
        }
    }
    std::optional<double> Term() {
        Blanks();
        if (f_.substr(pos_).size() >= 4) {
            std::string head;
            for (char c : f_.substr(pos_, 4)) head += Upper(c);
            if (head == "SUM(") {
                pos_ += 4;
                return Sum();
            }
        }
        if (pos_ < f_.size() && (IsDigit(f_[pos_]) || f_[pos_] == '.')) return Number();
        auto r = Ref();
        if (!r) return std::nullopt;
        return cell_(*r).value_or(0.0);
    }
    std::optional<double> Sum() {
        double total = 0;
        do {
            auto a = Ref();
            if (!a) return std::nullopt;
            CellRef b = *a;
            if (Eat(':')) {
                auto to = Ref();
                if (!to) return std::nullopt;
                b = *to;
            }
            const int32_t r0 = std::min(a->Row, b.Row), r1 = std::max(a->Row, b.Row);
            const int32_t c0 = std::min(a->Column, b.Column), c1 = std::max(a->Column, b.Column);
            for (int32_t r = r0; r <= r1; ++r)
                for (int32_t c = c0; c <= c1; ++c)
                    if (auto v = cell_(CellRef{r, c})) total += *v;
        } while (Eat(','));
        if (!Eat(')')) return std::nullopt;
        return total;
    }

    std::string_view f_;
    const CellNumber& cell_;
    size_t pos_ = 0;
};

std::string Grouped(const std::string& digits) {
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace

std::string ColumnLetters(int32_t column) {
    std::string letters;
    while (column > 0) {
        const int32_t rest = (column - 1) % 26;
        letters.insert(letters.begin(), static_cast<char>('A' + rest));
        column = (column - 1) / 26;
    }
    return letters;
}

int32_t ColumnNumber(std::string_view letters) {
    if (letters.empty() || letters.size() > 3) BadName(letters);
    int32_t n = 0;
    for (char c : letters) {
        if (!IsLetter(c)) BadName(letters);
        n = n * 26 + (Upper(c) - 'A' + 1);
    }
    if (n > kMaxColumn) BadName(letters);
    return n;
}

CellRef ParseCellName(std::string_view name) {
    size_t i = 0;
    if (i < name.size() && name[i] == '$') ++i;
    const size_t lettersBegin = i;
    while (i < name.size() && IsLetter(name[i])) ++i;
    const size_t lettersEnd = i;
    if (lettersEnd == lettersBegin || lettersEnd - lettersBegin > 3) BadName(name);
    if (i < name.size() && name[i] == '$') ++i;
    const size_t digitsBegin = i;
    int64_t row = 0;
    while (i < name.size() && IsDigit(name[i])) {
        row = row * 10 + (name[i] - '0');
        if (row > kMaxRow) BadName(name);
        ++i;
    }
    if (i == digitsBegin || i != name.size() || row < 1) BadName(name);
    int32_t column = 0;
    for (size_t k = lettersBegin; k < lettersEnd; ++k) column = column * 26 + (Upper(name[k]) - 'A' + 1);
    if (column > kMaxColumn) BadName(name);
    return CellRef{static_cast<int32_t>(row), column};
}

std::string ShiftFormulaColumns(std::string_view formula, int32_t at, int32_t count) {
    std::string out;
    out.reserve(formula.size() + 4);
    size_t i = 0;
    bool quoted = false;
    while (i < formula.size()) {
        const char c = formula[i];
        if (c == '"') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (!quoted && (c == '$' || IsLetter(c))) {
            if (auto t = ReadRef(formula, i)) {
                int32_t column = 0;
                for (size_t k = t->lettersBegin; k < t->lettersEnd; ++k)
                    column = column * 26 + (Upper(formula[k]) - 'A' + 1);
                if (column <= kMaxColumn) {
                    if (column >= at) column += count;
                    out.append(formula.substr(t->begin, t->lettersBegin - t->begin));
                    out += ColumnLetters(column);
                    out.append(formula.substr(t->lettersEnd, t->end - t->lettersEnd));
                    i = t->end;
                    continue;
                }
            }
            // Not a reference: copy the whole name so that its tail is not read as one.
            while (i < formula.size() && (IsLetter(formula[i]) || IsDigit(formula[i]) ||
                                          formula[i] == '_' || formula[i] == '$' || formula[i] == '.'))
                out += formula[i++];
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

std::optional<double> EvaluateFormula(std::string_view formula, const CellNumber& cell) {
    return FormulaReader(formula, cell).Evaluate();
}

namespace {

// A "%" that scales the number: not escaped with "\\" and not inside quotes.
bool HasPercentSign(std::string_view section) {
    bool quoted = false;
    for (size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (c == '"') quoted = !quoted;
        else if (c == '\\' && !quoted) ++i;
        else if (c == '%' && !quoted) return true;
    }
    return false;
}

}  // namespace

std::string FormatForDisplay(double value, std::string_view format) {
    // Pick the section: "pos;neg;zero".
    std::vector<std::string_view> sections;
    size_t start = 0;
    for (size_t i = 0; i <= format.size(); ++i) {
        if (i == format.size() || format[i] == ';') {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    std::string_view section = sections[0];
    bool sign = value < 0;
    if (value < 0 && sections.size() > 1) {
        section = sections[1];
        sign = false;
    }
    if (section.empty() || section == "General" || section == "general" || section == "@") {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.10G", value);
        return buf;
    }
    const size_t first = section.find_first_of("#0");
    if (first == std::string_view::npos) return std::string(section);
    size_t last = section.find_last_of("#0");
    const size_t dot = section.find('.', first);
    int decimals = 0;
    if (dot != std::string_view::npos && dot <= last + 1) {
        for (size_t k = dot + 1; k < section.size() && (section[k] == '0' || section[k] == '#'); ++k)
            ++decimals;
        last = std::max(last, dot);
    }
    const std::string_view number = section.substr(first, last - first + 1);
    const bool grouping = number.find(',') != std::string_view::npos;
    double shown = std::fabs(value);
    if (HasPercentSign(section)) shown *= 100;
    shown = RoundHalfAway(shown, decimals);  // the spreadsheet rounds halves up, not to even
    char buf[400];  // the widest double in fixed notation with up to 30 decimals
    const auto written = std::to_chars(buf, buf + sizeof buf, shown, std::chars_format::fixed, std::min(decimals, 30));
    std::string digits(buf, written.ec == std::errc() ? written.ptr : buf);
    std::string fraction;
    if (const size_t p = digits.find('.'); p != std::string::npos) {
        fraction = digits.substr(p);
        digits.resize(p);
    }
    if (grouping) digits = Grouped(digits);
    std::string text;
    for (char c : section.substr(0, first))
        if (c != '"' && c != '\\') text += c;
    if (sign) text += '-';
    text += digits + fraction;
    for (char c : section.substr(last + 1))
        if (c != '"' && c != '\\') text += c;
    return text;
}

}  // namespace qor::excel
