#include "core/Surfaces.h"

#include <qor/PagePainting.h>
#include <qor/VSPrinter.h>

#include <memory>

#include "genlib/WindowPart.h"

namespace qor {

namespace {
thread_local std::unique_ptr<VSPrinter> tPreviewSurface;
thread_local std::unique_ptr<VSPrinter> tTempPrinter;
}  // namespace

VSPrinter& PreviewSurface() {
    if (!tPreviewSurface) tPreviewSurface = std::make_unique<VSPrinter>();
    return *tPreviewSurface;
}

VSPrinter& TempPrinter() {
    if (!tTempPrinter) tTempPrinter = std::make_unique<VSPrinter>();
    return *tTempPrinter;
}

void PaintPage(QPainter& painter, const VSPrinter& document, int32_t page, double pixelsPerTwip) {
    gui::Window().PaintPage(painter, document, page, pixelsPerTwip);
}

}  // namespace qor
