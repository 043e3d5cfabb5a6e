// The column layout of a data grid, as a report takes it over (clsRapport::SetDBGrid).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

// One column of a data grid.
struct DataGridColumn {
    // Hidden columns at the end of the grid are left out of a report; a hidden column
    // between shown ones is still reported.
    bool Visible = true;
    // Heading; blanks around it are dropped in the report.
    std::string Caption;
    // Name of the record-set field shown in the column.
    std::string DataField;
    // Width in twips (1440 per inch). A column of 2000 twips or more is fitted to its width
    // in the report, with "..." where the text is cut.
    float Width = 1440;
    // Format pattern applied to each cell's text (qor::Format patterns), "" for none.
    std::string NumberFormat;
    // 0 left, 1 right, 2 centre. Another value makes the report fail (RuntimeError(94)).
    int32_t Alignment = 0;
    // 0 no divider line on the column's right edge; any other value draws one. Default 2.
    int32_t DividerStyle = 2;
    // Repeated values of this column are printed only on the first line of their run (the
    // report merges up to the last column marked so).
    bool Merge = false;
};

// A data grid described by its columns and its own width. Any grid a client shows can be
// mirrored in one of these and handed to a report; rows always come from the record set.
struct DataGrid {
    std::vector<DataGridColumn> Columns;
    // Width of the whole grid in twips; the report shares the line among the columns in
    // proportion to their width against this width less 360 twips.
    float Width = 0;
};

}  // namespace qor
