// Renders pages with every record kind through the page painter (PNG) and through the PDF
// writer (rendered by poppler's pdftoppm), and compares the pictures.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "qor/Picture.h"
#include "qor/RuntimeError.h"
#include "qor/VSPDF.h"
#include "qor/VSPrinter.h"
#include "surface/PagePainter.h"
#include "support/Files.h"
#include "support/Pdf.h"

namespace qor {
namespace {

using test::TempDir;
constexpr double kMm = test::kTwipsPerMm;
constexpr int kDpi = 100;
// Blocks of 2 mm: a 9 pt text moved by 1.5 mm changes a block's mean grey by about 50,
// while the renderers' own differences (anti-aliased versus pixel-snapped hairlines, glyph
// origins rounded to the next pixel) stay below 20.
constexpr double kBlockMm = 2;
constexpr double kBlockLimit = 30;

struct Difference {
    double worstBlock;        // largest difference of the mean grey of a 2 x 2 mm block
    int worstXMm, worstYMm;   // its top-left corner
};

// Mean grey of the block at (x, y), `size` pixels square, clipped to the image.
double MeanGrey(const QImage& img, int x0, int y0, int size) {
    double sum = 0;
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y0 + size, img.height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x0 + size, img.width()); ++x, ++n) sum += qGray(img.pixel(x, y));
    return n ? sum / n : 255;
}

// Compares two renderings of a page. Renderers may round an edge to the neighbouring
// pixel, so each 2 x 2 mm block of `a` is matched against the block of `b` shifted by up to
// one pixel in each direction, and the best match counts.
Difference Compare(const QImage& a, const QImage& b) {
    EXPECT_EQ(a.size(), b.size());
    const int block = static_cast<int>(std::lround(kBlockMm * kDpi / 25.4));
    Difference d{0, 0, 0};
    for (int y = 0; y < a.height(); y += block) {
        for (int x = 0; x < a.width(); x += block) {
            double ma = MeanGrey(a, x, y, block), best = 1e9;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    best = std::min(best, std::fabs(ma - MeanGrey(b, x + dx, y + dy, block)));
            if (best > d.worstBlock) d = {best, static_cast<int>(x * 25.4 / kDpi), static_cast<int>(y * 25.4 / kDpi)};
        }
    }
    return d;
}

// A page of every record kind; `shift` moves one item, for the comparison's own check.
void DrawEveryKind(VSPrinter& p, const Picture& picture, double shift = 0) {
    auto text = [&](const FontSpec& font, int32_t color, double xMm, double yMm, const char* s) {
        p.Font() = font;
        p.TextColor(color);
        p.CurrentX(xMm * kMm);
        p.CurrentY(yMm * kMm);
        p.Text(s);
    };
    auto pen = [&](int width, int32_t color, int style) {
        p.PenWidth(width);
        p.PenColor(color);
        p.PenStyle(style);
    };
    auto line = [&](int width, int32_t color, int style, double x1, double y1, double x2, double y2) {
        pen(width, color, style);
        p.DrawLine(x1 * kMm, y1 * kMm, x2 * kMm, y2 * kMm);
    };
    p.BackColor(0xE0FFFF);   // light yellow paper
    p.StartDoc();
    text({"Arial", 9}, 0, 15, 15 + shift / kMm, "Arial 9 regular: Invoice 2026-0042, total 1.234,50 \xE2\x82\xAC");
    text({"Arial", 14, true}, 0x0000C0, 15, 22, "Bold 14 in red");
    text({"Nimbus Sans", 12}, 0, 110, 22, "CFF outlines: Nimbus Sans");
    text({"Times New Roman", 12, false, true, true, false}, 0x800000, 15, 30, "Serif italic underlined");
    text({"Courier New", 10, false, false, false, true}, 0, 110, 30, "Mono struck out");
    text({"Arial", 20}, 0, 15, 38, "Fallback \xE2\x9C\x93 \xE2\x9C\x94 done");

    line(10, 0, 0, 15, 50, 195, 50);
    line(40, 0x008000, 0, 15, 55, 100, 75);
    line(20, 0, 1, 110, 55, 195, 55);   // dashed
    line(20, 0, 2, 110, 60, 195, 60);   // dotted

    pen(20, 0, 0);
    p.BrushStyle(1);   // transparent
    p.DrawRectangle(15 * kMm, 85 * kMm, 45 * kMm, 115 * kMm);
    p.BrushStyle(0);   // solid, in a system colour, then in a plain one
    p.BrushColor(static_cast<int32_t>(0x8000000F));
    p.DrawRectangle(55 * kMm, 85 * kMm, 95 * kMm, 115 * kMm);
    p.BrushColor(0xFFC080);
    pen(20, 0x800000, 0);
    p.DrawRectangle(105 * kMm, 85 * kMm, 155 * kMm, 115 * kMm, 5 * kMm, 5 * kMm);
    pen(20, 0, 5);
    p.BrushColor(0x404040);
    p.DrawRectangle(165 * kMm, 85 * kMm, 195 * kMm, 95 * kMm);   // filled, no outline
    pen(20, 0, 0);

    p.BrushStyle(1);
    p.DrawCircle(35 * kMm, 145 * kMm, 15 * kMm);
    p.DrawCircle(80 * kMm, 145 * kMm, 15 * kMm, 30, 240);         // open arc
    p.BrushStyle(0);
    p.BrushColor(0x00C0FF);
    p.DrawCircle(125 * kMm, 145 * kMm, 15 * kMm, 90, 0);          // pie
    p.DrawCircle(170 * kMm, 145 * kMm, 15 * kMm);

    p.DrawPicture(picture, 15 * kMm, 175 * kMm, 60 * kMm, 40 * kMm);
    p.DrawPicture(picture, 90 * kMm, 175 * kMm);
    p.EndDoc();
}

