// The column table taken from a data grid: captions, fields, patterns and alignments of
// the grid's columns, widths shared out over the line in whole millimetres.
#include "report/ReportRun.h"

#include <cmath>

#include <qor/RuntimeError.h>

#include "drawing/DrawingSupport.h"

namespace qor {

void ReportRun::ImportGrid() {
    if (!r_.dbGrid_) throw RuntimeError(kErrObjectNotSet);
    const DataGrid& grid = *r_.dbGrid_;
    const auto column = [&](int32_t i) -> const DataGridColumn& {
        if (i < 0 || i >= static_cast<int32_t>(grid.Columns.size())) throw RuntimeError(kErrSubscript);
        return grid.Columns[static_cast<std::size_t>(i)];
    };

    lastCol_ = static_cast<int32_t>(grid.Columns.size()) - 1;
    while (!column(lastCol_).Visible) --lastCol_;

    // The share of the line per twip of grid width (the grid's frame takes 360 twips).
    const float usable = grid.Width - 360.0f;
    float sum = 0;
    for (int32_t i = 0; i <= lastCol_; ++i) {
        const DataGridColumn& source = column(i);
        ColumnDef& col = Col(i);
        col.X = 0;
        col.Value = Variant::Null();
        col.SubTotal = 0;
        col.Total = 0;
        col.Caption = TrimBlanks(source.Caption);
        col.DataField = source.DataField;
        col.PrLeft = source.Width >= 2000;
        col.Frmt = frmtText;
        col.FFrmt = source.NumberFormat;
        col.Align = source.Alignment;
        col.PrintStyle = psNormal;
        col.NoDividerLine = source.DividerStyle == 0;
        col.Style.clear();
        col.FontSize = 9;
        col.FontName = "Arial";
        col.Color = 0;
        col.SubTotalCol = -1;
        col.SubTotalType = 0;
        col.TotalType = 0;
        col.LLGenLib = 0;
        if (source.Merge) r_.MaxMergeCol = i;
        if (i < lastCol_) {
            if (usable == 0) throw RuntimeError(kErrDivisionByZero);
            col.Width = std::floor(source.Width / usable * (rightEdge_ - 10));
            sum += col.Width;
        }
    }
    // The last column takes what is left, so the columns end exactly at the right edge.
    Col(lastCol_).Width = rightEdge_ - sum - 10;
}

}  // namespace qor
