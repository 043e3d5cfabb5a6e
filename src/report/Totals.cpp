// Sub-total bands (when a group column changes) and the totals band at the bottom of the
// last page.
#include "report/ReportRun.h"

#include <qor/Texts.h>

#include "drawing/DrawingSupport.h"

namespace qor {

namespace {

constexpr int32_t kBlack = 0;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRuleWidth = 4;

}  // namespace

TextType ReportRun::FigureType(const ColumnDef& col) const {
    if (col.PrintStyle != psNormal)
        return {col.PrintStyle, col.Style + "B", col.FontSize, col.FontName, col.Color};
    return {psBold, "", 9, "Arial", 0};
}

TextType ReportRun::LabelType(const ColumnDef& figure, const ColumnDef& label) const {
    if (figure.PrintStyle != psNormal)
        return {label.PrintStyle, label.Style, label.FontSize, label.FontName, label.Color};
    return {psBold, "", 9, "Arial", 0};
}

void ReportRun::SubTotalBlock() {
    bool started = false;
    float top = 0;
    float bottom = 0;
    for (int32_t i = 0; i <= lastCol_; ++i) {
        ColumnDef& col = Col(i);
        if (col.SubTotalType < 1) continue;
        const bool groupChanged = rs_->IsEOF() || Differs(col.SubTotalCol);
        if (!groupChanged) continue;

        if (!started) {
            // Above a carried-forward band the whole box must fit.
            if (curY_ + (carry_ ? kSubTotalBoxHeight : kLineHeight) > FlowBottom()) NewPage();
            top = curY_ - kSubTotalBoxRise;
            bottom = top + kSubTotalBoxHeight;
            lib_.PrBox(10, top, rightEdge_, bottom, 10, kBlack, kWhite, false, 10);
            curY_ += kSubTotalTextDrop;
            started = true;
        }
        // The rules between the figures span the band's box.
        lib_.PrLine(col.X, top, col.X, bottom, kRuleWidth, kBlack);
        PrintFigure(col, curY_, col.SubTotal, record_);
        col.SubTotal = 0;

        if (i == lastCol_) continue;
        if (col.NoDividerLine) {
            ColumnDef& next = Col(i + 1);
            Variant label = next.Value;
            Print(Anchor(next), curY_, label, next.Frmt, next.Align, LabelType(col, next));
            lib_.PrLine(next.X + next.Width, top, next.X + next.Width, bottom, kRuleWidth, kBlack);
            ++i;  // the neighbour served as the label
        } else {
            lib_.PrLine(col.X + col.Width, top, col.X + col.Width, bottom, kRuleWidth, kBlack);
        }
    }
    if (!started) return;
    curY_ += kSubTotalTextDrop;
    lib_.PrLine(10, curY_ + kSeparatorDrop, rightEdge_, curY_ + kSeparatorDrop, 1, kBlack);
    curY_ += kSubTotalAdvance;
    if (!rs_->IsEOF() && curY_ >= FlowBottom()) {
        NewPage();
        mergeFrom_ = 0;
    }
}

void ReportRun::TotalsBand() {
    bool started = false;
    const float top = bottomEdge_ - kTotalsBandHeight;
    for (int32_t i = 0; i <= lastCol_; ++i) {
        ColumnDef& col = Col(i);
        if (col.TotalType <= 0) continue;
        if (!started) {
            if (curY_ + kLineHeight > bottomEdge_) NewPage();
            lib_.PrBox(10, top, rightEdge_, bottomEdge_, 10, kBlack, kWhite, false, 10);
            curY_ = bottomEdge_ - kTotalsTextRise;
            Variant label(UpperCase(GetText(9596)));
            Print(15, curY_, label, frmtText, alignLeft, FigureType(col));
            started = true;
        }
        lib_.PrLine(col.X, top, col.X, bottomEdge_, kRuleWidth, kBlack);
        PrintFigure(col, curY_, col.Total, 0);

        if (i == lastCol_) continue;
        if (col.NoDividerLine) {
            ColumnDef& next = Col(i + 1);
            Variant label = next.Value;
            // Here a left-aligned neighbour sits on its left edge, without the usual 1 mm.
            Print(Anchor(next, 0), curY_, label, next.Frmt, next.Align, LabelType(col, next));
            lib_.PrLine(next.X + next.Width, top, next.X + next.Width, bottomEdge_, kRuleWidth, kBlack);
            ++i;
        } else {
            lib_.PrLine(col.X + col.Width, top, col.X + col.Width, bottomEdge_, kRuleWidth, kBlack);
        }
    }
}

void ReportRun::CarryBand(float top, int32_t textId) {
    const float bottom = top + kTotalsBandHeight;
    const float y = bottom - kTotalsTextRise;
    bool started = false;
    for (int32_t i = 0; i <= lastCol_; ++i) {
        ColumnDef& col = Col(i);
        if (col.TotalType != 1) continue;
        if (!started) {
            lib_.PrBox(10, top, rightEdge_, bottom, 10, kBlack, kWhite, false, 10);
            Variant label(UpperCase(GetText(textId)));
            Print(15, y, label, frmtText, alignLeft, FigureType(col));
            started = true;
        }
        lib_.PrLine(col.X, top, col.X, bottom, kRuleWidth, kBlack);
        PrintFigure(col, y, col.Total, 0);
        if (i == lastCol_) continue;
        // As in the totals band a column without divider spans its neighbour, which shows
        // no label here: the last record's value means nothing for a running total.
        if (col.NoDividerLine) ++i;
        const ColumnDef& edge = Col(i);
        lib_.PrLine(edge.X + edge.Width, top, edge.X + edge.Width, bottom, kRuleWidth, kBlack);
    }
}

void ReportRun::PrintFigure(const ColumnDef& col, float top, double value, int64_t record) {
    Variant figure(value);
    try {
        Print(Anchor(col), top, figure, col.Frmt, col.Align, FigureType(col));
    } catch (const RuntimeError& e) {
        RethrowAt(e, record, col, JoinText(Variant(value)));
    }
}

}  // namespace qor
