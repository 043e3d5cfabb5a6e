// Picture files: small PNG, JPEG and BMP files load; files whose header claims more than 100
// megapixels (decompression bombs), impossible sizes and truncated files are refused with
// RuntimeError(481) before their pixels are decoded.
#include <qor/Picture.h>
#include <qor/RuntimeError.h>

#include "support/Errors.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qor {
namespace {

std::string Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes.toStdString();
}

QImage Sample(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 20, y * 30, 128));
    return image;
}

void PutBe32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (24 - 8 * i));
}
void PutLe32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string Chunk(const std::string& type, const std::string& data) {
    std::string out(4, '\0');
    PutBe32(out, 0, static_cast<uint32_t>(data.size()));
    std::string body = type + data;
    out += body;
    std::string crc(4, '\0');
    PutBe32(crc, 0, Crc32(body));
    return out + crc;
}

// A one-bit grey PNG of `width` x `height` with a valid header and a few rows of pixels
// (more than enough to make a decoder allocate the whole image), or image data that is not
// a zlib stream when `!rows`.
std::string PngClaiming(uint32_t width, uint32_t height, bool rows = true) {
    std::string ihdr(13, '\0');
    PutBe32(ihdr, 0, width);
    PutBe32(ihdr, 4, height);
    ihdr[8] = 1;  // bit depth
    ihdr[9] = 0;  // grey
    const QByteArray zeros(static_cast<qsizetype>(std::min<uint32_t>(width / 8 + 2, 4096) * 4), '\0');
    const std::string data = rows ? qCompress(zeros).mid(4).toStdString()  // without Qt's length prefix
                                  : std::string("not a zlib stream");
    return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IDAT", data) +
           Chunk("IEND", "");
}

// `jpeg` with the size in its frame header replaced.
std::string JpegClaiming(std::string jpeg, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < jpeg.size();) {
        const auto m = static_cast<unsigned char>(jpeg[i + 1]);
        if (m == 0xC0 || m == 0xC2) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width);
            return jpeg;
        }
        i += 2 + ((static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]));
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

// `bmp` (with a BITMAPINFOHEADER) with the size in its header replaced.
std::string BmpClaiming(std::string bmp, int32_t width, int32_t height) {
    PutLe32(bmp, 18, static_cast<uint32_t>(width));
    PutLe32(bmp, 22, static_cast<uint32_t>(height));
    return bmp;
}

// A GIF of `width` x `height` with one 1 x 1 frame; without its trailer when `!whole`.
std::string Gif(uint16_t width, uint16_t height, bool whole = true) {
    std::string gif = std::string("GIF89a") + char(width & 0xFF) + char(width >> 8) + char(height & 0xFF) +
                      char(height >> 8) + std::string("\x80\x00\x00" "\x00\x00\x00" "\xff\xff\xff", 9);
    gif += std::string("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00" "\x02\x02\x44\x01\x00", 15);
    return whole ? gif + ";" : gif;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Case {
    const char* name;
    std::string bytes;
    int32_t width = 0, height = 0;  // 0: refused
    const char* why = "";           // part of the refusal's description
};

TEST(PictureTest, SizesAndTruncatedFilesAreCheckedBeforeDecoding) {
    const std::string png = Encode(Sample(7, 5), "PNG");
    const std::string jpg = Encode(Sample(16, 9), "JPG");
    const std::string bmp = Encode(Sample(6, 4), "BMP");
    ASSERT_GT(jpg.size(), 100u);
    ASSERT_EQ(bmp.size(), 54u + 4 * 20);  // 24-bit rows of 18 bytes, padded to 20

    const std::vector<Case> cases = {
        {"png", png, 7, 5},
        {"jpeg", jpg, 16, 9},
        {"bmp", bmp, 6, 4},
        {"bmp top-down", BmpClaiming(bmp, 6, -4), 6, 4},
        {"png truncated", png.substr(0, png.size() / 2), 0, 0, "truncated"},
        {"png without its last chunk", png.substr(0, png.size() - 12), 0, 0, "truncated"},
        {"png header only", png.substr(0, 20), 0, 0, "no header"},
        {"png claiming 20000 x 20000", PngClaiming(20000, 20000), 0, 0, "megapixels"},
        {"png one pixel over the limit", PngClaiming(10001, 10000), 0, 0, "megapixels"},
        {"png claiming 2^31 x 1", PngClaiming(0x80000000u, 1), 0, 0, "megapixels"},
        {"png of width 0", PngClaiming(0, 10), 0, 0, "0 x 10"},
        {"jpeg truncated", jpg.substr(0, jpg.size() - 40), 0, 0, "truncated"},
        {"jpeg header only", jpg.substr(0, 30), 0, 0, ""},
        {"jpeg claiming 20000 x 20000", JpegClaiming(jpg, 20000, 20000), 0, 0, "megapixels"},
        {"jpeg of height 0", JpegClaiming(jpg, 16, 0), 0, 0, "16 x 0"},
        {"bmp truncated", bmp.substr(0, bmp.size() - 1), 0, 0, "truncated"},
        {"bmp header only", bmp.substr(0, 30), 0, 0, ""},
        {"bmp claiming 20000 x 20000", BmpClaiming(bmp, 20000, 20000), 0, 0, "megapixels"},
        {"bmp claiming 20000 x -20000", BmpClaiming(bmp, 20000, -20000), 0, 0, "megapixels"},
        {"bmp of negative width", BmpClaiming(bmp, -6, 4), 0, 0, "-6 x 4"},
        {"bmp of height -2^31", BmpClaiming(bmp, 6, INT32_MIN), 0, 0, "megapixels"},
        {"bmp of huge width", BmpClaiming(bmp, INT32_MAX, 1), 0, 0, "megapixels"},
        {"bmp of height 0", BmpClaiming(bmp, 6, 0), 0, 0, "6 x 0"},
        {"gif", Gif(3, 2), 3, 2},
        {"gif without its trailer", Gif(3, 2, false), 0, 0, "truncated"},
        {"gif claiming 20000 x 20000", Gif(20000, 20000), 0, 0, "megapixels"},
        {"gif of width 0", Gif(0, 2), 0, 0, "0 x 2"},
        // Found by fuzz_picture (a timeout): 1190 bytes, a logical screen of 8508 x 11565
        // (98 megapixels) that Qt decoded in 800 MB and 10 seconds, and a frame that is no
        // GIF frame: placed at 35072, 20048 it needs a picture of 38471 x 26714.
        {"gif found by fuzzing", ReadFile(QOR_SOURCE_DIR "/tests/surface/picture/fuzz-found/gif-frame-outside-screen.gif"),
         0, 0, "38471 x 26714 pixels is more than 100 megapixels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.width > 0) {
            const Picture picture = Picture::FromBytes(c.bytes);
            EXPECT_EQ(picture.Width(), c.width);
            EXPECT_EQ(picture.Height(), c.height);
            continue;
        }
        const std::string why = test::ExpectRuntimeError(kErrInvalidPicture, [&] { Picture::FromBytes(c.bytes); });
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
}

// A picture of exactly the limit passes the size check; this one is then refused by the
// decoder for its image data, which is no zlib stream (so nothing large is decoded here).
TEST(PictureTest, ExactlyTheLimitIsNotRefusedForItsSize) {
    const std::string why = test::ExpectRuntimeError(kErrInvalidPicture, [] {
        Picture::FromBytes(PngClaiming(10000, 10000, false));
    });
    EXPECT_EQ(why, RuntimeErrorText(kErrInvalidPicture));
}

}  // namespace
}  // namespace qor
