// The record loop: one line per record, repeated leading values merged, a separator under
// every line.
#include "report/ReportRun.h"

#include <qor/Format.h>
#include <qor/GenServices.h>
#include <qor/Texts.h>

#include "runtime/NumberText.h"

#include <cmath>

namespace qor {

namespace {

constexpr int32_t kBlack = 0;

}  // namespace

void ReportRun::RecordLoop() {
    curY_ = kFirstLineY;
    mergeFrom_ = 0;
    while (!rs_->IsEOF()) {
        ++record_;
        PrintRecord();
        rs_->MoveNext();
        SeparatorAndMerge();
        curY_ += kLineHeight;
        if (curY_ >= FlowBottom() && preview_ != 2) {
            NewPage();
            mergeFrom_ = 0;
        }
        if (hasSubTotals_) SubTotalBlock();
    }
}

void ReportRun::PrintRecord() {
    for (int32_t i = 0; i <= lastCol_; ++i) {
        ColumnDef& col = Col(i);
        scratch_.clear();
        try {
            PrintField(i, col);
        } catch (const RuntimeError& e) {
            RethrowAt(e, record_, col, scratch_.empty() ? FieldText(i) : scratch_);
        }
    }
}

std::string ReportRun::FieldText(int32_t i) {
    try {
        const Variant value = rs_->Value(FieldOf(i));
        const Variant::VarType type = value.Type();
        if (type == Variant::VarType::Single || type == Variant::VarType::Double) {
            const double d = value.ToDouble();
            if (std::isnan(d)) return "NaN";
            if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
        }
        return JoinText(value);
    } catch (const RuntimeError&) {
        return {};  // the field cannot be read at all: the error says so itself
    }
}

void ReportRun::RethrowAt(const RuntimeError& error, int64_t record, const ColumnDef& col,
                          std::string_view value) {
    constexpr size_t kShown = 40;  // characters of the value shown
    std::string place = error.Description();
    place += " (";
    if (record > 0) place += "record " + std::to_string(record) + ", ";
    place += "column \"" + col.Caption + "\"";
    if (!col.DataField.empty()) place += " [" + col.DataField + "]";
    if (!value.empty()) {
        place += ", value \"";
        size_t end = 0;
        for (size_t n = 0; end < value.size() && n < kShown; ++n) end += detail::CodePointLength(value, end);
        place.append(value.substr(0, end));
        if (end < value.size()) place += "...";
        place += '"';
    }
    place += ')';
    throw RuntimeError(error.Number(), place);
}

void ReportRun::PrintField(int32_t i, ColumnDef& col) {
    GenServicesObject& services = GenServices();
    rs_->Text(FieldOf(i), scratch_);
    col.Value = Variant(scratch_);

    Variant display;
    if (col.LLGenLib != 0) {
        const double id = static_cast<double>(col.LLGenLib) + services.ToNumber(col.Value).ToDouble();
        display = Variant(GetText(Variant(id)));
    } else {
        display = col.Value;
    }
    if (!col.FFrmt.empty()) display = Variant(Format(display, col.FFrmt));

    if (i >= mergeFrom_) {
        const float x = Anchor(col);
        if (col.PrLeft) {
            std::string text = JoinText(display);
            float width = col.Width - 2;
            Variant fitted(lib_.PrLeft(text, width, col.FontSize, col.FontName, false));
            lib_.PrItem(x, curY_, fitted, col.Frmt, col.Align, col.PrintStyle, col.Style,
                        col.FontSize, col.FontName, col.Color);
        } else {
            lib_.PrItem(x, curY_, display, col.Frmt, col.Align, col.PrintStyle, col.Style,
                        col.FontSize, col.FontName, col.Color);
        }
    }

    if (hasSubTotals_) {
        if (col.SubTotalType == 1) col.SubTotal += services.ToNumber(display).ToDouble();
        else if (col.SubTotalType == 2) col.SubTotal += 1;
    }
    if (col.TotalType == 1) col.Total += services.ToNumber(display).ToDouble();
    else if (col.TotalType == 2) col.Total += 1;
}

void ReportRun::SeparatorAndMerge() {
    const float y = curY_ + kSeparatorDrop;
    if (rs_->IsEOF()) {
        lib_.PrLine(10, y, rightEdge_, y, 1, kBlack);
        return;
    }
    if (r_.MaxMergeCol < 0) {
        mergeFrom_ = 0;
        lib_.PrLine(10, y, rightEdge_, y, 1, kBlack);
        return;
    }
    // The leading columns (up to MaxMergeCol) whose text repeats on the next record are not
    // printed again there. When every column repeats, the next line shows nothing and its
    // separator shrinks to the right edge.
    int32_t j = 0;
    while (j <= r_.MaxMergeCol && j <= lastCol_ && !Differs(j)) ++j;
    float x;
    if (j <= lastCol_) {
        x = Col(j).X;
    } else {
        const ColumnDef& last = Col(lastCol_);
        x = last.X + last.Width;
    }
    const bool lastOnPage = curY_ >= FlowBottom() - kLineHeight;
    lib_.PrLine(x, y, rightEdge_, y, 1, (j == 0 || lastOnPage) ? kBlack : kColorButtonFace);
    mergeFrom_ = j;
}

}  // namespace qor
