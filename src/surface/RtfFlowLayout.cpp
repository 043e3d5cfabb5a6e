// Rich text as bands: paragraphs line by line, tables row by row (rows tied by a cell that
// spans them stay together), and the placement of the bands on the pages of a surface.
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

#include "qor/RuntimeError.h"
#include "surface/DocumentAccess.h"
#include "surface/RtfLayout.h"
#include "surface/RtfReader.h"

namespace qor::surface {
namespace {

constexpr double kEpsilon = 0.01;

int32_t ToBgr(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

class FlowLayout {
public:
    FlowLayout(double pageHeight, const FontSpec& font, int32_t color)
        : pageHeight_(std::max(pageHeight, 1440.0)), font_(font), color_(color) {}

    // The blocks and tables from `it` to its end, between `left` and `right`.
    std::vector<RtfBand> Flow(QTextFrame::iterator it, double left, double right, int depth) {
        std::vector<RtfBand> out;
        double gap = 0;  // space after the previous paragraph
        bool first = true;
        for (; !it.atEnd(); ++it) {
            if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
                if (depth >= kRtfMaxTableDepth) continue;
                std::vector<RtfBand> rows = Table(*table, left, right, depth + 1);
                if (!rows.empty()) rows.front().gapBefore += gap;
                gap = 0;
                std::ranges::move(rows, std::back_inserter(out));
                continue;
            }
            const QTextBlock b = it.currentBlock();
            if (!b.isValid() || (b.length() == 1 && b.blockFormat().boolProperty(kRtfFillerBlock))) continue;
            const RtfParagraph para = BreakBlock(b, left, right, font_, color_);
            for (size_t i = 0; i < para.lines.size(); ++i) {
                RtfBand band = Line(para.lines[i]);
                if (i == 0) {
                    band.gapBefore = para.spaceBefore + (first ? 0 : gap);
                    band.pageBreakBefore = para.pageBreakBefore;
                }
                out.push_back(std::move(band));
            }
            gap = para.spaceAfter;
            first = false;
        }
        return out;
    }

private:
    static RtfBand Line(const RtfLine& line) {
        RtfBand band;
        band.height = line.height;
        for (const RtfPiece& p : line.pieces) {
            RtfDraw d;
            d.x = p.x;
            if (p.object) {
                d.kind = p.picture.IsNull() ? RtfDraw::Frame : RtfDraw::Picture;
                d.y = line.ascent - p.height;
                d.x2 = p.x + p.width;
                d.y2 = line.ascent;
                d.picture = p.picture;
            } else {
                d.y = line.ascent - MetricsOf(p.font).ascent;
                d.text = p.text;
                d.font = p.font;
                d.color = p.color;
            }
            band.draws.push_back(std::move(d));
        }
        return band;
    }

    struct Cell {
        QTextTableCell cell;
        QTextTableCellFormat format;
        std::vector<RtfBand> content;
        double contentHeight = 0;  // padding included
    };

    std::vector<RtfBand> Table(QTextTable& table, double left, double right, int depth) {
        const QTextTableFormat tf = table.format();
        std::vector<double> x{left + tf.property(kRtfTableLeft).toDouble()};
        for (const QTextLength& w : tf.columnWidthConstraints()) x.push_back(x.back() + std::max(0.0, w.rawValue()));
        if (int(x.size()) != table.columns() + 1) {
            // Not a table of the reader: equal columns over the whole width.
            x.assign(1, left);
            for (int c = 0; c < table.columns(); ++c) x.push_back(left + (right - left) * (c + 1) / table.columns());
        }
        const int rows = table.rows();
        std::vector<Cell> cells;
        std::vector<double> height(size_t(rows), 0.0);
        std::vector<int> tiedTo(size_t(rows) + 1, 0);  // last row that a cell starting at or above r spans
        for (int r = 0; r < rows; ++r) {
            tiedTo[size_t(r)] = std::max(tiedTo[size_t(r)], r);
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                if (cell.row() != r || cell.column() != c) continue;
                Cell k{cell, cell.format().toTableCellFormat(), {}, 0};
                const double inL = x[size_t(c)] + k.format.leftPadding();
                const double inR = x[size_t(c + cell.columnSpan())] - k.format.rightPadding();
                k.content = Flow(cell.begin(), inL, std::max(inR, inL + 1), depth);
                k.contentHeight = k.format.topPadding() + k.format.bottomPadding();
                for (const RtfBand& b : k.content) k.contentHeight += b.gapBefore + b.height;
                const double rh = k.format.property(kRtfRowHeight).toDouble();
                height[size_t(r)] = std::max(height[size_t(r)], rh < 0 ? -rh : rh);
                if (rh >= 0 && cell.rowSpan() == 1) height[size_t(r)] = std::max(height[size_t(r)], k.contentHeight);
                const int last = std::min(rows - 1, r + cell.rowSpan() - 1);
                tiedTo[size_t(r)] = std::max(tiedTo[size_t(r)], last);
                cells.push_back(std::move(k));
            }
        }
        // A cell spanning rows that needs more room makes its last row taller.
        for (const Cell& k : cells) {
            const int r0 = k.cell.row(), r1 = std::min(rows - 1, r0 + k.cell.rowSpan() - 1);
            double h = 0;
            for (int r = r0; r <= r1; ++r) h += height[size_t(r)];
            if (h < k.contentHeight) height[size_t(r1)] += k.contentHeight - h;
        }

        // Units of rows that no cell crosses.
        std::vector<RtfBand> out;
        std::shared_ptr<std::vector<RtfBand>> header;
        const int headerRows = std::clamp(tf.headerRowCount(), 0, rows);
        for (int r = 0; r < rows;) {
            int last = r;
            for (int k = r; k <= last; ++k) last = std::max(last, tiedTo[size_t(k)]);
            std::vector<double> top(size_t(last - r + 2), 0.0);
            for (int k = r; k <= last; ++k) top[size_t(k - r + 1)] = top[size_t(k - r)] + height[size_t(k)];
            RtfBand unit;
            unit.height = top.back();
            for (const Cell& k : cells)
                if (k.cell.row() >= r && k.cell.row() <= last) DrawCell(k, x, top, r, unit);
            std::vector<RtfBand> pieces = Split(std::move(unit));
            const bool inHeader = last < headerRows;
            for (RtfBand& p : pieces) {
                if (inHeader) {
                    if (!header) header = std::make_shared<std::vector<RtfBand>>();
                    header->push_back(p);
                } else if (depth == 1) {
                    p.header = header;
                }
                out.push_back(std::move(p));
            }
            r = last + 1;
        }
        return out;
    }

