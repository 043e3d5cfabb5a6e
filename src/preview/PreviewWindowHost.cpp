// The preview layer's side of the seam through which PrEndDoc shows documents.
#include <qor/Preview.h>

#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include <qor/RuntimeError.h>
#include <qor/VSPDF.h>

#include "core/Desktop.h"
#include "core/Presentation.h"
#include "core/PreviewHost.h"
#include "preview/FrmPreview.h"

namespace qor::preview {

namespace {

class PreviewWindowHost final : public PreviewHost {
public:
    PreviewOutcome ShowModal(VSPrinter& surface, const PreviewRequest& request) override {
        if (!CanShowWindows()) return AnswerUnattended(surface, request);
        // One preview per thread: a second document cannot be shown while one is open.
        if (FrmPreview::Current()) throw RuntimeError(kErrFormShown);
        FrmPreview window(surface);
        window.Prepare(request);
        window.exec();
        return {window.PdfError()};
    }

private:
    // What a user accepting every default does: close at once, or in PDF mode accept the
    // proposed file.
    static PreviewOutcome AnswerUnattended(VSPrinter& surface, const PreviewRequest& request) {
        ModuleState& state = modqorPrintLib();
        if (!request.ShrunkForPdf) {
            state.DocPrinted = false;
            return {};
        }
        return {WritePdfFile(surface, state.PdfExportFile)};
    }
};

PreviewWindowHost& Host() {
    static PreviewWindowHost host;
    return host;
}

// Linked into the shared library whole, this installs the window before main runs.
[[maybe_unused]] const bool kInstalled = (RegisterPreviewHost(&Host()), true);

}  // namespace

}  // namespace qor::preview

namespace qor {

void InstallPreviewWindow() { RegisterPreviewHost(&preview::Host()); }

}  // namespace qor
