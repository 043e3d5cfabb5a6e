#include "qor/Picture.h"

#include <algorithm>
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
uint32_t Le16(const unsigned char* p) { return uint32_t{p[0]} | (uint32_t{p[1]} << 8); }
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

[[noreturn]] void Refuse(const std::string& why) {
    throw RuntimeError(kErrInvalidPicture, RuntimeErrorText(kErrInvalidPicture) + ": " + why);
}

// Refuses a size of zero, a negative one, and one of more than kMaxPicturePixels.
void CheckSize(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) Refuse("its size is " + std::to_string(width) + " x " + std::to_string(height));
    if (width > surface::kMaxPicturePixels || height > surface::kMaxPicturePixels ||
        width * height > surface::kMaxPicturePixels)
        Refuse(std::to_string(width) + " x " + std::to_string(height) + " pixels is more than " +
               std::to_string(surface::kMaxPicturePixels / 1'000'000) + " megapixels");
}

// PNG: the IHDR size, and every chunk whole up to IEND.
void CheckPng(const unsigned char* p, size_t n) {
    if (n < 33 || std::memcmp(p + 12, "IHDR", 4) != 0) Refuse("the PNG file has no header");
    CheckSize(Be32(p + 16), Be32(p + 20));
    for (size_t i = 8; i + 12 <= n;) {
        const size_t len = Be32(p + i);
        if (len > n - i - 12) break;
        if (std::memcmp(p + i + 4, "IEND", 4) == 0) return;
        i += 12 + len;
    }
    Refuse("the PNG file is truncated");
}

// JPEG: the frame size, and an end-of-image marker after the first scan.
void CheckJpeg(const unsigned char* p, size_t n) {
    bool sized = false;
    size_t i = 2;
    while (i + 4 <= n) {
        if (p[i] != 0xFF) Refuse("the JPEG file is damaged");
        const unsigned char m = p[i + 1];
        if (m == 0xFF) { ++i; continue; }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) { i += 2; continue; }
        if (m == 0xD9) break;
        if (m == 0xDA) {
            if (!sized) break;
            for (size_t k = i + 2; k + 1 < n; ++k)
                if (p[k] == 0xFF && p[k + 1] == 0xD9) return;
            Refuse("the JPEG file is truncated");
        }
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof) {
            if (i + 9 > n) break;
            CheckSize(Be16(p + i + 7), Be16(p + i + 5));
            sized = true;
        }
        i += 2 + Be16(p + i + 2);
    }
    Refuse(sized ? "the JPEG file is truncated" : "the JPEG file has no frame header");
}

// BMP: the header size (rows bottom-up when the height is positive, top-down when negative),
// and, for uncompressed rows, all of them in the file.
void CheckBmp(const unsigned char* p, size_t n) {
    if (n < 26) Refuse("the BMP file is truncated");
    const uint32_t header = Le32(p + 14);
    int64_t width = 0, height = 0, bits = 0, compression = 0;
    if (header == 12) {
        width = Le16(p + 18);
        height = Le16(p + 20);
        if (n < 26) Refuse("the BMP file is truncated");
        bits = Le16(p + 24);
    } else {
        if (header < 40 || n < 54) Refuse("the BMP file has no header");
        width = static_cast<int32_t>(Le32(p + 18));
        height = static_cast<int32_t>(Le32(p + 22));
        bits = Le16(p + 28);
        compression = Le32(p + 30);
        if (height < 0) height = -height;
    }
    CheckSize(width, height);
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (uncompressed && bits >= 1 && bits <= 32) {
        const int64_t row = (width * bits + 31) / 32 * 4;
        const int64_t end = int64_t{Le32(p + 10)} + row * height;
        if (end > static_cast<int64_t>(n)) Refuse("the BMP file is truncated");
    }
}

// GIF: the logical screen and every frame within the size limit, and the blocks whole up to
// the trailer.
void CheckGif(const unsigned char* p, size_t n) {
    if (n < 13) Refuse("the GIF file is truncated");
    const uint32_t screenWidth = Le16(p + 6), screenHeight = Le16(p + 8);
    CheckSize(screenWidth, screenHeight);
    const auto colorTable = [](unsigned char flags) -> size_t { return flags & 0x80 ? size_t{3} << ((flags & 7) + 1) : 0; };
    // Skips the data sub-blocks at `i` and their terminator; false when the file ends first.
    const auto subBlocks = [p, n](size_t& i) {
        while (i < n) {
            const size_t len = p[i++];
            if (len == 0) return true;
            i += len;
        }
        return false;
    };
    bool frame = false;
    for (size_t i = 13 + colorTable(p[10]); i < n;) {
        if (p[i] == 0x3B) {
            if (!frame) Refuse("the GIF file has no image");
            return;
        }
        if (p[i] == 0x21) {  // extension: label, then sub-blocks
            i += 2;
            if (!subBlocks(i)) break;
        } else if (p[i] == 0x2C) {  // image: descriptor, colour table, code size, sub-blocks
            if (i + 10 > n) break;
            CheckSize(std::max(screenWidth, Le16(p + i + 1) + Le16(p + i + 5)),
                      std::max(screenHeight, Le16(p + i + 3) + Le16(p + i + 7)));
            i += 10 + colorTable(p[i + 9]) + 1;
            if (!subBlocks(i)) break;
            frame = true;
        } else {
            Refuse("the GIF file is damaged");
        }
    }
    Refuse("the GIF file is truncated");
}

// Checks what the file's header says before any pixel is decoded: the size and, where the
// format shows it without decoding, that the file is whole. Throws RuntimeError(481).
void CheckHeader(std::string_view b) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.data());
    const size_t n = b.size();
    if (n >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0) CheckPng(p, n);
    else if (IsJpegBytes(b)) CheckJpeg(p, n);
    else if (n >= 2 && p[0] == 'B' && p[1] == 'M') CheckBmp(p, n);
    else if (n >= 6 && (std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0)) CheckGif(p, n);
}

Picture Load(std::string_view bytes) {
    CheckHeader(bytes);
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
