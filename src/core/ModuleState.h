// The state shared by every clsqorPrintLib object of one thread: the document's output
// mode, the chosen printer and bins, the PDF file name and the spreadsheet export.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <qor/Application.h>

namespace qor {

class ExcelApplication;

// Number of entries of the export's column and caption tables; entry 0 is never used, so
// 46 columns or captions fit.
inline constexpr std::size_t kExcelTableSize = 47;

// Spreadsheet alignments of a column.
inline constexpr int32_t kXlLeft = -4131;
inline constexpr int32_t kXlRight = -4152;
inline constexpr int32_t kXlCenter = -4108;

// One worksheet column in use by the export.
struct ExcelColumn {
    int32_t Left = 0;              // whole millimetres of the items' Left that identify it
    std::string NumberFormat;      // the longest format pattern seen for it
    int32_t Alignment = kXlLeft;   // alignment of its last item
    int32_t SumStartRow = 1;       // first row after its last sum formula
};

// Layout of the worksheet being written. Start values as below.
struct ExcelSheetState {
    std::string CurrentColumn = "A";                    // letters of the cell last written
    std::array<ExcelColumn, kExcelTableSize> Columns{}; // 1 .. ColumnCount, ordered by Left
    int32_t CurrentRow = 1;                             // row of the cell last written
    bool ExcelNewPage = false;                          // a page break is pending
    int32_t ColumnCount = 0;
    int32_t LastRow = 0;                                // highest row written
    int32_t RowBase = 0;                                // row offset of the current block
};

// Column captions collected from psCaps items.
struct ExcelHeaderState {
    std::array<std::string, kExcelTableSize> Captions{};  // 1 .. CaptionCount
    int32_t CaptionCount = 0;
    int32_t CaptionRow = 1;
};

// The module state of one thread. Every clsqorPrintLib object, window and report of the
// thread reads and writes the same instance, so one document is open per thread at a time.
// Values persist between documents and objects until the thread ends.
class ModuleState {
public:
    ModuleState() = default;
    ModuleState(const ModuleState&) = delete;
    ModuleState& operator=(const ModuleState&) = delete;

    // PDF file the preview's PDF action writes (set by InitPrinter).
    std::string PdfExportFile;
    // True when the preview printed the document, false when it was closed.
    bool DocPrinted = false;
    // Output mode of the document: 0 print, 1 preview, 2 spreadsheet, 3 PDF, 4 view only.
    int16_t PreviewMode = 0;
    // Paper bin for page 2 onwards; 0 = the same bin as page 1.
    int16_t SecondPageBin = 0;
    // Device name of the printer in use.
    std::string SelectedPrinter;
    // Display name of the chosen paper bin, "" when none was chosen.
    std::string SelectedBinName;
    // Paper-bin code (7 automatic, 15 form source, -1 after a cancelled dialog, 0 without
    // printers).
    int32_t SelectedBin = 0;
    // The default-printer string the user asked to keep in the printer dialog, or "".
    std::string NewDefaultPrinter;
    // The client's application given to PrSetUpDLL; empty until then.
    std::optional<Application> ClientApplication;
    // Output goes to a spreadsheet instead of the page surface.
    bool ExcelMode = false;

    // The spreadsheet being written while ExcelMode is true.
    std::shared_ptr<ExcelApplication> ExcelApp;
    ExcelSheetState ExcelSheet;
    ExcelHeaderState ExcelHeader;
    // A page break was asked for while exporting; the same flag as ExcelSheet.ExcelNewPage.
    bool& ExcelNewPage = ExcelSheet.ExcelNewPage;

    // Puts every variable back to its start value (as on a new thread).
    void Reset();
};

// The calling thread's module state, created on first use.
ModuleState& modqorPrintLib();

}  // namespace qor
