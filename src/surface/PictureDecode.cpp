// Decoding picture files with Qt's image readers (PNG, JPEG, BMP, GIF and the formats of the
// installed image plug-ins).
#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "surface/SurfaceState.h"

namespace qor::surface {

namespace {

// What Qt may allocate for one decoded image, in megabytes: kMaxPicturePixels at 8 bytes a
// pixel, the widest format its readers decode to (16-bit RGBA).
constexpr int kAllocationLimitMb = static_cast<int>(kMaxPicturePixels * 8 / (1024 * 1024)) + 1;

bool TooLarge(const QSize& size) {
    return size.isEmpty() || int64_t{size.width()} * size.height() > kMaxPicturePixels;
}

}  // namespace

bool DecodePictureWithQt(std::string_view bytes, Picture::Impl& impl) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(kAllocationLimitMb);
    // The size from the header, where the format gives it without decoding: a picture too
    // large is refused before anything is allocated for its pixels.
    if (const QSize size = reader.size(); size.isValid() && TooLarge(size)) return false;
    QImage image;
    if (!reader.read(&image) || image.isNull() || TooLarge(image.size())) return false;
    impl.width = image.width();
    impl.height = image.height();
    impl.grayscale = image.isGrayscale();
    impl.grayFile = image.format() == QImage::Format_Grayscale8;
    impl.alpha = image.hasAlphaChannel();
    const size_t row = static_cast<size_t>(impl.width) * 4;
    if (image.format() == QImage::Format_RGBA8888 && static_cast<size_t>(image.bytesPerLine()) == row) {
        // Already RGBA, rows without padding: one copy.
        impl.rgba.assign(reinterpret_cast<const char*>(image.constBits()), row * static_cast<size_t>(impl.height));
        return true;
    }
    impl.rgba.resize(row * static_cast<size_t>(impl.height));
    // Converted a band of at most 65536 pixels at a time: QImage::convertToFormat hands larger
    // images to Qt's global thread pool, which every thread decoding a picture would then
    // share and whose locks (futexes inside Qt) ThreadSanitizer cannot see. A band is
    // converted on the calling thread.
    const int band = std::max(1, 65536 / impl.width);
    for (int top = 0; top < impl.height; top += band) {
        const int rows = std::min(band, impl.height - top);
        QImage part(image.constScanLine(top), impl.width, rows, image.bytesPerLine(), image.format());
        part.setColorTable(image.colorTable());
        const QImage rgba = part.convertToFormat(QImage::Format_RGBA8888);
        for (int y = 0; y < rows; ++y)
            std::memcpy(impl.rgba.data() + row * static_cast<size_t>(top + y), rgba.constScanLine(y), row);
    }
    return true;
}

}  // namespace qor::surface
