// The hand-off of PrItem and PrBoxText to the spreadsheet writer while a document is exported
// to a worksheet. The drawing layer only forwards; the writer itself lives in the export
// subsystem, which registers it here (the drawing layer cannot include a higher layer).
#pragma once

#include <cstdint>
#include <string>

#include <qor/Variant.h>

namespace qor {

// Writes one item as a worksheet cell. `T` is the caller's running line (mm); `Left` and
// `Top` the item's position in mm (PrItem: after its line advance and 5 mm offset; PrBoxText:
// as passed); `Item` the value, which the writer may change; `Pattern` the number format
// ("&" for text, "" for boxed text); `Align` 0 left, 1 right, 2 centre; `PrintStyle`,
// `Style`, `FontSize` (points), `FontName` and `Color` (RGB) as the drawing call got them.
// A writer reports failures by throwing qor::RuntimeError.
using ExcelCellWriter = void (*)(float T, float Left, float Top, Variant& Item,
                                 const std::string& Pattern, int32_t Align, int32_t PrintStyle,
                                 const std::string& Style, float FontSize,
                                 const std::string& FontName, int32_t Color);

// Registers the writer for the whole process (nullptr unregisters) and returns the previous
// one. Safe to call from any thread.
ExcelCellWriter SetExcelCellWriter(ExcelCellWriter writer) noexcept;

// Hands the item to the registered writer; does nothing when none is registered. Throws what
// the writer throws.
void ExcelWriteCell(float T, float Left, float Top, Variant& Item, const std::string& Pattern,
                    int32_t Align, int32_t PrintStyle, const std::string& Style, float FontSize,
                    const std::string& FontName, int32_t Color);

}  // namespace qor
