#include "surface/PagePainter.h"

#include <QBuffer>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>

#include "qor/RuntimeError.h"
#include "surface/AtomicFile.h"
#include "surface/Geometry.h"
#include "surface/SurfaceState.h"

namespace qor::surface {

namespace {

QColor Color(uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u)); }

// Raw fonts by face and pixel size, per thread (QRawFont is not shared across threads).
const QRawFont& RawFont(FaceId face, double pixelSize) {
    thread_local std::map<std::pair<FaceId, double>, QRawFont> cache;
    auto key = std::make_pair(face, pixelSize);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() > 512) cache.clear();   // many zoom levels: start over
    const FontFace& f = FontRegistry::Instance().Face(face);
    QByteArray bytes(f.FileBytes().data(), static_cast<qsizetype>(f.FileBytes().size()));
    QRawFont raw;
    raw.loadFromData(bytes, pixelSize, QFont::PreferNoHinting);
    return cache.emplace(key, raw).first->second;
}

QPen PenOf(const ShapeStyle& s) {
    if (s.penStyle == 5) return Qt::NoPen;
    QPen pen(Color(s.penRgb));
    pen.setWidthF(s.penWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    std::vector<double> dash = DashPattern(s.penStyle, s.penWidth);
    if (!dash.empty()) {
        pen.setCapStyle(Qt::FlatCap);
        QList<qreal> pattern;
        const double unit = s.penWidth > 0 ? s.penWidth : 1.0;
        for (double v : dash) pattern.append(v / unit);
        pen.setDashPattern(pattern);
    }
    return pen;
}

// Texts are drawn in the painter's own units (`s` of them a twip) rather than through a
// scaled transform, so that Qt's glyph cache serves them.
void DrawText(QPainter& p, const Document& doc, std::string_view texts, const Record& r, double s) {
    const TextStyle& st = doc.textStyles[r.Style()];
    const DocFont& df = doc.fonts[st.font];
    const FontFace& face = FontRegistry::Instance().Face(df.face);
    const double scale = face.Scale(df.size) * s;
    const std::string_view text = texts.substr(static_cast<uint32_t>(r.v[2]), static_cast<uint32_t>(r.v[3]));
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(static_cast<qsizetype>(text.size()));
    positions.reserve(static_cast<qsizetype>(text.size()));
    int64_t advance = 0;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = NextCodePoint(text, i);
        if (IsControl(cp)) continue;
        uint32_t g = face.Glyph(cp);
        glyphs.append(g);
        positions.append(QPointF(advance * scale, 0));
        advance += face.Advance(g);
    }
    const QColor color = Color(st.rgb);
    if (!glyphs.isEmpty() && (df.syntheticBold || df.syntheticItalic)) {
        // The face lacks the style: its outlines, slanted and stroked as the PDF draws them.
        const QRawFont& raw = RawFont(df.face, df.size * 20.0 * s);
        QPainterPath path;
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            path.addPath(raw.pathForGlyph(glyphs[i]).translated(positions[i]));
        QTransform placed;
        placed.translate(r.v[0] * s, r.v[1] * s);
        if (df.syntheticItalic) placed.shear(-kSyntheticItalicSlant, 0);
        p.save();
        p.setTransform(placed, true);
        p.setPen(df.syntheticBold ? QPen(color, df.size * 20.0 * s * kSyntheticBoldStrokeEm) : QPen(Qt::NoPen));
        p.setBrush(color);
        p.drawPath(path);
        p.restore();
    } else if (!glyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(RawFont(df.face, df.size * 20.0 * s));
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        p.setPen(color);
        p.drawGlyphRun(QPointF(r.v[0] * s, r.v[1] * s), run);
    }
    if (df.underline) {
        Bar b = UnderlineBar(face, df.size, r.v[1]);
        p.fillRect(QRectF(r.v[0] * s, b.top * s, r.v[4] * s, b.thickness * s), color);
    }
    if (df.strikethrough) {
        Bar b = StrikeoutBar(face, df.size, r.v[1]);
        p.fillRect(QRectF(r.v[0] * s, b.top * s, r.v[4] * s, b.thickness * s), color);
    }
}

