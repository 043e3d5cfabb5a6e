// Renders pages with every record kind through the page painter (PNG) and through the PDF
// writer (rendered by poppler's pdftoppm), and compares the pictures.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "qor/Picture.h"
#include "qor/RuntimeError.h"
#include "qor/VSPDF.h"
#include "qor/VSPrinter.h"
#include "surface/PagePainter.h"
#include "surface/support/PdfTools.h"

namespace qor {
namespace {

using test::Quote;
using test::Shell;
using test::TempDir;
constexpr double kMm = 1440.0 / 25.4;
constexpr int kDpi = 100;
// Blocks of 2 mm: a 9 pt text moved by 1.5 mm changes a block's mean grey by about 50,
// while the renderers' own differences (anti-aliased versus pixel-snapped hairlines, glyph
// origins rounded to the next pixel) stay below 20.
constexpr double kBlockMm = 2;
constexpr double kBlockLimit = 30;

struct Difference {
    double mean;       // mean absolute difference per channel, 0..255
    double worstBlock; // largest difference of the mean grey of a 2 x 2 mm block
    int worstXMm, worstYMm;   // its top-left corner
};

// Integral image of the grey values: sums over rectangles in constant time.
struct Integral {
    int w, h;
    std::vector<double> s;
    explicit Integral(const QImage& img) : w(img.width()), h(img.height()), s(size_t(w + 1) * (h + 1)) {
        for (int y = 0; y < h; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            double row = 0;
            for (int x = 0; x < w; ++x) {
                row += qGray(line[x]);
                s[size_t(y + 1) * (w + 1) + x + 1] = s[size_t(y) * (w + 1) + x + 1] + row;
            }
        }
    }
    // Mean grey of the rectangle [x0, x1) x [y0, y1), clipped to the image.
    double Mean(int x0, int y0, int x1, int y1) const {
        x0 = std::clamp(x0, 0, w), x1 = std::clamp(x1, 0, w), y0 = std::clamp(y0, 0, h), y1 = std::clamp(y1, 0, h);
        double area = double(x1 - x0) * (y1 - y0);
        if (area <= 0) return 255;
        auto at = [&](int x, int y) { return s[size_t(y) * (w + 1) + x]; };
        return (at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0)) / area;
    }
};

// Compares two renderings of a page. Renderers may round an edge to the neighbouring
// pixel, so each 2 x 2 mm block of `a` is matched against the block of `b` shifted by up to
// one pixel in each direction, and the best match counts.
Difference Compare(const QImage& a0, const QImage& b0) {
    QImage a = a0.convertToFormat(QImage::Format_RGB32), b = b0.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(a.size(), b.size());
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        const QRgb* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* lb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < w; ++x)
            sum += std::abs(qRed(la[x]) - qRed(lb[x])) + std::abs(qGreen(la[x]) - qGreen(lb[x])) +
                   std::abs(qBlue(la[x]) - qBlue(lb[x]));
    }
    const Integral ia(a), ib(b);
    const int block = static_cast<int>(std::lround(kBlockMm * kDpi / 25.4));
    Difference d{sum / (3.0 * w * h), 0, 0, 0};
    for (int y = 0; y < h; y += block) {
        for (int x = 0; x < w; x += block) {
            double ma = ia.Mean(x, y, x + block, y + block), best = 1e9;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    best = std::min(best, std::fabs(ma - ib.Mean(x + dx, y + dy, x + dx + block, y + dy + block)));
            if (best > d.worstBlock) {
                d.worstBlock = best;
                d.worstXMm = static_cast<int>(x * 25.4 / kDpi);
                d.worstYMm = static_cast<int>(y * 25.4 / kDpi);
            }
        }
    }
    return d;
}

