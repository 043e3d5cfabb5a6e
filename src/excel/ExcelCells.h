// Cell names, column letters and the small formula language of the in-memory workbook.
// Pure functions: no workbook, no files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qor::excel {

// Largest row and column a worksheet has (row 1048576, column "XFD").
inline constexpr int32_t kMaxRow = 1048576;
inline constexpr int32_t kMaxColumn = 16384;

// A cell position, both counted from 1.
struct CellRef {
    int32_t Row = 1;
    int32_t Column = 1;
    friend bool operator==(CellRef, CellRef) = default;
};

// Letters of column `column` (1 -> "A", 27 -> "AA", 16384 -> "XFD"). `column` must be in
// 1 .. kMaxColumn.
std::string ColumnLetters(int32_t column);

// Column number of `letters` ("A" -> 1, "ab" -> 28); case is ignored. Throws
// RuntimeError(kErrInvalidCall) naming the text when it is not 1 to 3 letters within "XFD".
int32_t ColumnNumber(std::string_view letters);

// The cell named `name` ("A1", "ab12", "$B$3"). Throws RuntimeError(kErrInvalidCall) naming
// the text for anything else, or a row or column outside the worksheet.
CellRef ParseCellName(std::string_view name);

// `formula` after `count` columns were inserted at column `at`: every cell reference to
// column `at` or to its right names a column `count` further on ("=SUM(B1:B3)" with a
// column inserted at B gives "=SUM(C1:C3)"). Texts in quotes and function names are left
// alone; absolute references ($B$1) move too.
std::string ShiftFormulaColumns(std::string_view formula, int32_t at, int32_t count);

// Value of a cell as a formula sees it: its number, or nothing for text and empty cells.
using CellNumber = std::function<std::optional<double>(CellRef)>;

// The result of `formula` for the forms the workbook stores results for: "=SUM(args)" where
// each argument is a cell or a range such as "B1:B13" (its corners in any order), a plain
// number or a cell, optionally followed by "/" or "*" and a number. Texts and empty cells
// count as nothing in a sum. Returns nothing for any other form, or a division by zero.
std::optional<double> EvaluateFormula(std::string_view formula, const CellNumber& cell);

// The text a cell shows for `value` under the number format `format` ("#,##0.00",
// "0%", "" for general), used for measuring: digits, decimals, grouping and the literal
// characters around the number; the first section for positive numbers and zero, the second
// (if any) for negative ones.
std::string FormatForDisplay(double value, std::string_view format);

}  // namespace qor::excel
