// The spreadsheet export of output mode 2: the cell writer that PrItem and PrBoxText hand
// their items to, the finishing routine PrEndDoc runs, and the start of an export.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <qor/Variant.h>

namespace qor {
class ModuleState;
}

namespace qor::excel {

// Writes one item of a document into the thread's worksheet (ModuleState::ExcelApp): the
// column from the item's whole-millimetre x position, the row from its y position (one row
// per 4 mm), the font from its print style, and a SUM formula instead of the value for a
// bold numeric item. Captions (psCaps) are collected for ExcelFinish; small print (psSmall)
// is dropped. Throws RuntimeError(kErrSubscript) for a 47th column or caption (nothing
// changes then), RuntimeError(kErrInvalidUseOfNull) for an Align outside 0..2 on a
// positioned column, and what the workbook throws.
void ExcelWriteCell(float T, float Left, float Top, Variant& Item, const std::string& Pattern,
                    int32_t Align, int32_t PrintStyle, const std::string& Style, float FontSize,
                    const std::string& FontName, int32_t Color);

// Writes the captions as the header row, rules the caption columns down to the last row,
// formats and fits the columns, ends ExcelMode and saves the workbook (ExcelApp.Quit after
// Visible = True), then releases it. Throws what saving throws (ExcelMode is off and the
// workbook released all the same).
void ExcelFinish();

// Creates the workbook of a new export that will be saved to `file`, with the standard font
// Arial 9, and resets the sheet and caption state. Throws RuntimeError when the workbook
// could not be saved there (a missing folder: kErrPathNotFound; a folder that cannot be
// written: kErrPathFileAccess), leaving ExcelApp unset.
void StartWorkbook(ModuleState& state, const std::string& file);

// Hands a saved workbook to the desktop's default application (xdg-open without a
// QGuiApplication); tells the user where it is when nothing could be started.
void OpenWithDesktop(const std::string& file);

// Opens a saved workbook for the user after an attended export: OpenWithDesktop unless
// replaced (tests replace it). Returns the previous opener.
using WorkbookOpener = std::function<void(const std::string& file)>;
WorkbookOpener SetWorkbookOpener(WorkbookOpener opener);

}  // namespace qor::excel
