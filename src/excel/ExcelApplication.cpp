#include "excel/ExcelApplication.h"

#include <algorithm>

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
    for (int32_t r = from_.Row; r <= to_.Row; ++r)
        for (int32_t c = from_.Column; c <= to_.Column; ++c) f(app_->CellAt(CellRef{r, c}));
}

ExcelRange::FontProxy ExcelRange::Font() const { return FontProxy(*this); }
ExcelRange::InteriorProxy ExcelRange::Interior() const { return InteriorProxy(*this); }
ExcelRange::BordersProxy ExcelRange::Borders() const { return BordersProxy(*this); }

void ExcelRange::FontProxy::Size(double points) const {
    if (points < 1 || points > 409) throw RuntimeError(kErrInvalidProperty);
    range_.ForEachCell([&](ExcelCell& c) { c.Style.FontSize = points; });
}
void ExcelRange::FontProxy::Bold(bool on) const {
    range_.ForEachCell([&](ExcelCell& c) { c.Style.Bold = on; });
}
void ExcelRange::FontProxy::Underline(bool on) const {
    range_.ForEachCell([&](ExcelCell& c) { c.Style.Underline = on; });
}
void ExcelRange::FontProxy::Italic(bool on) const {
    range_.ForEachCell([&](ExcelCell& c) { c.Style.Italic = on; });
}
void ExcelRange::FontProxy::Name(const std::string& family) const {
    range_.ForEachCell([&](ExcelCell& c) { c.Style.FontName = family; });
}
void ExcelRange::FontProxy::Strikethrough(bool on) const {
    range_.ForEachCell([&](ExcelCell& c) { c.Style.Strikethrough = on; });
}
void ExcelRange::FontProxy::Color(int32_t bgr) const {
    range_.ForEachCell([&](ExcelCell& c) { c.Style.FontColor = bgr & 0xFFFFFF; });
}
void ExcelRange::InteriorProxy::Color(int32_t bgr) const {
    range_.ForEachCell([&](ExcelCell& c) { c.Style.FillColor = bgr & 0xFFFFFF; });
}
void ExcelRange::BordersProxy::Color(int32_t bgr) const {
    range_.ForEachCell([&](ExcelCell& c) { c.Style.BorderColor = bgr & 0xFFFFFF; });
}

void ExcelRange::Value(const Variant& value) const {
    ForEachCell([&](ExcelCell& c) {
        c.Value = value;
        c.Formula.clear();
    });
}

Variant ExcelRange::Value() const {
    const ExcelCell* cell = app_->FindCell(from_);
    if (cell == nullptr) return Variant();
    if (cell->Formula.empty()) return cell->Value;
    if (auto result = app_->FormulaResult(from_)) return Variant(*result);
    return Variant();
}

void ExcelRange::Formula(const std::string& formula) const {
    if (formula.empty() || formula[0] != '=') {
        Value(Variant(formula));
        return;
    }
    ForEachCell([&](ExcelCell& c) {
        c.Formula = formula;
        c.Value = Variant();
    });
}

std::string ExcelRange::Formula() const {
    const ExcelCell* cell = app_->FindCell(from_);
    if (cell == nullptr) return {};
    return cell->Formula.empty() ? cell->Value.ToString() : cell->Formula;
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
    for (int32_t c = first_; c <= last_; ++c) app_.columns_[c].Alignment = alignment;
    for (auto& [key, cell] : app_.cells_)
        if (key.second >= first_ && key.second <= last_) cell.Style.Alignment = alignment;
}

void ExcelColumns::ColumnWidth(double characters) {
    if (characters < 0 || characters > 255) throw RuntimeError(kErrInvalidProperty);
    for (int32_t c = first_; c <= last_; ++c) app_.columns_[c].Width = characters;
}

void ExcelColumns::NumberFormat(const std::string& pattern) {
    for (int32_t c = first_; c <= last_; ++c) app_.columns_[c].NumberFormat = pattern;
    for (auto& [key, cell] : app_.cells_)
        if (key.second >= first_ && key.second <= last_) cell.Style.NumberFormat = pattern;
}

void ExcelColumns::AutoFit() {
    for (int32_t c = first_; c <= last_; ++c) {
        const double width = app_.AutoFitWidth(c);
        if (width > 0) app_.columns_[c].Width = std::min(width, 255.0);
    }
}

// ---- ExcelApplication -----------------------------------------------------------------

ExcelApplication::ExcelApplication() = default;
ExcelApplication::~ExcelApplication() = default;

void ExcelApplication::WorkbooksProxy::Add() {
    app_.cells_.clear();
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

ExcelCell& ExcelApplication::CellAt(CellRef ref) {
    auto [it, added] = cells_.try_emplace({ref.Row, ref.Column});
    if (added) {
        if (auto col = columns_.find(ref.Column); col != columns_.end()) {
            it->second.Style.NumberFormat = col->second.NumberFormat;
            it->second.Style.Alignment = col->second.Alignment;
        }
    }
    return it->second;
}

const ExcelCell* ExcelApplication::FindCell(CellRef ref) const {
    auto it = cells_.find({ref.Row, ref.Column});
    return it == cells_.end() ? nullptr : &it->second;
}

std::optional<double> ExcelApplication::NumberAt(CellRef ref, int depth) const {
    const ExcelCell* cell = FindCell(ref);
    if (cell == nullptr) return std::nullopt;
    if (!cell->Formula.empty()) {
        if (depth >= kMaxFormulaDepth) return std::nullopt;
        return excel::EvaluateFormula(cell->Formula,
                                      [&](CellRef r) { return NumberAt(r, depth + 1); });
    }
    // Texts, even numeric-looking ones, and empty cells count as nothing in a sum.
    if (cell->Value.IsNumber() || cell->Value.IsDate()) return cell->Value.ToDouble();
    return std::nullopt;
}

std::optional<double> ExcelApplication::FormulaResult(CellRef cell) const {
    const ExcelCell* c = FindCell(cell);
    if (c == nullptr || c->Formula.empty()) return std::nullopt;
    return NumberAt(cell, 0);
}

void ExcelApplication::InsertColumns(int32_t at, int32_t count) {
    for (const auto& [key, cell] : cells_)
        if (key.second >= at && key.second + count > excel::kMaxColumn) throw RuntimeError(kErrInvalidCall);
    std::map<std::pair<int32_t, int32_t>, ExcelCell> moved;
    for (auto& [key, cell] : cells_) {
        if (!cell.Formula.empty()) cell.Formula = excel::ShiftFormulaColumns(cell.Formula, at, count);
        int32_t column = key.second;
        if (column >= at) column += count;
        moved.emplace(std::pair{key.first, column}, std::move(cell));
    }
    cells_ = std::move(moved);
    std::map<int32_t, ExcelColumnFormat> columns;
    for (auto& [column, format] : columns_)
        columns.emplace(column >= at ? column + count : column, std::move(format));
    columns_ = std::move(columns);
}

void ExcelApplication::Quit() {
    const bool save = Visible && hasWorkbook_;
    std::string path = SaveAs;
    auto discard = [this] {
        cells_.clear();
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
