// Draws the pictures of the sample Headers folder with QPainter, so that the sample uses
// artwork of our own: the generic logo Header.16.jpg (the picture of keys without one of
// their own; 44.2 x 26.43 mm at 300 dpi) and Header.A.png, the logo of the sample letter
// (design key "A", 25 x 25 mm). Run by make-pictures.sh; the results are kept in the folder.
#include <cstdio>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace {

constexpr int kDotsPerMeter = 11811;  // 300 dpi

QImage Canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

// A navy band with three rising bars; the lower fifth stays white for the names the generic
// design prints there.
QImage GenericLogo() {
    QImage image = Canvas(522, 312);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(31, 73, 125));
    p.drawRoundedRect(QRectF(8, 8, 506, 220), 28, 28);
    const QColor squares[] = {QColor(155, 187, 89), QColor(247, 150, 70), QColor(192, 80, 77)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(squares[i]);
        p.drawRect(QRectF(60 + i * 140, 150 - i * 50, 90, 90 + i * 50 - 30));
    }
    return image;
}

// Three overlapping rings, as on the sample letter.
QImage RingsLogo() {
    QImage image = Canvas(295, 295);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(31, 73, 125, 200), QColor(192, 80, 77, 200), QColor(155, 187, 89, 200)};
    const QPointF centres[] = {{110, 115}, {185, 115}, {147, 182}};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(colours[i], 17));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centres[i], 68, 68);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Headers");
    const bool ok = GenericLogo().save(folder + "/Header.16.jpg", "JPEG", 90) &&
                    RingsLogo().save(folder + "/Header.A.png", "PNG");
    if (!ok) std::fprintf(stderr, "make_pictures: cannot write into %s\n", qPrintable(folder));
    return ok ? 0 : 1;
}
