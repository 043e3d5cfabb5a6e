// The spreadsheet application of the export: one workbook with one worksheet held in
// memory, offering the automation members the export uses by their names, and saved as an
// .xlsx file when it is quit while visible.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <qor/Variant.h>

#include "core/ModuleState.h"
#include "excel/ExcelCells.h"

namespace qor {

// The column insertion shift, by the spreadsheet's own value. The horizontal alignments
// (kXlLeft, kXlRight, kXlCenter) come with the export's state in core/ModuleState.h.
inline constexpr int32_t kXlShiftToRight = -4161;

// How one cell looks. Colours are &HBBGGRR.
struct ExcelCellStyle {
    std::optional<std::string> FontName;     // nothing: the standard font
    std::optional<double> FontSize;          // points; nothing: the standard size
    bool Bold = false, Underline = false, Italic = false, Strikethrough = false;
    int32_t FontColor = 0;
    std::optional<int32_t> FillColor;        // Interior.Color
    std::optional<int32_t> BorderColor;      // Borders.Color: thin lines on all four edges
    std::string NumberFormat;                // "" general
    std::optional<int32_t> Alignment;        // nothing: the spreadsheet's own by value type
    friend bool operator==(const ExcelCellStyle&, const ExcelCellStyle&) = default;
};

namespace excel {
// A text that is equal for two styles exactly when the styles are equal.
std::string StyleKey(const ExcelCellStyle& style);
}  // namespace excel

// One cell as seen from outside: a value, or a formula whose result the workbook computes
// when saving.
struct ExcelCell {
    Variant Value;
    std::string Formula;                     // "" when the cell holds a plain value
    ExcelCellStyle Style;
};

// Width and defaults of one column. Cells created in the column start with its number
// format and alignment.
struct ExcelColumnFormat {
    std::optional<double> Width;             // characters of the standard font's "0"
    std::string NumberFormat;
    std::optional<int32_t> Alignment;
};

class ExcelApplication;

// A rectangle of cells of the worksheet (one cell or more), as returned by Range. Setting a
// property sets it on every cell of the rectangle, creating empty cells where needed.
// Valid while the application lives; the Font, Interior and Borders objects may be kept.
class ExcelRange {
public:
    class FontProxy;
    class InteriorProxy;
    class BordersProxy;

    FontProxy Font() const;
    InteriorProxy Interior() const;
    BordersProxy Borders() const;

    // Stores `value` in every cell (numbers stay numbers, texts stay texts) and removes a
    // formula there. Empty clears the value.
    void Value(const Variant& value) const;
    // The value of the top-left cell; a formula cell gives its computed result (Empty when
    // the workbook cannot compute it).
    Variant Value() const;
    // Stores the formula text ("=SUM(B1:B3)") in every cell. A text without a leading "="
    // is stored as a value instead, as the spreadsheet does.
    void Formula(const std::string& formula) const;
    // The formula of the top-left cell; for a plain value its text.
    std::string Formula() const;

private:
    friend class ExcelApplication;
    ExcelRange(ExcelApplication& app, excel::CellRef from, excel::CellRef to)
        : app_(&app), from_(from), to_(to) {}
    template <class F> void ForEachCell(F&& f) const;
    template <class F> void Restyle(F&& change) const;
    ExcelApplication* app_;
    excel::CellRef from_, to_;
};

// The font of the cells of a range. Sizes in points, colours &HBBGGRR.
class ExcelRange::FontProxy {
public:
    void Size(double points) const;   // 1 to 409; else RuntimeError(kErrInvalidProperty)
    void Bold(bool on) const;
    void Underline(bool on) const;    // single underline
    void Italic(bool on) const;
    void Name(const std::string& family) const;
    void Strikethrough(bool on) const;
    void Color(int32_t bgr) const;
private:
    friend class ExcelRange;
    explicit FontProxy(const ExcelRange& r) : range_(r) {}
    ExcelRange range_;
};

class ExcelRange::InteriorProxy {
public:
    void Color(int32_t bgr) const;    // a solid fill
private:
    friend class ExcelRange;
    explicit InteriorProxy(const ExcelRange& r) : range_(r) {}
    ExcelRange range_;
};

class ExcelRange::BordersProxy {
public:
    void Color(int32_t bgr) const;    // thin borders on every edge of every cell
private:
    friend class ExcelRange;
    explicit BordersProxy(const ExcelRange& r) : range_(r) {}
    ExcelRange range_;
};

// One or more whole columns, as returned by Columns("B") or Columns("B:D").
class ExcelColumns {
public:
    // Inserts as many empty columns before the first one as the range spans; the cells,
    // widths and formats from there on move to the right and every formula of the sheet
    // that names a moved cell is rewritten. `shift` must be kXlShiftToRight; anything else
    // throws RuntimeError(kErrInvalidCall).
    void Insert(int32_t shift = kXlShiftToRight);
    // kXlLeft, kXlRight or kXlCenter for the columns and every cell in them;
    // other values throw RuntimeError(kErrInvalidProperty).
    void HorizontalAlignment(int32_t alignment);
    // Width in characters of the standard font's "0" (0 to 255; else kErrInvalidProperty).
    void ColumnWidth(double characters);
    // A number format pattern ("#,##0.00"), passed through to the file unchanged, for the
    // columns and every cell in them.
    void NumberFormat(const std::string& pattern);
    // Sets each column's width so that its widest cell fits: the text the cell shows,
    // measured in its own font, in characters of the standard font's "0" plus a margin.
    // An empty column keeps its width.
    void AutoFit();

private:
    friend class ExcelApplication;
    ExcelColumns(ExcelApplication& app, int32_t first, int32_t last)
        : app_(app), first_(first), last_(last) {}
    ExcelApplication& app_;
    int32_t first_, last_;
};

// The spreadsheet application. Not thread-safe: one thread uses it at a time.
class ExcelApplication {
public:
    class WorkbooksProxy {
    public:
        // Starts a new, empty workbook with one worksheet, replacing any earlier one.
        void Add();
    private:
        friend class ExcelApplication;
        explicit WorkbooksProxy(ExcelApplication& a) : app_(a) {}
        ExcelApplication& app_;
    };

