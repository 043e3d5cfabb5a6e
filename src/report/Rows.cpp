// The record loop: one line per record, repeated leading values merged, a separator under
// every line.
#include "report/ReportRun.h"

#include <qor/Format.h>
#include <qor/GenServices.h>
#include <qor/Texts.h>

#include "drawing/ErrorPlace.h"

namespace qor {

namespace {

constexpr int32_t kBlack = 0;

}  // namespace

void ReportRun::RecordLoop() {
    curY_ = kFirstLineY;
    mergeFrom_ = 0;
    while (!rs_->IsEOF()) {
        ++record_;
        if (r_.Outline >= 0 && preview_ != 2) MarkOutline();
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

void ReportRun::CheckOutline() const {
    if (r_.Outline < -1 || r_.Outline > lastCol_ || r_.SubOutline < -1 || r_.SubOutline > lastCol_)
        throw RuntimeError(kErrSubscript, "Outline column outside the report's columns");
    if (r_.SubOutline >= 0 && r_.Outline < 0)
        throw RuntimeError(kErrInvalidCall, "SubOutline needs an Outline column");
}

void ReportRun::MarkOutline() {
    const int32_t columns[] = {r_.Outline, r_.SubOutline};
    bool newAbove = !outlineStarted_;
    outlineStarted_ = true;
    for (size_t level = 0; level < 2 && columns[level] >= 0; ++level) {
        rs_->Text(FieldOf(columns[level]), outlineText_);
        if (!newAbove && outlineText_ == outlineValue_[level]) continue;
        lib_.PrBookmark(outlineText_, curY_, static_cast<int32_t>(level + 1));
        outlineValue_[level].swap(outlineText_);
        newAbove = true;
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
    // Floating values as Infinity or NaN where the text conversion itself fails; anything
    // else as the field's text, so a blob never shows its bytes.
    try {
        const Variant value = rs_->Value(FieldOf(i));
        const Variant::VarType type = value.Type();
        if (type == Variant::VarType::Single || type == Variant::VarType::Double) return ValueText(value);
        std::string text;
        rs_->Text(FieldOf(i), text);
        return text;
    } catch (const RuntimeError&) {
        return {};  // the field cannot be read as text: the error says why
    }
}

void ReportRun::RethrowAt(const RuntimeError& error, int64_t record, const ColumnDef& col,
                          std::string_view value) {
    std::string place = error.Description();
    place += " (";
    if (record > 0) place += "record " + std::to_string(record) + ", ";
    place += "column \"" + col.Caption + "\"";
    if (!col.DataField.empty()) place += " [" + col.DataField + "]";
    if (!value.empty()) place += ", value \"" + Shortened(value) + '"';
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
