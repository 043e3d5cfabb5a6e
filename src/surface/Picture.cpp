#include "qor/Picture.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "qor/RuntimeError.h"
#include "surface/SurfaceState.h"

namespace qor {

namespace {

uint32_t Be16(const unsigned char* p) { return (uint32_t{p[0]} << 8) | p[1]; }
uint32_t Be32(const unsigned char* p) { return (Be16(p) << 16) | Be16(p + 2); }
uint32_t Le32(const unsigned char* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

bool IsJpegBytes(std::string_view b) {
    return b.size() > 3 && static_cast<unsigned char>(b[0]) == 0xFF &&
           static_cast<unsigned char>(b[1]) == 0xD8 && static_cast<unsigned char>(b[2]) == 0xFF;
}

// Components of a baseline or progressive JPEG (0 when the frame header is not found).
int JpegComponents(std::string_view b) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.data());
    size_t n = static_cast<size_t>(b.size()), i = 2;
    while (i + 4 <= n) {
        if (p[i] != 0xFF) return 0;
        unsigned char m = p[i + 1];
        if (m == 0xFF) { ++i; continue; }
        size_t len = Be16(p + i + 2);
        bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof) return i + 9 < n ? p[i + 9] : 0;
        if (m == 0xDA || m == 0xD9) return 0;
        i += 2 + len;
    }
    return 0;
}

// Resolution stored in the file (PNG pHYs, JPEG JFIF, BMP header), 0 when it has none.
void FileDpi(std::string_view b, double& dpiX, double& dpiY) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.data());
    size_t n = static_cast<size_t>(b.size());
    dpiX = dpiY = 0;
    if (n > 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0) {
        for (size_t i = 8; i + 12 <= n;) {
            uint32_t len = Be32(p + i);
            if (std::memcmp(p + i + 4, "pHYs", 4) == 0 && len >= 9 && i + 8 + 9 <= n) {
                if (p[i + 16] == 1) {
                    dpiX = Be32(p + i + 8) * 0.0254;
                    dpiY = Be32(p + i + 12) * 0.0254;
                }
                return;
            }
            if (std::memcmp(p + i + 4, "IDAT", 4) == 0) return;
            i += 12 + static_cast<size_t>(len);
        }
    } else if (IsJpegBytes(b)) {
        if (n > 18 && p[3] == 0xE0 && std::memcmp(p + 6, "JFIF", 5) == 0) {
            double x = Be16(p + 14), y = Be16(p + 16);
            if (p[13] == 1) { dpiX = x; dpiY = y; }
            else if (p[13] == 2) { dpiX = x * 2.54; dpiY = y * 2.54; }
        }
    } else if (n > 46 && p[0] == 'B' && p[1] == 'M') {
        dpiX = Le32(p + 38) * 0.0254;
        dpiY = Le32(p + 42) * 0.0254;
    }
}

Picture Load(std::string_view bytes) {
    auto impl = std::make_shared<Picture::Impl>();
    if (!surface::DecodePicture(bytes, *impl) || impl->width <= 0 || impl->height <= 0)
        throw RuntimeError(kErrInvalidPicture);
    double dx = 0, dy = 0;
    FileDpi(bytes, dx, dy);
    impl->dpiX = dx > 1 ? dx : 96;
    impl->dpiY = dy > 1 ? dy : 96;
    if (IsJpegBytes(bytes)) {
        int c = JpegComponents(bytes);
        if (c == 1 || c == 3) impl->jpeg.assign(bytes);
    }
    return surface::Access::Make(std::move(impl));
}

}  // namespace

Picture::Picture() = default;
Picture::~Picture() = default;
Picture::Picture(const Picture&) = default;
Picture& Picture::operator=(const Picture&) = default;
Picture::Picture(Picture&&) noexcept = default;
Picture& Picture::operator=(Picture&&) noexcept = default;

Picture Picture::FromFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::error_code ec;
    if (!file || std::filesystem::is_directory(path, ec))
        throw RuntimeError(kErrFileNotFound, "File not found: " + path);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) throw RuntimeError(kErrFileNotFound, "File not found: " + path);
    return Load(bytes);
}

Picture Picture::FromBytes(std::string_view bytes) {
    return Load(bytes);
}

bool Picture::IsNull() const { return !impl_; }
int32_t Picture::Width() const { return impl_ ? impl_->width : 0; }
int32_t Picture::Height() const { return impl_ ? impl_->height : 0; }
double Picture::DpiX() const { return impl_ ? impl_->dpiX : 96; }
double Picture::DpiY() const { return impl_ ? impl_->dpiY : 96; }
double Picture::WidthTwips() const { return impl_ ? impl_->width * 1440.0 / impl_->dpiX : 0; }
double Picture::HeightTwips() const {
    return impl_ ? impl_->height * 1440.0 / impl_->dpiY : 0;
}
bool Picture::IsJpeg() const { return impl_ && !impl_->jpeg.empty(); }

}  // namespace qor