void DrawShape(QPainter& p, const Document& doc, const Record& r) {
    const ShapeStyle& s = doc.shapeStyles[r.Style()];
    p.setPen(PenOf(s));
    const bool fill = s.fill && r.Kind() != RecordKind::Arc && r.Kind() != RecordKind::Line;
    p.setBrush(fill ? QBrush(Color(s.brushRgb)) : QBrush(Qt::NoBrush));
    if (r.Kind() == RecordKind::Line) {
        if (s.penStyle != 5) p.drawLine(QPointF(r.v[0], r.v[1]), QPointF(r.v[2], r.v[3]));
        return;
    }
    if (r.Kind() == RecordKind::Rectangle && r.v[4] == 0) {
        p.drawRect(QRectF(r.v[0], r.v[1], double(r.v[2]) - r.v[0], double(r.v[3]) - r.v[1]));
        return;
    }
    QPainterPath path;
    for (const PathOp& op : ShapePath(r)) {
        switch (op.kind) {
        case PathOp::Move: path.moveTo(op.x[0], op.y[0]); break;
        case PathOp::Line: path.lineTo(op.x[0], op.y[0]); break;
        case PathOp::Cubic:
            path.cubicTo(op.x[0], op.y[0], op.x[1], op.y[1], op.x[2], op.y[2]);
            break;
        case PathOp::Close: path.closeSubpath(); break;
        }
    }
    p.drawPath(path);
}

void DrawPicture(QPainter& p, const Document& doc, const Record& r) {
    const auto* pic = Access::Of(doc.pictures[r.Style()]);
    if (!pic) return;
    const QImage image(reinterpret_cast<const uchar*>(pic->rgba.data()), pic->width, pic->height,
                       static_cast<qsizetype>(pic->width) * 4,
                       pic->alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    p.drawImage(QRectF(r.v[0], r.v[1], r.v[2], r.v[3]), image);
}

}  // namespace

void PaintPage(QPainter& painter, const VSPrinter& printer, int page, double pixelsPerTwip) {
    const Document& doc = DocumentAsSpilled(printer);
    if (page < 1 || static_cast<size_t>(page) > doc.pages.size()) return;
    Page loaded;
    std::string loadedTexts;
    std::string_view texts;
    const Page& pg = doc.PageToRead(static_cast<size_t>(page - 1), loaded, loadedTexts, texts);
    painter.save();
    const QTransform base = painter.transform();
    QTransform scaled = base;
    scaled.scale(pixelsPerTwip, pixelsPerTwip);
    painter.setTransform(scaled);
    bool inTwips = true;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.fillRect(QRectF(0, 0, pg.width, pg.height), Color(doc.backRgb));
    std::string resolvedText;
    for (const Record& r : pg.records) {
        const bool text = HasText(r);
        if (text == inTwips) {
            painter.setTransform(text ? base : scaled);
            inTwips = !text;
        }
        switch (r.Kind()) {
        case RecordKind::Text: DrawText(painter, doc, texts, r, pixelsPerTwip); break;
        case RecordKind::PageCountText: {
            const Record resolved = ResolvePageCount(doc, r, texts, doc.pages.size(), resolvedText);
            DrawText(painter, doc, resolvedText, resolved, pixelsPerTwip);
            break;
        }
        case RecordKind::Picture: DrawPicture(painter, doc, r); break;
        case RecordKind::Line:
        case RecordKind::Rectangle:
        case RecordKind::Circle:
        case RecordKind::Arc:
        case RecordKind::Pie: DrawShape(painter, doc, r); break;
        }
    }
    painter.restore();
}

// A QGuiApplication for painting when the host program has none (offscreen without display).
void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qorprint";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);   // lives as long as the process
}

}  // namespace qor::surface

namespace qor {

void surface::SavePagePng(const VSPrinter& printer, int32_t page, const std::string& file, double dpi) {
    surface::EnsureGuiApplication();
    const double s = dpi / 1440.0;
    const int w = static_cast<int>(std::ceil(printer.PageWidthOf(page) * s));
    const int h = static_cast<int>(std::ceil(printer.PageHeightOf(page) * s));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    {
        QPainter painter(&image);
        surface::PaintPage(painter, printer, page, s);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw RuntimeError(kErrPathFileAccess, "Cannot encode the PNG page");
    surface::WriteFileAtomically(file, [&](std::FILE* f) {
        if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f) !=
            static_cast<size_t>(bytes.size()))
            throw RuntimeError(kErrPathFileAccess,
                               "Cannot write the file \"" + file + "\": " + std::strerror(errno));
    });
}

}  // namespace qor
