#include "drawing/ExcelBridge.h"

#include <atomic>

namespace qor {

namespace {
std::atomic<ExcelCellWriter> gWriter{nullptr};
}  // namespace

ExcelCellWriter SetExcelCellWriter(ExcelCellWriter writer) noexcept {
    return gWriter.exchange(writer);
}

void ExcelWriteCell(float T, float Left, float Top, Variant& Item, const std::string& Pattern,
                    int32_t Align, int32_t PrintStyle, const std::string& Style, float FontSize,
                    const std::string& FontName, int32_t Color) {
    if (ExcelCellWriter writer = gWriter.load()) {
        writer(T, Left, Top, Item, Pattern, Align, PrintStyle, Style, FontSize, FontName, Color);
    }
}

}  // namespace qor
