// The record loop: one line per record, repeated leading values merged, a separator under
// every line.
#include "report/ReportRun.h"

#include <qor/Format.h>
#include <qor/GenServices.h>
#include <qor/Texts.h>

namespace qor {

namespace {

constexpr int32_t kBlack = 0;

}  // namespace

void ReportRun::RecordLoop() {
    curY_ = kFirstLineY;
    mergeFrom_ = 0;
    while (!rs_->IsEOF()) {
        PrintRecord();
        rs_->MoveNext();
        SeparatorAndMerge();
        curY_ += kLineHeight;
        if (curY_ >= bottomEdge_ && preview_ != 2) {
            NewPage();
            mergeFrom_ = 0;
        }
        if (hasSubTotals_) SubTotalBlock();
    }
}

void ReportRun::PrintRecord() {
    GenServicesObject& services = GenServices();
    for (int32_t i = 0; i <= lastCol_; ++i) {
        ColumnDef& col = Col(i);
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
    const bool lastOnPage = curY_ >= bottomEdge_ - kLineHeight;
    lib_.PrLine(x, y, rightEdge_, y, 1, (j == 0 || lastOnPage) ? kBlack : kColorButtonFace);
    mergeFrom_ = j;
}

}  // namespace qor
