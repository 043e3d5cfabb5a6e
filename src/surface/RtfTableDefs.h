// Row and cell definitions of RTF tables as the control words between \trowd and the row's
// cells describe them. The parser keeps one definition per nesting level; the document
// builder turns a finished row into a row of a QTextTable.
#pragma once

#include <array>
#include <vector>

#include "surface/RtfKeywords.h"

namespace qor::rtf {

enum Side { kTop = 0, kLeft = 1, kBottom = 2, kRight = 3 };

struct BorderDef {
    int style = 0;   // 0 none, 1 single, 2 double, 3 dotted, 4 dashed
    int width = 0;   // twips
    int color = 0;   // colour table index, 0 automatic (black)
};

struct CellDef {
    int right = 0;                        // twips from the left edge of the text area
    std::array<BorderDef, 4> border{};
    std::array<int, 4> padding{-1, -1, -1, -1};  // twips; -1 the row's
    int background = -1, pattern = -1;    // colour table indexes of \clcbpat, \clcfpat
    int shading = 0;                      // \clshdng, hundredths of a percent of `pattern`
    int valign = 0;                       // 0 top, 1 centre, 2 bottom
    bool mergedLeft = false;              // \clmrg: part of the cell to its left
    bool mergedUp = false;                // \clvmrg: part of the cell above
};

struct RowDef {
    int left = 0;     // \trleft, twips
    int gap = 0;      // \trgaph: left and right padding of every cell without its own
    int height = 0;   // \trrh: > 0 at least, < 0 exactly
    bool header = false;
    std::array<int, 4> padding{-1, -1, -1, -1};
    std::vector<CellDef> cells;

    // Reading state: the cell being described and the border the next \brdr* words change.
    CellDef next;
    BorderDef* border = nullptr;

    RowDef() = default;
    RowDef(const RowDef& o) { *this = o; }
    RowDef& operator=(const RowDef& o) {
        left = o.left, gap = o.gap, height = o.height, header = o.header, padding = o.padding;
        cells = o.cells, next = o.next, border = nullptr;
        return *this;
    }

    // Applies a table control word (Kw::Trowd .. Kw::TrPaddF); false for other words.
    bool Apply(Kw kw, int side, bool hasParam, int param);
};

}  // namespace qor::rtf