// A page of every record kind; `shift` moves one item, for the comparison's own check.
void DrawEveryKind(VSPrinter& p, const Picture& picture, double shift = 0) {
    p.StartDoc();
    p.Font() = FontSpec{"Arial", 9};
    p.CurrentX(15 * kMm);
    p.CurrentY(15 * kMm + shift);
    p.Text("Arial 9 regular: Invoice 2026-0042, total 1.234,50 \xE2\x82\xAC");
    p.Font().Bold = true;
    p.Font().Size = 14;
    p.TextColor(0x0000C0);   // dark red
    p.CurrentX(15 * kMm);
    p.CurrentY(22 * kMm);
    p.Text("Bold 14 in red");
    p.Font() = FontSpec{"Nimbus Sans", 12};   // CFF outlines
    p.CurrentX(110 * kMm);
    p.CurrentY(22 * kMm);
    p.Text("CFF outlines: Nimbus Sans");
    p.Font() = FontSpec{"Times New Roman", 12, false, true, true, false};
    p.TextColor(0x800000);   // navy
    p.CurrentX(15 * kMm);
    p.CurrentY(30 * kMm);
    p.Text("Serif italic underlined");
    p.Font() = FontSpec{"Courier New", 10, false, false, false, true};
    p.TextColor(0);
    p.CurrentX(110 * kMm);
    p.CurrentY(30 * kMm);
    p.Text("Mono struck out");
    p.Font() = FontSpec{"Arial", 20};
    p.CurrentX(15 * kMm);
    p.CurrentY(38 * kMm);
    p.Text("Fallback \xE2\x9C\x93 \xE2\x9C\x94 done");

    p.PenWidth(10);
    p.PenColor(0);
    p.DrawLine(15 * kMm, 50 * kMm, 195 * kMm, 50 * kMm);
    p.PenWidth(40);
    p.PenColor(0x008000);
    p.DrawLine(15 * kMm, 55 * kMm, 100 * kMm, 75 * kMm);
    p.PenWidth(20);
    p.PenColor(0);
    p.PenStyle(1);
    p.DrawLine(110 * kMm, 55 * kMm, 195 * kMm, 55 * kMm);
    p.PenStyle(2);
    p.DrawLine(110 * kMm, 60 * kMm, 195 * kMm, 60 * kMm);
    p.PenStyle(0);

    p.BrushStyle(1);
    p.DrawRectangle(15 * kMm, 85 * kMm, 45 * kMm, 115 * kMm);
    p.BrushStyle(0);
    p.BrushColor(static_cast<int32_t>(0x8000000F));
    p.DrawRectangle(55 * kMm, 85 * kMm, 95 * kMm, 115 * kMm);
    p.BrushColor(0xFFC080);
    p.PenColor(0x800000);
    p.DrawRectangle(105 * kMm, 85 * kMm, 155 * kMm, 115 * kMm, 5 * kMm, 5 * kMm);
    p.BrushStyle(1);
    p.PenStyle(5);
    p.BrushStyle(0);
    p.BrushColor(0x404040);
    p.DrawRectangle(165 * kMm, 85 * kMm, 195 * kMm, 95 * kMm);   // filled, no outline
    p.PenStyle(0);
    p.PenColor(0);

    p.BrushStyle(1);
    p.DrawCircle(35 * kMm, 145 * kMm, 15 * kMm);
    p.DrawCircle(80 * kMm, 145 * kMm, 15 * kMm, 30, 240);
    p.BrushStyle(0);
    p.BrushColor(0x00C0FF);
    p.DrawCircle(125 * kMm, 145 * kMm, 15 * kMm, 90, 0);
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

QImage Poppler(const std::string& pdf, const TempDir& dir) {
    std::string base = dir.File("poppler");
    Shell("pdftoppm -r " + std::to_string(kDpi) + " -png -singlefile " + Quote(pdf) + " " + Quote(base));
    return QImage(QString::fromStdString(base + ".png"));
}

class Golden : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Tests never use a real display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        surface::EnsureGuiApplication();
    }
};

