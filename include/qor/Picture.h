// Pictures for the page surface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qor {

namespace surface { struct Access; }

// A Picture is an immutable raster image (PNG, JPEG, BMP, GIF and what else Qt reads) with
// its resolution. Copies share the image. A JPEG keeps its original bytes, so the PDF
// writer embeds it unchanged. A default-constructed Picture is null. Safe to read from
// several threads.
class Picture {
public:
    Picture();
    ~Picture();
    Picture(const Picture&);
    Picture& operator=(const Picture&);
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;

    // Loads the picture file `path`. Throws RuntimeError(53) when the file does not exist
    // or cannot be read, RuntimeError(481) when its content is not a picture, is truncated
    // or has more than 100 megapixels (checked before its pixels are decoded).
    static Picture FromFile(const std::string& path);
    // Reads a picture from the bytes of a picture file. Throws RuntimeError(481) as
    // FromFile does.
    static Picture FromBytes(std::string_view bytes);

    // True for the null picture.
    bool IsNull() const;
    // Size in pixels (0 for the null picture).
    int32_t Width() const;
    int32_t Height() const;
    // Resolution in dots per inch from the file; 96 when the file has none.
    double DpiX() const;
    double DpiY() const;
    // Natural size in twips: pixels at the picture's resolution.
    double WidthTwips() const;
    double HeightTwips() const;
    // True when the picture is a greyscale or RGB JPEG, which PDFs embed unchanged (a CMYK
    // JPEG is decoded and embedded losslessly instead).
    bool IsJpeg() const;

    // Identity: two Pictures are the same when they share one image.
    friend bool operator==(const Picture& a, const Picture& b) { return a.impl_ == b.impl_; }

    // The implementation, opaque outside the library.
    struct Impl;

private:
    friend struct surface::Access;
    std::shared_ptr<const Impl> impl_;
};

}  // namespace qor
