#include "core/Surfaces.h"

#include <qor/VSPrinter.h>

#include <memory>

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

}  // namespace qor