    void DrawCell(const Cell& k, const std::vector<double>& x, const std::vector<double>& top, int firstRow,
                  RtfBand& unit) const {
        const int r = k.cell.row() - firstRow;
        const int span = std::min<int>(k.cell.rowSpan(), int(top.size()) - 1 - r);
        const double x0 = x[size_t(k.cell.column())], x1 = x[size_t(k.cell.column() + k.cell.columnSpan())];
        const double y0 = top[size_t(r)], y1 = top[size_t(r + span)];
        if (k.format.hasProperty(QTextFormat::BackgroundBrush)) {
            RtfDraw fill;
            fill.kind = RtfDraw::Fill;
            fill.x = x0, fill.y = y0, fill.x2 = x1, fill.y2 = y1;
            fill.color = ToBgr(k.format.background().color());
            unit.draws.push_back(fill);
        }
        // Content, moved down by the padding and the vertical alignment.
        const auto align = k.format.verticalAlignment();
        const double room = (y1 - y0) - k.contentHeight;
        double y = y0 + k.format.topPadding() +
                   (align == QTextCharFormat::AlignMiddle ? room / 2 : align == QTextCharFormat::AlignBottom ? room : 0);
        for (const RtfBand& b : k.content) {
            y += b.gapBefore;
            for (RtfDraw d : b.draws) {
                d.y += y;
                d.y2 += y;
                d.anchor = y;  // a cell's lines (or a nested table's rows) are where it may be cut
                unit.draws.push_back(std::move(d));
            }
            y += b.height;
        }
        struct Edge {
            double width;
            QBrush brush;
            QTextFrameFormat::BorderStyle style;
            double ax, ay, bx, by;
        };
        const Edge edges[] = {
            {k.format.topBorder(), k.format.topBorderBrush(), k.format.topBorderStyle(), x0, y0, x1, y0},
            {k.format.leftBorder(), k.format.leftBorderBrush(), k.format.leftBorderStyle(), x0, y0, x0, y1},
            {k.format.bottomBorder(), k.format.bottomBorderBrush(), k.format.bottomBorderStyle(), x0, y1, x1, y1},
            {k.format.rightBorder(), k.format.rightBorderBrush(), k.format.rightBorderStyle(), x1, y0, x1, y1},
        };
        for (const Edge& e : edges) {
            if (e.width <= 0 || e.style == QTextFrameFormat::BorderStyle_None) continue;
            RtfDraw line;
            line.kind = RtfDraw::Line;
            line.x = e.ax, line.y = e.ay, line.x2 = e.bx, line.y2 = e.by;
            line.penWidth = e.width;
            line.penStyle = e.style == QTextFrameFormat::BorderStyle_Dotted   ? 2
                            : e.style == QTextFrameFormat::BorderStyle_Dashed ? 1
                                                                              : 0;
            line.color = ToBgr(e.brush.color());
            unit.draws.push_back(line);
        }
    }

