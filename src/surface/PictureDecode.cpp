// Decoding picture files with Qt's image readers (PNG, JPEG, BMP, GIF and the formats of the
// installed image plug-ins).
#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <cstring>

#include "surface/SurfaceState.h"

namespace qor::surface {

bool DecodePictureWithQt(std::string_view bytes, Picture::Impl& impl) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    QImage image;
    if (!reader.read(&image) || image.isNull()) return false;
    impl.width = image.width();
    impl.height = image.height();
    impl.grayscale = image.isGrayscale();
    impl.grayFile = image.format() == QImage::Format_Grayscale8;
    impl.alpha = image.hasAlphaChannel();
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const size_t row = static_cast<size_t>(impl.width) * 4;
    impl.rgba.resize(row * static_cast<size_t>(impl.height));
    for (int y = 0; y < impl.height; ++y)
        std::memcpy(impl.rgba.data() + row * static_cast<size_t>(y), rgba.constScanLine(y), row);
    return true;
}

}  // namespace qor::surface
