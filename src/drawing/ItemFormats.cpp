#include "drawing/ItemFormats.h"

#include <cmath>

#include <qor/Enums.h>
#include <qor/Format.h>
#include <qor/RuntimeError.h>

#include "drawing/DrawingSupport.h"

namespace qor {

namespace {

constexpr std::string_view kGrouped = "#,##0";
constexpr std::string_view kAccounting = "_($* #,##0";
constexpr std::string_view kPercent = "\\ \\%";

std::string DecimalsSuffix(int32_t nbrDec) {
    if (nbrDec < 0) throw RuntimeError(kErrInvalidCall);
    if (nbrDec == 0) return {};
    return std::string(1, '.').append(static_cast<std::size_t>(nbrDec), '0');
}

bool HasFraction(const Variant& item) {
    const double value = CDbl(item);
    return value != std::floor(value);
}

// Frmt 10 to 50: a base chosen by the tens and the fraction, a suffix by the units.
std::string AmountPattern(int32_t frmt, const Variant& item) {
    std::string pattern;
    if (frmt < 20 && !HasFraction(item)) {
        pattern = "#,##0";
    } else if (frmt < 30) {
        pattern = "#,##0.00";
    } else {
        pattern = "#,##0.0000";
    }
    switch (frmt % 10) {
        case 0: pattern += " \\E\\U\\R"; break;
        case 1: pattern += " \\€"; break;
        default: break;
    }
    return pattern;
}

}  // namespace

bool SuppressesZero(int32_t frmt) { return frmt == frmtNumberNoZero || frmt == frmtNumberDecNoZero; }

std::string ItemPattern(int32_t frmt, int32_t nbrDec, const std::string& curr, const Variant& item) {
    if (frmt >= 10 && frmt <= 50) return AmountPattern(frmt, item);
    const std::string decimals = DecimalsSuffix(nbrDec);
    std::string pattern;
    switch (frmt) {
        case frmtText:
            return "&";
        case frmtNumber:
        case frmtNumberNoZero:
            pattern = kGrouped;
            if (HasFraction(item)) pattern += decimals;
            return pattern;
        case frmtNumberDec:
        case frmtNumberDecNoZero:
            return std::string(kGrouped) + decimals;
        case frmtCurrency:
            pattern = kAccounting;
            if (HasFraction(item)) pattern += decimals;
            return pattern + " " + TrimBlanks(curr);
        case frmtCurrencyDec:
            return std::string(kAccounting) + decimals + " " + TrimBlanks(curr);
        case frmtPercent:
            pattern = std::string(kGrouped) + std::string(kPercent);
            if (HasFraction(item)) pattern += decimals;
            return pattern;
        case frmtPercentDec:
            return std::string(kGrouped) + ".0" + std::string(kPercent) + decimals;
        default:
            return {};
    }
}

std::string PaperPattern(std::string_view pattern) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size()) {
            out += pattern.substr(i, 2);
            ++i;
        } else if (c == '"') {
            const std::size_t close = pattern.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close + 1;
            out += pattern.substr(i, end - i);
            i = end - 1;
        } else if (c == '_' && i + 1 < pattern.size()) {
            ++i;  // "_x": the room of x in a spreadsheet cell
        } else {
            out += c;
        }
    }
    // Decimals behind the percent sign move in front of it, replacing the base's own ones.
    const std::size_t sign = out.find(kPercent);
    if (sign != std::string::npos && sign + kPercent.size() < out.size() &&
        out[sign + kPercent.size()] == '.') {
        std::string head = out.substr(0, sign);
        const std::string decimals = out.substr(sign + kPercent.size());
        if (const std::size_t point = head.find('.'); point != std::string::npos) head.erase(point);
        out = head + decimals + std::string(kPercent);
    }
    return out;
}

std::string ItemText(const Variant& item, std::string_view pattern) {
    return Format(item, PaperPattern(pattern));
}

}  // namespace qor
