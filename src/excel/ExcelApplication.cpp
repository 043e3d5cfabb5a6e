#include "excel/ExcelApplication.h"

#include <algorithm>
#include <cstdint>

#include <qor/RuntimeError.h>

namespace qor {

using excel::CellRef;

namespace {

// Formulas referring to formulas are followed this deep; deeper chains (or cycles) give no
// result.
constexpr int kMaxFormulaDepth = 64;

std::pair<CellRef, CellRef> Normalised(CellRef a, CellRef b) {
    return {CellRef{std::min(a.Row, b.Row), std::min(a.Column, b.Column)},
            CellRef{std::max(a.Row, b.Row), std::max(a.Column, b.Column)}};
}

}  // namespace

// ---- ExcelRange -----------------------------------------------------------------------

template <class F>
void ExcelRange::ForEachCell(F&& f) const {
    for (int32_t c = from_.Column; c <= to_.Column; ++c)
        for (int32_t r = from_.Row; r <= to_.Row; ++r) f(app_->columns_[c], app_->CellAt(CellRef{r, c}));
}

ExcelRange::FontProxy ExcelRange::Font() const { return FontProxy(*this); }
ExcelRange::InteriorProxy ExcelRange::Interior() const { return InteriorProxy(*this); }
ExcelRange::BordersProxy ExcelRange::Borders() const { return BordersProxy(*this); }

template <class F>
void ExcelRange::Restyle(F&& change) const {
    // Neighbouring cells mostly look alike: remember the last look and what it became.
    uint32_t from = UINT32_MAX, to = 0;
    ForEachCell([&](ExcelApplication::StoredColumn&, ExcelApplication::StoredCell& cell) {
        if (cell.Style != from) {
            from = cell.Style;
            ExcelCellStyle style = app_->styles_[from];
            change(style);
            to = app_->Intern(style);
        }
        cell.Style = to;
    });
}

void ExcelRange::FontProxy::Size(double points) const {
    if (points < 1 || points > 409) throw RuntimeError(kErrInvalidProperty);
    range_.Restyle([&](ExcelCellStyle& s) { s.FontSize = points; });
}
void ExcelRange::FontProxy::Bold(bool on) const {
    range_.Restyle([&](ExcelCellStyle& s) { s.Bold = on; });
}
void ExcelRange::FontProxy::Underline(bool on) const {
    range_.Restyle([&](ExcelCellStyle& s) { s.Underline = on; });
}
void ExcelRange::FontProxy::Italic(bool on) const {
    range_.Restyle([&](ExcelCellStyle& s) { s.Italic = on; });
}
void ExcelRange::FontProxy::Name(const std::string& family) const {
    range_.Restyle([&](ExcelCellStyle& s) { s.FontName = family; });
}
void ExcelRange::FontProxy::Strikethrough(bool on) const {
    range_.Restyle([&](ExcelCellStyle& s) { s.Strikethrough = on; });
}
void ExcelRange::FontProxy::Color(int32_t bgr) const {
    range_.Restyle([&](ExcelCellStyle& s) { s.FontColor = bgr & 0xFFFFFF; });
}
void ExcelRange::InteriorProxy::Color(int32_t bgr) const {
    range_.Restyle([&](ExcelCellStyle& s) { s.FillColor = bgr & 0xFFFFFF; });
}
void ExcelRange::BordersProxy::Color(int32_t bgr) const {
    range_.Restyle([&](ExcelCellStyle& s) { s.BorderColor = bgr & 0xFFFFFF; });
}

void ExcelRange::Value(const Variant& value) const {
    ForEachCell([&](ExcelApplication::StoredColumn& column, ExcelApplication::StoredCell& cell) {
        cell.Value = value;
        if (cell.Formula) {
            cell.Formula.reset();
            --column.Formulas;
        }
    });
}

Variant ExcelRange::Value() const {
    const ExcelApplication::StoredCell* cell = app_->FindCell(from_);
    if (cell == nullptr) return Variant();
    if (!cell->Formula) return cell->Value;
    if (auto result = app_->FormulaResult(from_)) return Variant(*result);
    return Variant();
}

void ExcelRange::Formula(const std::string& formula) const {
    if (formula.empty() || formula[0] != '=') {
        Value(Variant(formula));
        return;
    }
    ForEachCell([&](ExcelApplication::StoredColumn& column, ExcelApplication::StoredCell& cell) {
        app_->SetFormula(column, cell, formula);
    });
}

std::string ExcelRange::Formula() const {
    const ExcelApplication::StoredCell* cell = app_->FindCell(from_);
    if (cell == nullptr) return {};
    return cell->Formula ? *cell->Formula : cell->Value.ToString();
}

// ---- ExcelColumns ---------------------------------------------------------------------

void ExcelColumns::Insert(int32_t shift) {
    if (shift != kXlShiftToRight) throw RuntimeError(kErrInvalidCall);
    app_.RequireWorkbook();
    app_.InsertColumns(first_, last_ - first_ + 1);
}

void ExcelColumns::HorizontalAlignment(int32_t alignment) {
    if (alignment != kXlLeft && alignment != kXlRight && alignment != kXlCenter)
        throw RuntimeError(kErrInvalidProperty);
    for (int32_t c = first_; c <= last_; ++c) {
        app_.FormatOf(c).Alignment = alignment;
        app_.Restyle(app_.columns_[c], [&](ExcelCellStyle& s) { s.Alignment = alignment; });
    }
}

void ExcelColumns::ColumnWidth(double characters) {
    if (characters < 0 || characters > 255) throw RuntimeError(kErrInvalidProperty);
    for (int32_t c = first_; c <= last_; ++c) app_.FormatOf(c).Width = characters;
}

void ExcelColumns::NumberFormat(const std::string& pattern) {
    for (int32_t c = first_; c <= last_; ++c) {
        app_.FormatOf(c).NumberFormat = pattern;
        app_.Restyle(app_.columns_[c], [&](ExcelCellStyle& s) { s.NumberFormat = pattern; });
    }
}

void ExcelColumns::AutoFit() {
    for (int32_t c = first_; c <= last_; ++c) {
        const double width = app_.AutoFitWidth(c);
        if (width > 0) app_.FormatOf(c).Width = std::min(width, 255.0);
    }
}

// ---- ExcelApplication -----------------------------------------------------------------

ExcelApplication::ExcelApplication() { styles_.emplace_back(); styleIndex_.emplace(excel::StyleKey(styles_[0]), 0); }
ExcelApplication::~ExcelApplication() = default;

void ExcelApplication::WorkbooksProxy::Add() {
    app_.columns_.clear();
    app_.hasWorkbook_ = true;
}

void ExcelApplication::RequireWorkbook() const {
    if (!hasWorkbook_) throw RuntimeError(kErrObjectNotSet);
}

ExcelRange ExcelApplication::Range(std::string_view name) {
    if (const size_t colon = name.find(':'); colon != std::string_view::npos)
        return Range(name.substr(0, colon), name.substr(colon + 1));
    RequireWorkbook();
    const CellRef cell = excel::ParseCellName(name);
    return ExcelRange(*this, cell, cell);
}

ExcelRange ExcelApplication::Range(std::string_view first, std::string_view last) {
    RequireWorkbook();
    const auto [from, to] = Normalised(excel::ParseCellName(first), excel::ParseCellName(last));
    return ExcelRange(*this, from, to);
}

ExcelColumns ExcelApplication::Columns(std::string_view letters) {
    RequireWorkbook();
    std::string_view a = letters, b = letters;
    if (const size_t colon = letters.find(':'); colon != std::string_view::npos) {
        a = letters.substr(0, colon);
        b = letters.substr(colon + 1);
    }
    const int32_t first = excel::ColumnNumber(a), last = excel::ColumnNumber(b);
    return ExcelColumns(*this, std::min(first, last), std::max(first, last));
}

std::string excel::StyleKey(const ExcelCellStyle& s) {
    std::string k = s.FontName.value_or("\x01") + '\x02' + s.NumberFormat + '\x02';
    k += std::to_string(s.FontSize.value_or(-1)) + ',' + std::to_string(s.Bold) + std::to_string(s.Italic) +
         std::to_string(s.Underline) + std::to_string(s.Strikethrough) + ',' + std::to_string(s.FontColor) +
         ',' + std::to_string(s.FillColor.value_or(-1)) + ',' + std::to_string(s.BorderColor.value_or(-1)) +
         ',' + std::to_string(s.Alignment.value_or(0));
    return k;
}

uint32_t ExcelApplication::Intern(const ExcelCellStyle& style) {
    auto [it, added] = styleIndex_.try_emplace(excel::StyleKey(style), static_cast<uint32_t>(styles_.size()));
    if (added) styles_.push_back(style);
    return it->second;
}

template <class F>
void ExcelApplication::Restyle(StoredColumn& column, F&& change) {
    // Neighbouring cells mostly look alike: remember the last look and what it became.
    uint32_t from = UINT32_MAX, to = 0;
    for (StoredCell& cell : column.Cells) {
        if (cell.Style != from) {
            from = cell.Style;
            ExcelCellStyle style = styles_[from];
            change(style);
            to = Intern(style);
        }
        cell.Style = to;
    }
}

ExcelColumnFormat& ExcelApplication::FormatOf(int32_t column) {
    std::optional<ExcelColumnFormat>& format = columns_[column].Format;
    if (!format) format.emplace();
    return *format;
}

void ExcelApplication::SetFormula(StoredColumn& column, StoredCell& cell, std::string formula) {
    if (!cell.Formula) ++column.Formulas;
    cell.Formula = std::make_unique<std::string>(std::move(formula));
    cell.Value = Variant();
}

ExcelApplication::StoredCell& ExcelApplication::CellAt(CellRef ref) {
    StoredColumn& column = columns_[ref.Column];
    std::vector<StoredCell>& cells = column.Cells;
    auto at = cells.end();
    if (!cells.empty() && cells.back().Row >= ref.Row) {
        at = std::lower_bound(cells.begin(), cells.end(), ref.Row,
                              [](const StoredCell& c, int32_t row) { return c.Row < row; });
        if (at != cells.end() && at->Row == ref.Row) return *at;
    }
    StoredCell cell;
    cell.Row = ref.Row;
    // A new cell starts with its column's number format and alignment.
    if (column.Format && (!column.Format->NumberFormat.empty() || column.Format->Alignment)) {
        ExcelCellStyle style;
        style.NumberFormat = column.Format->NumberFormat;
        style.Alignment = column.Format->Alignment;
        cell.Style = Intern(style);
    }
    return *cells.insert(at, std::move(cell));
}

const ExcelApplication::StoredCell* ExcelApplication::FindCell(CellRef ref) const {
    auto column = columns_.find(ref.Column);
    if (column == columns_.end()) return nullptr;
    const std::vector<StoredCell>& cells = column->second.Cells;
    auto at = std::lower_bound(cells.begin(), cells.end(), ref.Row,
                               [](const StoredCell& c, int32_t row) { return c.Row < row; });
    return at != cells.end() && at->Row == ref.Row ? &*at : nullptr;
}

std::optional<ExcelCell> ExcelApplication::Cell(CellRef ref) const {
    const StoredCell* cell = FindCell(ref);
    if (cell == nullptr) return std::nullopt;
    return ExcelCell{cell->Value, cell->Formula ? *cell->Formula : std::string(), styles_[cell->Style]};
}

std::optional<ExcelColumnFormat> ExcelApplication::ColumnFormat(int32_t column) const {
    auto it = columns_.find(column);
    if (it == columns_.end()) return std::nullopt;
    return it->second.Format;
}

std::optional<double> ExcelApplication::NumberAt(CellRef ref, int depth) const {
    const StoredCell* cell = FindCell(ref);
    if (cell == nullptr) return std::nullopt;
    if (cell->Formula) {
        if (depth >= kMaxFormulaDepth) return std::nullopt;
        return excel::EvaluateFormula(*cell->Formula, [&](CellRef r) { return NumberAt(r, depth + 1); });
    }
    // Texts, even numeric-looking ones, and empty cells count as nothing in a sum.
    if (cell->Value.IsNumber() || cell->Value.IsDate()) return cell->Value.ToDouble();
    return std::nullopt;
}

std::optional<double> ExcelApplication::FormulaResult(CellRef cell) const {
    const StoredCell* c = FindCell(cell);
    if (c == nullptr || !c->Formula) return std::nullopt;
    return NumberAt(cell, 0);
}

void ExcelApplication::InsertColumns(int32_t at, int32_t count) {
    for (const auto& [column, data] : columns_)
        if (column >= at && !data.Cells.empty() && column + count > excel::kMaxColumn)
            throw RuntimeError(kErrInvalidCall);
    std::map<int32_t, StoredColumn> moved;
    for (auto& [column, data] : columns_) {
        if (data.Formulas > 0)
            for (StoredCell& cell : data.Cells)
                if (cell.Formula) *cell.Formula = excel::ShiftFormulaColumns(*cell.Formula, at, count);
        moved.emplace(column >= at ? column + count : column, std::move(data));
    }
    columns_ = std::move(moved);
}

void ExcelApplication::Quit() {
    const bool save = Visible && hasWorkbook_;
    std::string path = SaveAs;
    auto discard = [this] {
        columns_.clear();
        hasWorkbook_ = false;
        Visible = false;
    };
    if (!save) {
        discard();
        return;
    }
    try {
        if (path.empty()) throw RuntimeError(kErrBadFileName, "Bad file name or number: no file to save the workbook to");
        Save(path);
    } catch (...) {
        discard();
        throw;
    }
    discard();
}

}  // namespace qor
