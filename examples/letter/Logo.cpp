#include "Logo.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>

qor::Picture MakeLogo() {
    QImage image(240, 240, QImage::Format_ARGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(11811);  // 300 dpi
    image.setDotsPerMeterY(11811);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor colours[] = {QColor(31, 73, 125, 200), QColor(192, 80, 77, 200), QColor(155, 187, 89, 200)};
        const QPointF centres[] = {{90, 95}, {150, 95}, {120, 150}};
        for (int i = 0; i < 3; ++i) {
            painter.setPen(QPen(colours[i], 14));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(centres[i], 55, 55);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return qor::Picture::FromBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
