// The state behind a VSPrinter and a Picture, shared by the files of the surface.
#pragma once

#include <QByteArray>
#include <QImage>

#include "qor/Picture.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "surface/Records.h"

namespace qor {

struct Picture::Impl {
    QImage image;
    QByteArray jpeg;   // the original file bytes when it is a JPEG
    double dpiX = 96, dpiY = 96;
};

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

    surface::Page& Current();
    surface::FaceId FaceOf(const FontSpec& fontSpec);
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
