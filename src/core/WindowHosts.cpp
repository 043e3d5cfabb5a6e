// The seams through which the lifecycle reaches windows, as the shared library installs them:
// where no window may be shown they answer on the spot; otherwise they open the window part.
#include <qor/Preview.h>

#include "core/Desktop.h"
#include "core/ModuleState.h"
#include "core/Presentation.h"
#include "core/PreviewHost.h"
#include "genlib/WindowPart.h"
#include "surface/PrintProgress.h"

namespace qor {

namespace {

// What a user accepting every default does: close at once, or in PDF mode accept the proposed
// file.
PreviewOutcome AnswerPreviewUnattended(VSPrinter& surface, const PreviewRequest& request) {
    ModuleState& state = modqorPrintLib();
    if (!request.ShrunkForPdf) {
        state.DocPrinted = false;
        return {};
    }
    return {WritePdfFile(surface, state.PdfExportFile)};
}

class PreviewWindowHost final : public PreviewHost {
public:
    PreviewOutcome ShowModal(VSPrinter& surface, const PreviewRequest& request) override {
        if (!CanShowWindows()) return AnswerPreviewUnattended(surface, request);
        return gui::Window().ShowPreview(surface, request);
    }
};

std::unique_ptr<surface::PrintProgress> MakePrintProgress(const std::string& printer, const std::string& port,
                                                          int32_t pages) {
    if (!CanShowWindows()) return nullptr;
    return gui::Window().MakePrintProgress(printer, port, pages);
}

}  // namespace

void InstallPreviewWindow() {
    static PreviewWindowHost host;
    RegisterPreviewHost(&host);
}

void InstallPrintProgress() { surface::SetPrintProgressFactory(&MakePrintProgress); }

QCoreApplication* CreateWindowApplication(int& argc, char** argv) {
    return gui::Window().CreateApplication(argc, argv);
}

}  // namespace qor
