// Outlines of the shape records, shared by the PDF writer and the page painter so that both
// draw exactly the same curves. Coordinates in twips, y down; angles in degrees counted
// counter-clockwise from three o'clock as seen on the page.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "surface/Records.h"

namespace qor::surface {

struct PathOp {
    enum Kind : uint8_t { Move, Line, Cubic, Close } kind;
    double x[3], y[3];   // Move/Line use [0]; Cubic: two controls then the end point
};

inline constexpr double kPi = 3.14159265358979323846;

// Appends an elliptic arc around (cx, cy) from angle a0 sweeping `sweep` degrees
// (positive = counter-clockwise on the page) as cubic pieces of at most 90 degrees.
// `move` starts the path at the arc's start, else it continues with a line to it.
inline void AppendArc(std::vector<PathOp>& ops, double cx, double cy, double rx, double ry,
                      double a0, double sweep, bool move) {
    int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / 90.0 - 1e-9)));
    double step = sweep / pieces * kPi / 180.0;
    double a = a0 * kPi / 180.0;
    double k = 4.0 / 3.0 * std::tan(step / 4.0);
    auto px = [&](double t) { return cx + rx * std::cos(t); };
    auto py = [&](double t) { return cy - ry * std::sin(t); };   // y down
    ops.push_back({move ? PathOp::Move : PathOp::Line, {px(a)}, {py(a)}});
    for (int i = 0; i < pieces; ++i) {
        double b = a + step;
        PathOp c{PathOp::Cubic, {}, {}};
        c.x[0] = px(a) - k * rx * std::sin(a);
        c.y[0] = py(a) - k * ry * std::cos(a);
        c.x[1] = px(b) + k * rx * std::sin(b);
        c.y[1] = py(b) + k * ry * std::cos(b);
        c.x[2] = px(b);
        c.y[2] = py(b);
        ops.push_back(c);
        a = b;
    }
}

// The outline of a shape record (Rectangle with radii, Circle, Arc, Pie). Rectangles
// without radii and Lines need no path and give an empty list.
inline std::vector<PathOp> ShapePath(const Record& r) {
    std::vector<PathOp> ops;
    switch (r.Kind()) {
    case RecordKind::Rectangle: {
        double rx = static_cast<uint32_t>(r.v[4]) & 0xFFFF, ry = static_cast<uint32_t>(r.v[4]) >> 16;
        if (rx == 0) break;
        double l = r.v[0], t = r.v[1], rr = r.v[2], b = r.v[3];
        AppendArc(ops, rr - rx, t + ry, rx, ry, 0, 90, true);
        AppendArc(ops, l + rx, t + ry, rx, ry, 90, 90, false);
        AppendArc(ops, l + rx, b - ry, rx, ry, 180, 90, false);
        AppendArc(ops, rr - rx, b - ry, rx, ry, 270, 90, false);
        ops.push_back({PathOp::Close, {}, {}});
        break;
    }
    case RecordKind::Circle:
        AppendArc(ops, r.v[0], r.v[1], r.v[2], r.v[2], 0, 360, true);
        ops.push_back({PathOp::Close, {}, {}});
        break;
    case RecordKind::Arc:
    case RecordKind::Pie: {
        double from = r.FloatAt(3), sweep = r.FloatAt(4) - from;
        sweep = std::fmod(sweep, 360.0);
        if (sweep <= 0) sweep += 360.0;
        if (r.Kind() == RecordKind::Pie) {
            ops.push_back({PathOp::Move, {double(r.v[0])}, {double(r.v[1])}});
            AppendArc(ops, r.v[0], r.v[1], r.v[2], r.v[2], from, sweep, false);
            ops.push_back({PathOp::Close, {}, {}});
        } else {
            AppendArc(ops, r.v[0], r.v[1], r.v[2], r.v[2], from, sweep, true);
        }
        break;
    }
    case RecordKind::Text:
    case RecordKind::PageCountText:
    case RecordKind::Line:
    case RecordKind::Picture:
        break;
    }
    return ops;
}

// Dash pattern (on, off, ... in twips) of pen style `style` for a pen `width` twips wide;
// empty for solid pens.
inline std::vector<double> DashPattern(int style, double width) {
    double u = std::max(width, 15.0);
    switch (style) {
    case 1: return {4 * u, 2 * u};
    case 2: return {u, u};
    case 3: return {4 * u, 2 * u, u, 2 * u};
    case 4: return {4 * u, 2 * u, u, 2 * u, u, 2 * u};
    default: return {};
    }
}

// Underline and strikeout bars of a text record: top (y down) and thickness in twips.
struct Bar {
    double top, thickness;
};
inline Bar UnderlineBar(const FontFace& f, double sizePt, double baseline) {
    double s = f.Scale(sizePt);
    double th = std::max(1.0, f.Metrics().underlineThickness * s);
    return {baseline - f.Metrics().underlinePosition * s - th / 2, th};
}
inline Bar StrikeoutBar(const FontFace& f, double sizePt, double baseline) {
    double s = f.Scale(sizePt);
    double th = std::max(1.0, f.Metrics().strikeoutThickness * s);
    return {baseline - f.Metrics().strikeoutPosition * s - th / 2, th};
}

}  // namespace qor::surface
