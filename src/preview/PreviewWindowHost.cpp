// The preview window shown modally for PrEndDoc and PrResource.
#include "preview/PreviewWindow.h"

#include <qor/RuntimeError.h>

#include "core/PreviewHost.h"
#include "preview/FrmPreview.h"

namespace qor::preview {

PreviewOutcome ShowPreviewWindow(VSPrinter& surface, const PreviewRequest& request) {
    // One preview per thread: a second document cannot be shown while one is open.
    if (FrmPreview::Current()) throw RuntimeError(kErrFormShown);
    FrmPreview window(surface);
    window.Prepare(request);
    window.exec();
    return {window.PdfError()};
}

}  // namespace qor::preview
