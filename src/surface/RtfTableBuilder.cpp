// Tables of the RTF document builder: cells are read into documents of their own and moved
// into a QTextTable when their row is complete, on a grid made of every row's cell edges.
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextTable>

#include <cmath>

#include "surface/RtfDocumentBuilder.h"

namespace qor::rtf {
namespace {

constexpr int kMinCellWidth = 15;  // twips: cells never collapse to nothing

QTextFrameFormat::BorderStyle BorderStyleOf(int style) {
    switch (style) {
    case 2: return QTextFrameFormat::BorderStyle_Double;
    case 3: return QTextFrameFormat::BorderStyle_Dotted;
    case 4: return QTextFrameFormat::BorderStyle_Dashed;
    default: return QTextFrameFormat::BorderStyle_Solid;
    }
}

// Marks the empty block the cursor is in as one that Qt keeps beside a table.
void MarkFiller(QTextCursor& cursor) {
    QTextBlockFormat f;
    f.setProperty(kRtfFillerBlock, true);
    cursor.mergeBlockFormat(f);
}

// Paragraphs and tables directly in a flow (not inside its tables).
int TopLevelItems(QTextFrame::iterator it) {
    int n = 0;
    for (; !it.atEnd(); ++it) ++n;
    return n;
}

size_t IndexOf(const std::vector<int>& grid, int edge) {
    return size_t(std::ranges::lower_bound(grid, edge) - grid.begin());
}

}  // namespace

DocumentBuilder::Flow& DocumentBuilder::ParentOf(size_t level) {
    return level <= 1 ? main_ : *tables_[level - 2].cells.back();
}

DocumentBuilder::Flow* DocumentBuilder::Route(const ParaState& para) {
    const int level = para.TableLevel();
    if (level > kRtfMaxTableDepth) {
        warnings_.Add("tables nested deeper than " + std::to_string(kRtfMaxTableDepth) + " left out");
        return nullptr;
    }
    CloseTables(size_t(level));
    while (tables_.size() < size_t(level)) tables_.emplace_back();
    if (level == 0) return &main_;
    for (OpenTable& t : tables_) {
        if (!t.cellOpen) {
            if (t.cells.size() >= size_t(kRtfMaxCells)) {
                warnings_.Add("rows of more than " + std::to_string(kRtfMaxCells) + " cells cut");
                t.cells.pop_back();
            }
            t.cells.push_back(std::make_unique<Flow>(std::make_unique<QTextDocument>()));
            t.cellOpen = true;
        }
    }
    return tables_.back().cells.back().get();
}

void DocumentBuilder::CloseTables(size_t keep) {
    while (tables_.size() > keep) {
        OpenTable& t = tables_.back();
        // A row that never ended (no \row) is kept as it was read.
        if (!t.cells.empty()) CommitRow(t, RowDef{});
        tables_.pop_back();
    }
}

void DocumentBuilder::EndCell(int level, const TextState& state) {
    ParaState para = state.para;
    para.inTable = true;
    para.level = level;
    FlushRun({state.ch, para, state.target});
    Flow* cell = Route(para);
    if (!cell) return;
    if (!cell->needBlock || cell->lastTextPara) FinishFlow(*cell, para);
    tables_.back().cellOpen = false;
}

void DocumentBuilder::EndRow(int level, const RowDef& def, const TextState& state) {
    FlushRun(state);
    if (level > kRtfMaxTableDepth || tables_.size() < size_t(level)) return;
    CloseTables(size_t(level));
    OpenTable& t = tables_.back();
    if (t.cellOpen) {
        // Text after the last \cell belongs to no cell the row defines.
        if (t.cells.size() > def.cells.size()) t.cells.pop_back();
        t.cellOpen = false;
    }
    CommitRow(t, def);
}

void DocumentBuilder::InsertTable(OpenTable& t, Flow& parent) {
    // The table goes into a block of its own; Qt keeps an empty block before it (when it
    // starts its flow) and after it, where the flow continues.
    if (parent.needBlock) {
        parent.cursor.insertBlock(QTextBlockFormat());
        parent.needBlock = false;
    }
    if (parent.cursor.block().length() == 1) MarkFiller(parent.cursor);
    QTextTableFormat tf;
    tf.setBorder(0);
    tf.setCellSpacing(0);
    tf.setCellPadding(0);
    t.table = parent.cursor.insertTable(1, int(t.grid.size()) - 1, tf);
    parent.cursor = t.table->lastCursorPosition();
    parent.cursor.movePosition(QTextCursor::NextBlock);
    parent.cursor.setBlockFormat(QTextBlockFormat());
    MarkFiller(parent.cursor);
    parent.needBlock = false;
    parent.lastTextPara.reset();
}

void DocumentBuilder::MoveCellContent(Flow& cell, const QTextTableCell& target) {
    FinishFlow(cell, ParaState{});
    QTextBlockFormat first = cell.doc->begin().blockFormat();
    const int items = TopLevelItems(cell.doc->rootFrame()->begin());
    QTextCursor at = target.firstCursorPosition();
    MarkFiller(at);
    at.insertFragment(QTextDocumentFragment(cell.doc.get()));
    // Qt either joins the first paragraph to the cell's own block or puts everything after
    // that block. The extra block goes when a paragraph follows it (else it stays as a
    // filler before a table); the first paragraph keeps its own format.
    at = target.firstCursorPosition();
    if (TopLevelItems(target.begin()) > items) {
        QTextCursor next = at;
        if (!next.movePosition(QTextCursor::NextBlock) || next.position() != at.position() + 1 ||
            next.currentFrame() != at.currentFrame() || !(at.currentTable()->cellAt(next.position()) == target))
            return;
        at.deleteChar();
    }
    first.setObjectIndex(at.blockFormat().objectIndex());
    at.setBlockFormat(first);
}

void DocumentBuilder::CommitRow(OpenTable& t, const RowDef& def) {
    std::vector<std::unique_ptr<Flow>> flows = std::move(t.cells);
    t.cells.clear();
    t.cellOpen = false;
    // The row's cells: the defined ones, and one inch more for each cell read beyond them.
    struct Span {
        int left, right;
        CellDef def;
        Flow* flow;
    };
    std::vector<Span> spans;
    int left = def.left;
    const size_t count = std::max(def.cells.size(), flows.size());
    for (size_t i = 0; i < count; ++i) {
        CellDef d = i < def.cells.size() ? def.cells[i] : CellDef{};
        if (i >= def.cells.size()) d.right = (spans.empty() ? left : spans.back().right) + 1440;
        Flow* flow = i < flows.size() ? flows[i].get() : nullptr;
        if (d.mergedLeft && !spans.empty()) {
            left = spans.back().right = std::max(spans.back().right, d.right);
            continue;
        }
        const int right = std::max(d.right, left + kMinCellWidth);
        spans.push_back({left, right, d, flow});
        left = right;
    }
    if (spans.empty()) return;

    std::vector<int> edges{spans.front().left};
    for (const Span& s : spans) edges.push_back(s.right);
    std::vector<int> added;
    for (int e : edges)
        if (!std::ranges::binary_search(t.grid, e)) added.push_back(e);
    if (t.table && (t.grid.size() + added.size() > size_t(kRtfMaxColumns) + 1 || t.table->rows() >= kRtfMaxTableRows)) {
        // Too wide or too long for one grid: the rows go on in a new table.
        t = OpenTable{};
        added = edges;
    }
    Flow& parent = ParentOf(tables_.size());  // `t` is always the innermost table
    if (!t.table) {
        t.grid = edges;
        InsertTable(t, parent);
    } else {
        for (int e : added) {
            const size_t i = IndexOf(t.grid, e);
            if (i == 0) {
                t.table->insertColumns(0, 1);
            } else if (i == t.grid.size()) {
                t.table->appendColumns(1);
            } else {
                // The new column splits column i - 1: cells that covered it cover both halves.
                t.table->insertColumns(int(i), 1);
                for (int r = 0; r < t.table->rows(); ++r) {
                    if (t.table->cellAt(r, int(i)).column() != int(i)) continue;
                    const QTextTableCell l = t.table->cellAt(r, int(i) - 1);
                    if (l.row() == r) t.table->mergeCells(r, l.column(), l.rowSpan(), l.columnSpan() + 1);
                }
            }
            t.grid.insert(t.grid.begin() + long(i), e);
        }
        t.table->appendRows(1);
    }
    const int r = t.table->rows() - 1;

    QTextTableFormat tf = t.table->format();
    QList<QTextLength> widths;
    for (size_t i = 1; i < t.grid.size(); ++i) widths << QTextLength(QTextLength::FixedLength, t.grid[i] - t.grid[i - 1]);
    tf.setColumnWidthConstraints(widths);
    tf.setProperty(kRtfTableLeft, t.grid.front());
    if (def.header && t.headerOpen && r == t.headerRows) {
        ++t.headerRows;
    } else {
        t.headerOpen = false;
    }
    tf.setHeaderRowCount(t.headerRows);
    t.table->setFormat(tf);

    for (const Span& s : spans) {
        const int c0 = int(IndexOf(t.grid, s.left)), span = int(IndexOf(t.grid, s.right)) - c0;
        if (s.def.mergedUp && r > 0) {
            const QTextTableCell above = t.table->cellAt(r - 1, c0);
            if (above.column() == c0 && above.columnSpan() == span) {
                t.table->mergeCells(above.row(), c0, r - above.row() + 1, span);
                continue;
            }
        }
        if (span > 1) t.table->mergeCells(r, c0, 1, span);
        QTextTableCell cell = t.table->cellAt(r, c0);
        QTextTableCellFormat cf;
        const QColor black(Qt::black);
        for (int side = 0; side < 4; ++side) {
            const BorderDef& b = s.def.border[size_t(side)];
            const double width = b.style > 0 ? b.width : 0;
            const QBrush brush(ColorAt(b.color, black));
            const auto style = BorderStyleOf(b.style);
            const int pad = s.def.padding[size_t(side)] >= 0 ? s.def.padding[size_t(side)]
                            : def.padding[size_t(side)] >= 0 ? def.padding[size_t(side)]
                            : side == kLeft || side == kRight ? def.gap : 0;
            switch (side) {
            case kTop: cf.setTopBorder(width), cf.setTopBorderBrush(brush), cf.setTopBorderStyle(style), cf.setTopPadding(pad); break;
            case kLeft: cf.setLeftBorder(width), cf.setLeftBorderBrush(brush), cf.setLeftBorderStyle(style), cf.setLeftPadding(pad); break;
            case kBottom: cf.setBottomBorder(width), cf.setBottomBorderBrush(brush), cf.setBottomBorderStyle(style), cf.setBottomPadding(pad); break;
            default: cf.setRightBorder(width), cf.setRightBorderBrush(brush), cf.setRightBorderStyle(style), cf.setRightPadding(pad); break;
            }
        }
        // Shading: the pattern colour over the background, in the given share.
        if (s.def.background >= 0 || s.def.shading > 0) {
            const QColor bg = ColorAt(s.def.background, Qt::white), fg = ColorAt(s.def.pattern, black);
            const double k = s.def.shading / 10000.0;
            auto mix = [k](int b, int f) { return int(std::lround(b * (1 - k) + f * k)); };
            cf.setBackground(QColor(mix(bg.red(), fg.red()), mix(bg.green(), fg.green()), mix(bg.blue(), fg.blue())));
        }
        cf.setVerticalAlignment(s.def.valign == 1   ? QTextCharFormat::AlignMiddle
                                : s.def.valign == 2 ? QTextCharFormat::AlignBottom
                                                    : QTextCharFormat::AlignTop);
        cf.setProperty(kRtfRowHeight, def.height);
        cell.setFormat(cf);
        if (s.flow) MoveCellContent(*s.flow, cell);
    }
}

}  // namespace qor::rtf
