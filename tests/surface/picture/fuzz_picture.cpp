// libFuzzer entry: the input is a picture file. Picture::FromBytes may throw
// qor::RuntimeError(481) and nothing else; a picture it returns has at most
// kMaxPicturePixels pixels and as many RGBA bytes as its size says.

#include <qor/Picture.h>
#include <qor/RuntimeError.h>

#include "surface/SurfaceState.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace qor::surface {

// What the window part's table gives Picture's loader (src/gui/WindowPart.cpp).
bool DecodePicture(std::string_view bytes, Picture::Impl& impl) { return DecodePictureWithQt(bytes, impl); }

}  // namespace qor::surface

// Qt's readers warn on every damaged file; the warnings only slow the run. Without the JPEG
// plug-in the run would test less than it claims: it stops at once.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    if (!QImageReader::supportedImageFormats().contains("jpeg")) std::abort();
    return 0;
}

// Valid pictures just under the limit decode for seconds by nature (a 43-byte GIF may declare
// 98 megapixels); they say nothing about the loader's checks and would only stall the run.
// Sizes over the limit still go through the loader, which must refuse them.
constexpr int64_t kSlowPixels = 4'000'000;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        const QSize declared = reader.size();
        const int64_t pixels = int64_t{declared.width()} * declared.height();
        if (pixels > kSlowPixels && pixels <= qor::surface::kMaxPicturePixels) return 0;
    }
    try {
        const qor::Picture picture =
            qor::Picture::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
        const int64_t w = picture.Width(), h = picture.Height();
        if (w <= 0 || h <= 0 || w * h > qor::surface::kMaxPicturePixels) std::abort();
        const qor::Picture::Impl* impl = qor::surface::Access::Of(picture);
        if (impl->rgba.size() != static_cast<size_t>(w * h * 4)) std::abort();
    } catch (const qor::RuntimeError& e) {
        if (e.Number() != qor::kErrInvalidPicture) std::abort();
    }
    return 0;
}
