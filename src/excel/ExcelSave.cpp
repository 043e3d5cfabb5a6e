// Writing the workbook as .xlsx with libxlsxwriter, and fitting column widths with our own
// font metrics.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <unordered_map>

#include <qor/RuntimeError.h>

#include "excel/ExcelApplication.h"
#include "excel/XlsxLibrary.h"
#include "surface/AtomicFile.h"
#include "surface/Fonts.h"

namespace qor {

namespace {

// Pixels per point on the 96 dpi grid that column widths are counted on.
constexpr double kPixelsPerTwip = 96.0 / 72.0 / 20.0;
// Pixels a cell keeps free beside its text (margins and grid line), so an auto-fitted text
// never touches the next column.
constexpr double kFitMarginPixels = 3;

lxw_color_t Rgb(int32_t bgr) {
    const uint32_t v = static_cast<uint32_t>(bgr) & 0xFFFFFF;
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

uint8_t LxwAlign(int32_t alignment) {
    switch (alignment) {
        case kXlLeft: return LXW_ALIGN_LEFT;
        case kXlRight: return LXW_ALIGN_RIGHT;
        case kXlCenter: return LXW_ALIGN_CENTER;
        default: return LXW_ALIGN_NONE;
    }
}

[[noreturn]] void SaveFailed(const std::string& path, const std::string& reason) {
    throw RuntimeError(kErrPathFileAccess,
                       "Path/File access error: cannot save '" + path + "': " + reason);
}

// The formats of one workbook, one per distinct cell style.
class FormatTable {
public:
    FormatTable(lxw_workbook* wb, const ExcelApplication& app) : wb_(wb), app_(app) {}

    lxw_format* For(const ExcelCellStyle& s) {
        const std::string key = excel::StyleKey(s);
        if (auto it = formats_.find(key); it != formats_.end()) return it->second;
        const excel::XlsxFunctions& xlsx = excel::Xlsx();
        lxw_format* f = xlsx.workbook_add_format(wb_);
        xlsx.format_set_font_name(f, s.FontName.value_or(app_.StandardFont).c_str());
        xlsx.format_set_font_size(f, s.FontSize.value_or(app_.StandardFontSize));
        if (s.Bold) xlsx.format_set_bold(f);
        if (s.Italic) xlsx.format_set_italic(f);
        if (s.Underline) xlsx.format_set_underline(f, LXW_UNDERLINE_SINGLE);
        if (s.Strikethrough) xlsx.format_set_font_strikeout(f);
        if (s.FontColor != 0) xlsx.format_set_font_color(f, Rgb(s.FontColor));
        if (s.FillColor) {
            xlsx.format_set_pattern(f, LXW_PATTERN_SOLID);
            xlsx.format_set_bg_color(f, Rgb(*s.FillColor));
        }
        if (s.BorderColor) {
            xlsx.format_set_border(f, LXW_BORDER_THIN);
            xlsx.format_set_border_color(f, Rgb(*s.BorderColor));
        }
        if (!s.NumberFormat.empty()) xlsx.format_set_num_format(f, s.NumberFormat.c_str());
        if (s.Alignment) xlsx.format_set_align(f, LxwAlign(*s.Alignment));
        formats_.emplace(key, f);
        return f;
    }

private:
    lxw_workbook* wb_;
    const ExcelApplication& app_;
    std::unordered_map<std::string, lxw_format*> formats_;
};

// Makes the standard font the workbook's default (the "Normal" style), which is also the
// font whose "0" column widths are counted in.
void SetStandardFont(lxw_workbook* wb, const ExcelApplication& app) {
    const excel::XlsxFunctions& xlsx = excel::Xlsx();
    lxw_format* normal = STAILQ_FIRST(wb->formats);
    if (normal == nullptr) return;
    xlsx.format_set_font_name(normal, app.StandardFont.c_str());
    xlsx.format_set_font_size(normal, app.StandardFontSize);
}

void Check(lxw_error e, const std::string& path) {
    if (e != LXW_NO_ERROR) SaveFailed(path, excel::Xlsx().lxw_strerror(e));
}

}  // namespace

// Writes the stored cells of an application through libxlsxwriter.
class ExcelWorkbookWriter {
public:
    static void Write(const ExcelApplication& app, const std::string& file, const std::string& path) {
        const excel::XlsxFunctions& xlsx = excel::Xlsx();
        // Rows are written in order, so the worksheet can stream them to disk instead of
        // holding the whole sheet a second time.
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* wb = xlsx.workbook_new_opt(file.c_str(), &options);
        if (wb == nullptr) SaveFailed(path, "the workbook cannot be created");
        bool closed = false;
        try {
            SetStandardFont(wb, app);
            lxw_worksheet* ws = xlsx.workbook_add_worksheet(wb, nullptr);
            if (ws == nullptr) SaveFailed(path, "the worksheet cannot be created");
            WriteSheet(app, wb, ws, path);
            closed = true;
            Check(xlsx.workbook_close(wb), path);
        } catch (...) {
            if (!closed) xlsx.lxw_workbook_free(wb);  // frees without writing anything
            throw;
        }
    }

private:
    using StoredCell = ExcelApplication::StoredCell;

