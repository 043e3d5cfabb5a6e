// The number formats of PrItem: the pattern chosen from Frmt, and how a pattern is drawn.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <qor/Variant.h>

namespace qor {

// The format pattern of `item` (already in its numeric form unless `frmt` is frmtText) for
// the Frmt value `frmt`, `nbrDec` decimals (PrNbrDec) and the currency tail `curr` (PrCurr).
// This is the pattern the spreadsheet writer receives. Throws RuntimeError(5) for a negative
// `nbrDec` and what CDbl throws for an item that is not numeric.
std::string ItemPattern(int32_t frmt, int32_t nbrDec, const std::string& curr, const Variant& item);

// True for the formats that print nothing for a value equal to 0.
bool SuppressesZero(int32_t frmt);

// The pattern as it is drawn on paper. Spreadsheet layout codes "_x" (room for the width of
// x) have no cell to align in and are dropped, so "_($* #,##0" draws "$ 1.234". A percent
// pattern with decimals appended behind its percent sign ("#,##0\ \%.00") draws those
// decimals in front of the sign ("#,##0.00\ \%" gives "12,50 %").
std::string PaperPattern(std::string_view pattern);

// The text PrItem draws for `item` under the spreadsheet pattern `pattern`: the runtime's
// Format with the paper form of the pattern, in the thread's locale.
std::string ItemText(const Variant& item, std::string_view pattern);

}  // namespace qor