    ExcelApplication();
    ~ExcelApplication();
    ExcelApplication(const ExcelApplication&) = delete;
    ExcelApplication& operator=(const ExcelApplication&) = delete;

    WorkbooksProxy Workbooks() { return WorkbooksProxy(*this); }

    // The workbook's standard font and size (points), used by every cell that sets no font
    // of its own and as the unit of column widths. Default Arial 9.
    std::string StandardFont = "Arial";
    double StandardFontSize = 9;
    // Whether the application is shown to the user. Quit saves the workbook only when True.
    bool Visible = false;
    // The .xlsx file that Quit writes when Visible is True. Default "": nothing to save to.
    std::string SaveAs;

    // The cell `name` ("C12"), or the rectangle between two cell names, or one name of the
    // form "A1:C1". Throws RuntimeError(kErrInvalidCall) naming a malformed cell name, and
    // RuntimeError(kErrObjectNotSet) when no workbook was added.
    ExcelRange Range(std::string_view name);
    ExcelRange Range(std::string_view first, std::string_view last);
    // The columns `letters` ("B") or `first:last` ("B:D"). Throws as Range does.
    ExcelColumns Columns(std::string_view letters);

    // Ends the application. When Visible is True the workbook is first saved to SaveAs:
    // written to a temporary file in the same folder and renamed over SaveAs, so a failure
    // leaves no partial file and an older file of that name as it was. Throws
    // RuntimeError(kErrPathFileAccess) naming the file when it cannot be written, and
    // RuntimeError(kErrBadFileName) when SaveAs is empty, and RuntimeError(kErrLoadingLibrary)
    // naming libxlsxwriter when that library, opened by the first save, cannot be loaded.
    // The workbook is discarded either way (also when saving fails).
    void Quit();

    // A copy of the cell at `cell`; nothing when it was never created.
    std::optional<ExcelCell> Cell(excel::CellRef cell) const;
    // The width and formats of `column`; nothing when none was ever set.
    std::optional<ExcelColumnFormat> ColumnFormat(int32_t column) const;
    // The computed result of the formula in `cell`; nothing for other forms (and for cells
    // without a formula).
    std::optional<double> FormulaResult(excel::CellRef cell) const;

private:
    friend class ExcelRange;
    friend class ExcelColumns;
    friend class ExcelWorkbookWriter;

    // A cell as stored: its row, its look as an index into styles_, its value and (rarely)
    // a formula.
    struct StoredCell {
        int32_t Row = 0;
        uint32_t Style = 0;
        Variant Value;
        std::unique_ptr<std::string> Formula;
    };
    // A column: its cells ordered by row (rows mostly arrive in order, so adding one is
    // usually an append), its format, and how many of its cells hold formulas.
    struct StoredColumn {
        std::vector<StoredCell> Cells;
        std::optional<ExcelColumnFormat> Format;
        size_t Formulas = 0;
    };

    void RequireWorkbook() const;
    StoredCell& CellAt(excel::CellRef ref);
    const StoredCell* FindCell(excel::CellRef ref) const;
    ExcelColumnFormat& FormatOf(int32_t column);
    uint32_t Intern(const ExcelCellStyle& style);
    // Changes the look of every cell of `column` with `change`, one lookup per distinct look.
    template <class F> void Restyle(StoredColumn& column, F&& change);
    void SetFormula(StoredColumn& column, StoredCell& cell, std::string formula);
    std::optional<double> NumberAt(excel::CellRef ref, int depth) const;
    void InsertColumns(int32_t at, int32_t count);
    double AutoFitWidth(int32_t column) const;
    void Save(const std::string& path) const;

    bool hasWorkbook_ = false;
    std::map<int32_t, StoredColumn> columns_;
    std::vector<ExcelCellStyle> styles_;              // index 0: the plain look
    std::unordered_map<std::string, uint32_t> styleIndex_;
};

}  // namespace qor