TEST_F(Golden, PainterAndPdfDrawTheSamePage) {
    TempDir dir;
    Picture picture = TestPicture();
    VSPrinter p;
    DrawEveryKind(p, picture);
    std::string pdf = dir.File("page.pdf"), png = dir.File("page.png");
    VSPDF().ConvertDocument(p, pdf);
    EXPECT_TRUE(test::QpdfCheck(pdf));
    p.SavePagePng(1, png, kDpi);
    QImage ours(QString::fromStdString(png));
    QImage theirs = Poppler(pdf, dir);
    ASSERT_FALSE(ours.isNull());
    ASSERT_FALSE(theirs.isNull());
    EXPECT_EQ(ours.size(), QSize(827, 1170));
    Difference d = Compare(ours, theirs);
    EXPECT_LT(d.mean, 2.0);
    EXPECT_LT(d.worstBlock, kBlockLimit) << "at " << d.worstXMm << ", " << d.worstYMm << " mm";
    if (const char* keep = std::getenv("QOR_GOLDEN_KEEP")) {
        ours.save(QString(keep) + "/ours.png");
        theirs.save(QString(keep) + "/poppler.png");
        QImage diff = ours.convertToFormat(QImage::Format_RGB32);
        QImage other = theirs.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < std::min(diff.height(), other.height()); ++y)
            for (int x = 0; x < std::min(diff.width(), other.width()); ++x) {
                int v = 255 - std::min(255, 3 * std::abs(qGray(diff.pixel(x, y)) - qGray(other.pixel(x, y))));
                diff.setPixel(x, y, qRgb(v, v, v));
            }
        diff.save(QString(keep) + "/diff.png");
    }

    // The comparison notices a text moved by 1.5 mm.
    VSPrinter moved;
    DrawEveryKind(moved, picture, 1.5 * kMm);
    std::string movedPdf = dir.File("moved.pdf");
    VSPDF().ConvertDocument(moved, movedPdf);
    EXPECT_TRUE(test::QpdfCheck(movedPdf));
    Difference dm = Compare(ours, Poppler(movedPdf, dir));
    EXPECT_GT(dm.worstBlock, kBlockLimit);
    std::printf("same page: mean %.3f worst block %.2f at %d, %d mm; moved text: mean %.3f worst block %.2f\n",
                d.mean, d.worstBlock, d.worstXMm, d.worstYMm, dm.mean, dm.worstBlock);
}

TEST_F(Golden, BackgroundColourFillsThePageInBothBackends) {
    TempDir dir;
    VSPrinter p;
    p.BackColor(0xE0FFFF);   // light yellow
    p.StartDoc();
    p.CurrentX(2000);
    p.CurrentY(2000);
    p.Text("On a coloured page");
    p.EndDoc();
    std::string pdf = dir.File("bg.pdf"), png = dir.File("bg.png");
    VSPDF().ConvertDocument(p, pdf);
    EXPECT_TRUE(test::QpdfCheck(pdf));
    p.SavePagePng(1, png, kDpi);
    QImage ours(QString::fromStdString(png)), theirs = Poppler(pdf, dir);
    EXPECT_EQ(ours.pixel(5, 5) & 0xFFFFFF, 0xFFFFE0u);
    EXPECT_EQ(theirs.pixel(5, 5) & 0xFFFFFF, 0xFFFFE0u);
    EXPECT_LT(Compare(ours, theirs).worstBlock, kBlockLimit);
}

TEST_F(Golden, PaintPageDrawsAtAnyScaleAndIgnoresBadPages) {
    VSPrinter p;
    DrawEveryKind(p, TestPicture());
    QImage small(200, 283, QImage::Format_RGB32);
    small.fill(Qt::gray);
    {
        QPainter painter(&small);
        surface::PaintPage(painter, p, 0, 0.01);   // no such page: untouched
        surface::PaintPage(painter, p, 2, 0.01);
    }
    EXPECT_EQ(small.pixel(100, 100), QColor(Qt::gray).rgb());
    {
        QPainter painter(&small);
        surface::PaintPage(painter, p, 1, 200.0 / p.PageWidthOf(1));
    }
    EXPECT_EQ(small.pixel(199, 5) & 0xFFFFFF, 0xFFFFFFu);   // paper
    EXPECT_THROW(p.SavePagePng(2, "/tmp/never.png", 96), RuntimeError);
}

}  // namespace
}  // namespace qor