Picture TestPicture() {
    QImage img(120, 80, QImage::Format_RGB32);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            img.setPixel(x, y, (x / 20 + y / 20) % 2 ? qRgb(20, 60, 200) : qRgb(250, 220, 40));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return Picture::FromBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

QImage Poppler(const std::string& pdf, const TempDir& dir) {  // page 1 rendered by pdftoppm
    return QImage(QString::fromStdString(test::RenderPage(pdf, 1, kDpi, dir.File("poppler"))));
}

TEST(Golden, PainterAndPdfDrawTheSamePage) {
    surface::EnsureGuiApplication();   // offscreen without a display
    TempDir dir;
    Picture picture = TestPicture();
    VSPrinter p;
    DrawEveryKind(p, picture);
    std::string pdf = dir.File("page.pdf"), png = dir.File("page.png");
    VSPDF().ConvertDocument(p, pdf);
    EXPECT_TRUE(test::QpdfCheck(pdf));
    p.SavePagePng(1, png, kDpi);
    QImage ours(QString::fromStdString(png)), theirs = Poppler(pdf, dir);
    EXPECT_EQ(ours.size(), QSize(827, 1170));
    EXPECT_EQ(ours.pixel(5, 5) & 0xFFFFFF, 0xFFFFE0u);  // the paper colour
    Difference d = Compare(ours, theirs);
    EXPECT_LT(d.worstBlock, kBlockLimit) << "at " << d.worstXMm << ", " << d.worstYMm << " mm";
    // The comparison notices a text moved by 1.5 mm.
    VSPrinter moved;
    DrawEveryKind(moved, picture, 1.5 * kMm);
    std::string movedPdf = dir.File("moved.pdf");
    VSPDF().ConvertDocument(moved, movedPdf);
    Difference dm = Compare(ours, Poppler(movedPdf, dir));
    EXPECT_GT(dm.worstBlock, kBlockLimit);
}

TEST(Golden, RichTextTableDrawsTheSameOnBothBackends) {
    surface::EnsureGuiApplication();
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    p.PrintFile(QOR_FIXTURES_DIR "/rtf/table-3x4.rtf");
    p.EndDoc();
    const std::string pdf = dir.File("table.pdf"), png = dir.File("table.png");
    VSPDF().ConvertDocument(p, pdf);
    p.SavePagePng(1, png, kDpi);
    const Difference d = Compare(QImage(QString::fromStdString(png)), Poppler(pdf, dir));
    EXPECT_LT(d.worstBlock, kBlockLimit) << "at " << d.worstXMm << ", " << d.worstYMm << " mm";
}

}  // namespace
}  // namespace qor
