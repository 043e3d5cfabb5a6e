// The state behind a VSPrinter and a Picture, shared by the files of the surface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qor/Picture.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "surface/Records.h"

namespace qor {

// A decoded picture: 8-bit RGBA pixels, rows top to bottom without padding.
struct Picture::Impl {
    int32_t width = 0, height = 0;
    std::string rgba;       // width * height * 4 bytes
    bool grayscale = false; // every pixel grey
    bool grayFile = false;  // decoded as one grey channel (a greyscale JPEG)
    bool alpha = false;     // the file has an alpha channel
    std::string jpeg;       // the original file bytes when it is a JPEG
    double dpiX = 96, dpiY = 96;
};

namespace surface {
// The most pixels a picture file may have (width times height): larger pictures, and
// decompression bombs that claim to be, are refused before their pixels are allocated.
inline constexpr int64_t kMaxPicturePixels = 100'000'000;
// Decodes the picture file `bytes` into `impl`'s pixels and flags; false when they are not a
// picture.
bool DecodePicture(std::string_view bytes, Picture::Impl& impl);
// The same with Qt's image readers, in the window part.
bool DecodePictureWithQt(std::string_view bytes, Picture::Impl& impl);
}  // namespace surface

struct VSPrinter::Impl {
    surface::Document doc;
    bool open = false;

    int32_t paperSize = 9;
    int32_t orientation = 0;
    double marginLeft = 1440, marginRight = 1440, marginTop = 1440, marginBottom = 1440;
    int32_t backColor = 0xFFFFFF;
    bool preview = true, abortWindow = true, autoRtf = false;

    double currentX = 0, currentY = 0;
    FontSpec font;
    int32_t textColor = 0;

    int32_t penStyle = 0, penColor = 0;
    double penWidth = 10;
    int32_t brushStyle = 0, brushColor = 0xFFFFFF;

    surface::PrinterSettings printer;

    // The font last resolved, and what it resolved to.
    FontSpec resolvedSpec;
    bool resolvedValid = false;
    surface::FaceId resolvedFace = 0;

    // The runs of the line measured or drawn last, in face `runsFace`: a text is mostly
    // measured and then drawn, and splitting it into runs is the costly part of both.
    surface::FaceId runsFace = 0;
    bool runsValid = false;
    std::string runsText;
    std::vector<surface::TextRun> runs;

    surface::Page& Current();
    surface::FaceId FaceOf(const FontSpec& fontSpec);
    // The runs of one line of text in `face` and its fallbacks (see ForEachRun).
    const std::vector<surface::TextRun>& RunsOf(surface::FaceId face, std::string_view line);
    void RequireOpen() const;
};

namespace surface {

struct Access {
    static VSPrinter::Impl& Of(VSPrinter& p) { return *p.impl_; }
    static const VSPrinter::Impl& Of(const VSPrinter& p) { return *p.impl_; }
    static const Picture::Impl* Of(const Picture& p) { return p.impl_.get(); }
    static Picture Make(std::shared_ptr<const Picture::Impl> impl) {
        Picture p;
        p.impl_ = std::move(impl);
        return p;
    }
};

}  // namespace surface
}  // namespace qor
