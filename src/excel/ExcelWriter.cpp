// The cell writer and the finishing routine of the spreadsheet export.
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <mutex>
#include <utility>

#include <unistd.h>

#include <qor/Enums.h>
#include <qor/GenServices.h>
#include <qor/RuntimeError.h>

#include "core/Desktop.h"
#include "core/ModuleState.h"
#include "drawing/DrawingSupport.h"
#include "excel/ExcelApplication.h"
#include "excel/ExcelExport.h"

namespace qor {

namespace {

// Millimetres of page height per worksheet row.
constexpr int32_t kMmPerRow = 4;
// Items whose running line is this far down the page do not take a pending page break.
constexpr float kBreakTakenAboveMm = 100.0f;
// The header row: white bold text on dark blue (&HBBGGRR), ruled in black.
constexpr int32_t kCaptionFill = 0x6A240A;
constexpr int32_t kCaptionText = 0xFFFFFF;
constexpr int32_t kRuleColour = 0;
// Width of the title column "A", in characters.
constexpr double kTitleColumnWidth = 3;

std::mutex gOpenerMutex;
excel::WorkbookOpener& Opener() {
    static excel::WorkbookOpener opener = &excel::OpenWithDesktop;
    return opener;
}

// The whole number nearest to `mm`, halves to the even neighbour (the runtime's CLng).
int32_t NearestWhole(float mm) {
    const double n = std::nearbyint(static_cast<double>(mm));
    if (!(n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max()))
        throw RuntimeError(kErrOverflow);
    return static_cast<int32_t>(n);
}

// The largest whole number not above `mm`.
int32_t WholeMillimetres(float mm) {
    const double n = std::floor(static_cast<double>(mm));
    if (!(n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max()))
        throw RuntimeError(kErrOverflow);
    return static_cast<int32_t>(n);
}

ExcelApplication& App(ModuleState& state) {
    if (!state.ExcelApp) throw RuntimeError(kErrObjectNotSet);
    return *state.ExcelApp;
}

bool TakesTitleColumn(int32_t printStyle, int32_t captionCount) {
    return printStyle == psTitle || printStyle == psSubTitle ||
           ((printStyle == psNormal || printStyle == psCustom) && captionCount == 0);
}

// The worksheet column of an item at whole millimetre `p`: an existing column at `p`, or a
// new one appended or inserted so that the columns stay ordered by position.
int32_t ColumnAt(ModuleState& state, int32_t p) {
    ExcelSheetState& sheet = state.ExcelSheet;
    auto& cols = sheet.Columns;
    const int32_t count = sheet.ColumnCount;
    auto grow = [&] {
        if (static_cast<std::size_t>(count) + 1 >= kExcelTableSize) throw RuntimeError(kErrSubscript);
    };
    int32_t index = count + 1;  // append unless an existing column holds or follows `p`
    if (p <= cols[static_cast<std::size_t>(count)].Left) {
        for (int32_t i = 1; i <= count; ++i) {
            const int32_t left = cols[static_cast<std::size_t>(i)].Left;
            if (left == p) return i;
            if (left > p) {
                grow();
                for (int32_t j = count; j >= i; --j) {
                    ExcelColumn& to = cols[static_cast<std::size_t>(j + 1)];
                    const ExcelColumn& from = cols[static_cast<std::size_t>(j)];
                    to.Left = from.Left;
                    to.NumberFormat = from.NumberFormat;
                    to.Alignment = from.Alignment;
                }
                App(state).Columns(excel::ColumnLetters(i)).Insert(kXlShiftToRight);
                cols[static_cast<std::size_t>(i)].NumberFormat.clear();
                sheet.ColumnCount = count + 1;
                return i;
            }
        }
    }
    grow();
    sheet.ColumnCount = count + 1;
    return index;
}

void ApplyFont(const ExcelRange& cell, int32_t printStyle, const std::string& style, float fontSize,
               const std::string& fontName, int32_t color) {
    const ExcelRange::FontProxy font = cell.Font();
    switch (printStyle) {
        case psTitle:
            font.Size(13);
            font.Bold(true);
            font.Underline(true);
            break;
        case psSubTitle:
            font.Size(11);
            font.Italic(true);
            break;
        case psBold:
            font.Bold(true);
            break;
        case psCustom: {
            const std::string letters = UpperCase(style);
            const auto has = [&](char c) { return letters.find(c) != std::string::npos; };
            font.Name(fontName);
            font.Size(fontSize);
            font.Bold(has('B'));
            font.Underline(has('U'));
            font.Italic(has('I'));
            font.Strikethrough(has('T'));
            font.Color(color);
            break;
        }
        default:
            break;
    }
}

bool IsNumericItem(const Variant& item) {
    if (item.Type() == Variant::VarType::Boolean) return false;
    return item.IsNumber() || (item.IsString() && IsNumeric(item));
}

}  // namespace

namespace excel {

void ExcelWriteCell(float T, float Left, float Top, Variant& Item, const std::string& Pattern,
                    int32_t Align, int32_t PrintStyle, const std::string& Style, float FontSize,
                    const std::string& FontName, int32_t Color) {
    if (PrintStyle == psSmall) return;
    ModuleState& state = modqorPrintLib();
    ExcelSheetState& sheet = state.ExcelSheet;
    ExcelHeaderState& header = state.ExcelHeader;
    const int32_t n = NearestWhole(Top);

    if (PrintStyle == psCaps && !sheet.ExcelNewPage) {
        if (static_cast<std::size_t>(header.CaptionCount) + 1 >= kExcelTableSize)
            throw RuntimeError(kErrSubscript);
        header.CaptionCount += 1;
        header.Captions[static_cast<std::size_t>(header.CaptionCount)] = UpperCase(CStr(Item));
        header.CaptionRow = n / kMmPerRow + 1;
        return;
    }
    if (sheet.ExcelNewPage) {
        if (T >= kBreakTakenAboveMm) return;
        sheet.ExcelNewPage = false;
        sheet.RowBase = sheet.CurrentRow - n / kMmPerRow;
    }

    int32_t column = 1;
    if (TakesTitleColumn(PrintStyle, header.CaptionCount)) {
        sheet.CurrentColumn.assign(1, 'A');  // not = "A": GCC 12 misreads that at -O3
        sheet.Columns[1].Left = 0;
        if (sheet.ColumnCount == 0) sheet.ColumnCount = 1;
    } else {
        const int32_t p = WholeMillimetres(Left);
        column = ColumnAt(state, p);
        ExcelColumn& entry = sheet.Columns[static_cast<std::size_t>(column)];
        sheet.CurrentColumn = excel::ColumnLetters(column);
        entry.Left = p;
        switch (Align) {
            case 0: entry.Alignment = kXlLeft; break;
            case 1: entry.Alignment = kXlRight; break;
            case 2: entry.Alignment = kXlCenter; break;
            default: throw RuntimeError(kErrInvalidUseOfNull);
        }
        if (Pattern.size() > entry.NumberFormat.size()) entry.NumberFormat = Pattern;
    }

    sheet.CurrentRow = n / kMmPerRow + 1 + sheet.RowBase;
    if (sheet.CurrentRow > sheet.LastRow) sheet.LastRow = sheet.CurrentRow;

    const ExcelRange cell = App(state).Range(sheet.CurrentColumn + std::to_string(sheet.CurrentRow));
    ApplyFont(cell, PrintStyle, Style, FontSize, FontName, Color);

    ExcelColumn& entry = sheet.Columns[static_cast<std::size_t>(column)];
    if (PrintStyle == psBold && IsNumericItem(Item)) {
        const std::string& l = sheet.CurrentColumn;
        const int32_t s = entry.SumStartRow, r = sheet.CurrentRow;
        const std::string formula =
            r == s + 1 ? "=SUM(" + l + "1:" + l + std::to_string(s) + ")/2"
                       : "=SUM(" + l + std::to_string(r - 1) + ":" + l + std::to_string(s) + ")";
        cell.Formula(formula);
        entry.SumStartRow = r + 1;
    } else {
        cell.Value(Item);
    }
}

void ExcelFinish() {
    ModuleState& state = modqorPrintLib();
    ExcelApplication& app = App(state);
    const ExcelSheetState& sheet = state.ExcelSheet;
    const ExcelHeaderState& header = state.ExcelHeader;

    const std::string captionRow = std::to_string(header.CaptionRow);
    // With no row written the rule covers the caption alone.
    const std::string lastRow = std::to_string(sheet.LastRow > 0 ? sheet.LastRow : header.CaptionRow);
    for (int32_t c = 1; c <= header.CaptionCount; ++c) {
        const std::string l = excel::ColumnLetters(c + 1);
        const ExcelRange cell = app.Range(l + captionRow);
        cell.Interior().Color(kCaptionFill);
        cell.Font().Color(kCaptionText);
        cell.Font().Bold(true);
        cell.Borders().Color(kRuleColour);
        cell.Value(Variant(header.Captions[static_cast<std::size_t>(c)]));
        app.Range(l + captionRow, l + lastRow).Borders().Color(kRuleColour);
    }
    app.Columns("A").HorizontalAlignment(kXlLeft);
    app.Columns("A").ColumnWidth(kTitleColumnWidth);
    for (int32_t k = 2; k <= sheet.ColumnCount; ++k) {
        const ExcelColumn& entry = sheet.Columns[static_cast<std::size_t>(k)];
        ExcelColumns columns = app.Columns(excel::ColumnLetters(k));
        if (entry.NumberFormat != "&") columns.NumberFormat(entry.NumberFormat);
        columns.HorizontalAlignment(entry.Alignment);
        columns.AutoFit();
    }

    RestorePointer();
    state.ExcelMode = false;
    // The workbook is released however saving ends.
    const std::shared_ptr<ExcelApplication> held = std::move(state.ExcelApp);
    held->Visible = true;
    const std::string file = held->SaveAs;
    held->Quit();
    if (GenServices().Unattended) return;
    WorkbookOpener opener;
    {
        std::lock_guard lock(gOpenerMutex);
        opener = Opener();
    }
    if (opener) opener(file);
}

void StartWorkbook(ModuleState& state, const std::string& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = fs::absolute(fs::path(file), ec).parent_path();
    if (ec || !fs::is_directory(folder, ec))
        throw RuntimeError(kErrPathNotFound, "Path not found: '" + folder.string() + "'");
    // The workbook is written when the export ends; find out now whether it can be.
    std::string probe = (folder / ".qorprint-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        throw RuntimeError(kErrPathFileAccess, "Path/File access error: cannot write in '" +
                                                   folder.string() + "': " + std::strerror(errno));
    ::close(fd);
    ::unlink(probe.c_str());

    auto app = std::make_shared<ExcelApplication>();
    app->Workbooks().Add();
    app->StandardFont = "Arial";
    app->StandardFontSize = 9;
    app->SaveAs = file;
    state.ExcelApp = std::move(app);
    state.ExcelSheet = ExcelSheetState{};
    state.ExcelHeader = ExcelHeaderState{};
}

WorkbookOpener SetWorkbookOpener(WorkbookOpener opener) {
    std::lock_guard lock(gOpenerMutex);
    return std::exchange(Opener(), std::move(opener));
}

}  // namespace excel

}  // namespace qor