    static void WriteSheet(const ExcelApplication& app, lxw_workbook* wb, lxw_worksheet* ws,
                           const std::string& path) {
        const excel::XlsxFunctions& xlsx = excel::Xlsx();
        FormatTable formats(wb, app);
        struct Cursor {
            int32_t column;
            const std::vector<StoredCell>* cells;
            size_t next = 0;
        };
        std::vector<Cursor> cursors;
        for (const auto& [column, data] : app.columns_) {
            if (data.Format) {
                ExcelCellStyle style;
                style.NumberFormat = data.Format->NumberFormat;
                style.Alignment = data.Format->Alignment;
                const double width = data.Format->Width.value_or(LXW_DEF_COL_WIDTH);
                const auto c = static_cast<lxw_col_t>(column - 1);
                Check(xlsx.worksheet_set_column(ws, c, c, width, formats.For(style)), path);
            }
            if (!data.Cells.empty()) cursors.push_back({column, &data.Cells});
        }

        std::vector<lxw_format*> byStyle(app.styles_.size(), nullptr);
        // Row by row across the columns, each column's cells in row order.
        while (true) {
            int32_t row = std::numeric_limits<int32_t>::max();
            for (const Cursor& c : cursors)
                if (c.next < c.cells->size()) row = std::min(row, (*c.cells)[c.next].Row);
            if (row == std::numeric_limits<int32_t>::max()) break;
            for (Cursor& c : cursors) {
                if (c.next >= c.cells->size() || (*c.cells)[c.next].Row != row) continue;
                const StoredCell& cell = (*c.cells)[c.next++];
                lxw_format*& f = byStyle[cell.Style];
                if (f == nullptr) f = formats.For(app.styles_[cell.Style]);
                lxw_format* used = f;
                if (cell.Value.IsDate() && app.styles_[cell.Style].NumberFormat.empty()) {
                    ExcelCellStyle dated = app.styles_[cell.Style];
                    dated.NumberFormat = "dd/mm/yyyy";
                    used = formats.For(dated);
                }
                Check(WriteCell(xlsx, app, ws, excel::CellRef{row, c.column}, cell, used), path);
            }
        }
    }

    static lxw_error WriteCell(const excel::XlsxFunctions& xlsx, const ExcelApplication& app, lxw_worksheet* ws,
                               excel::CellRef at, const StoredCell& cell, lxw_format* f) {
        const auto row = static_cast<lxw_row_t>(at.Row - 1);
        const auto col = static_cast<lxw_col_t>(at.Column - 1);
        if (cell.Formula) {
            if (auto result = app.FormulaResult(at))
                return xlsx.worksheet_write_formula_num(ws, row, col, cell.Formula->c_str(), f, *result);
            return xlsx.worksheet_write_formula(ws, row, col, cell.Formula->c_str(), f);
        }
        if (cell.Value.Type() == Variant::VarType::Boolean)
            return xlsx.worksheet_write_boolean(ws, row, col, cell.Value.AsBool() ? 1 : 0, f);
        if (cell.Value.IsNumber() || cell.Value.IsDate())
            return xlsx.worksheet_write_number(ws, row, col, cell.Value.ToDouble(), f);
        if (cell.Value.IsString() && !cell.Value.AsString().empty())
            return xlsx.worksheet_write_string(ws, row, col, cell.Value.AsString().c_str(), f);
        return xlsx.worksheet_write_blank(ws, row, col, f);
    }
};

void ExcelApplication::Save(const std::string& path) const {
    surface::WriteNamedFileAtomically(path, [&](const std::string& temp) { ExcelWorkbookWriter::Write(*this, temp, path); });
}

double ExcelApplication::AutoFitWidth(int32_t column) const {
    surface::FontRegistry& fonts = surface::FontRegistry::Instance();
    const surface::FaceId standard = fonts.Resolve(StandardFont, false, false);
    // The width unit: the standard font's "0" in whole pixels, as the spreadsheet counts it.
    const double digit =
        std::max(1.0, std::round(surface::LineWidthTwips(standard, StandardFontSize, "0") * kPixelsPerTwip));
    double widest = 0;
    auto stored = columns_.find(column);
    if (stored == columns_.end()) return 0;
    for (const StoredCell& cell : stored->second.Cells) {
        const ExcelCellStyle& style = styles_[cell.Style];
        std::string text;
        if (cell.Formula) {
            if (auto result = FormulaResult(excel::CellRef{cell.Row, column}))
                text = excel::FormatForDisplay(*result, style.NumberFormat);
            else
                text = *cell.Formula;
        } else if (cell.Value.IsNumber() && cell.Value.Type() != Variant::VarType::Boolean) {
            text = excel::FormatForDisplay(cell.Value.ToDouble(), style.NumberFormat);
        } else if (!cell.Value.IsEmpty() && !cell.Value.IsNull()) {
            text = cell.Value.ToString();
        }
        if (text.empty()) continue;
        const surface::FaceId face = fonts.Resolve(style.FontName.value_or(StandardFont), style.Bold, style.Italic);
        const double twips = surface::LineWidthTwips(face, style.FontSize.value_or(StandardFontSize), text);
        widest = std::max(widest, twips * kPixelsPerTwip);
    }
    if (widest <= 0) return 0;
    // Characters of "0", rounded up to hundredths.
    return std::ceil((std::ceil(widest) + kFitMarginPixels) / digit * 100.0) / 100.0;
}

}  // namespace qor