    // Cuts a unit taller than a page into pieces at the tops of its lines; fills and
    // vertical borders go on in every piece.
    std::vector<RtfBand> Split(RtfBand unit) const {
        if (unit.height <= pageHeight_ + kEpsilon) return {std::move(unit)};
        std::vector<double> cuts;
        for (const RtfDraw& d : unit.draws)
            if (d.kind == RtfDraw::Text || d.kind == RtfDraw::Picture || d.kind == RtfDraw::Frame) cuts.push_back(d.anchor);
        std::ranges::sort(cuts);
        std::vector<RtfBand> out;
        for (double start = 0; start < unit.height - kEpsilon;) {
            double end = start + pageHeight_;
            if (end < unit.height - kEpsilon) {
                auto it = std::ranges::upper_bound(cuts, end);
                if (it != cuts.begin() && *std::prev(it) > start + kEpsilon) end = *std::prev(it);
            } else {
                end = unit.height;
            }
            RtfBand piece;
            piece.height = end - start;
            for (const RtfDraw& d : unit.draws) {
                RtfDraw c = d;
                const bool content = d.kind == RtfDraw::Text || d.kind == RtfDraw::Picture || d.kind == RtfDraw::Frame;
                if (content) {
                    if (d.anchor < start - kEpsilon || d.anchor >= end - kEpsilon) continue;
                } else if (d.kind == RtfDraw::Line && d.y == d.y2) {
                    if (d.y < start - kEpsilon || d.y > end + kEpsilon) continue;
                } else {
                    if (std::max(d.y, d.y2) <= start || std::min(d.y, d.y2) >= end) continue;
                    c.y = std::max(std::min(d.y, d.y2), start);
                    c.y2 = std::min(std::max(d.y, d.y2), end);
                }
                c.y -= start;
                c.y2 -= start;
                c.anchor -= start;
                piece.draws.push_back(std::move(c));
            }
            out.push_back(std::move(piece));
            start = end;
        }
        return out;
    }

    double pageHeight_;
    FontSpec font_;
    int32_t color_;
};

// Draws the records of one band whose top is at `top`.
void DrawBand(VSPrinter& printer, const RtfBand& band, double top) {
    for (const RtfDraw& d : band.draws) {
        switch (d.kind) {
        case RtfDraw::Text: AppendText(printer, d.x, top + d.y, d.text, d.font, d.color); break;
        case RtfDraw::Picture: printer.DrawPicture(d.picture, d.x, top + d.y, d.x2 - d.x, d.y2 - d.y); break;
        case RtfDraw::Frame:
            printer.PenStyle(0);
            printer.PenWidth(0);
            printer.PenColor(0x808080);
            printer.BrushStyle(1);
            printer.DrawRectangle(d.x, top + d.y, d.x2, top + d.y2);
            break;
        case RtfDraw::Fill:
            printer.PenStyle(5);
            printer.BrushStyle(0);
            printer.BrushColor(d.color);
            printer.DrawRectangle(d.x, top + d.y, d.x2, top + d.y2);
            break;
        case RtfDraw::Line:
            printer.PenStyle(d.penStyle);
            printer.PenWidth(d.penWidth);
            printer.PenColor(d.color);
            printer.DrawLine(d.x, top + d.y, d.x2, top + d.y2);
            break;
        }
    }
}

}  // namespace

std::vector<RtfBand> LayOutRichText(const QTextDocument& doc, double left, double right, double pageHeight,
                                    const FontSpec& defaultFont, int32_t defaultColor) {
    if (doc.isEmpty()) return {};
    if (!(right > left)) right = left + 1440;
    return FlowLayout(pageHeight, defaultFont, defaultColor).Flow(doc.rootFrame()->begin(), left, right, 0);
}

void PlaceBands(VSPrinter& printer, const std::vector<RtfBand>& bands) {
    if (!printer.IsDocOpen()) throw RuntimeError(kErrInvalidCall);
    const int32_t penStyle = printer.PenStyle(), penColor = printer.PenColor();
    const int32_t brushStyle = printer.BrushStyle(), brushColor = printer.BrushColor();
    const double penWidth = printer.PenWidth();
    double y = printer.CurrentY();
    // A band always goes on a page that has nothing yet, however tall it is.
    bool fresh = y <= printer.MarginTop() + kEpsilon;
    auto newPage = [&] {
        printer.NewPage();
        y = printer.CurrentY();
        fresh = true;
    };
    for (const RtfBand& band : bands) {
        if (band.pageBreakBefore && !fresh) newPage();
        y += band.gapBefore;
        const double bottom = printer.PageHeight() - printer.MarginBottom();
        if (!fresh && y + band.height > bottom + kEpsilon) {
            newPage();
            if (band.header)
                for (const RtfBand& h : *band.header) {
                    DrawBand(printer, h, y);
                    y += h.height;
                }
        }
        DrawBand(printer, band, y);
        y += band.height;
        fresh = false;
    }
    printer.PenStyle(penStyle);
    printer.PenColor(penColor);
    printer.PenWidth(penWidth);
    printer.BrushStyle(brushStyle);
    printer.BrushColor(brushColor);
    printer.CurrentY(y);
}

}  // namespace qor::surface
