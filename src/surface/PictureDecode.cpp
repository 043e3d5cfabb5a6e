// Decoding picture files with Qt's image readers (PNG, JPEG, BMP, GIF and the formats of the
// installed image plug-ins).
#include <QBuffer>
#include <QImage>
#include <QImageReader>

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
    image.convertTo(QImage::Format_RGBA8888);  // in place where it can, so one copy less
    if (image.isNull()) return false;
    const size_t row = static_cast<size_t>(impl.width) * 4;
    if (static_cast<size_t>(image.bytesPerLine()) == row) {  // rows without padding: one copy
        impl.rgba.assign(reinterpret_cast<const char*>(image.constBits()), row * static_cast<size_t>(impl.height));
        return true;
    }
    impl.rgba.resize(row * static_cast<size_t>(impl.height));
    for (int y = 0; y < impl.height; ++y)
        std::memcpy(impl.rgba.data() + row * static_cast<size_t>(y), image.constScanLine(y), row);
    return true;
}

}  // namespace qor::surface
