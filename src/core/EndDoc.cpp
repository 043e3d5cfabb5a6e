// Ending a document (PrEndDoc) and discarding one without data (PrEmptyReport).
#include <qor/clsqorPrintLib.h>

#include "core/Desktop.h"
#include "core/ExcelExportHost.h"
#include "core/Presentation.h"
#include "core/PreviewHost.h"
#include "core/PrintJobs.h"
#include "core/Printers.h"
#include "surface/DocumentAccess.h"

#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include <qor/RuntimeError.h>
#include <qor/Texts.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>

namespace qor {

namespace {

// Tool tip of the preview's print button: the printer and, when a bin was chosen, the bin
// and the bin of the following pages.
std::string PrintToolTip(const ModuleState& state) {
    std::string tip = GetText(1022) + state.SelectedPrinter;
    if (TrimBlanks(state.SelectedBinName).empty()) return tip;
    tip += GetText(1072) + state.SelectedBinName;
    if (state.SecondPageBin != 0)
        tip += GenServices().FieldSeparator + SecondBinName(state.SecondPageBin);
    return tip + GetText(1073);
}

VSPrinter& OpenSurface(VSPrinter* surface) {
    if (surface == nullptr) throw RuntimeError(kErrObjectNotSet);
    return *surface;
}

// Ends the document with its background colour and prepares what every hand-off to the
// preview window carries: the copies box and the print button's tool tip.
PreviewRequest EndForPreview(VSPrinter& surface, int32_t backColor, const ModuleState& state) {
    surface.BackColor(backColor);
    surface.EndDoc();
    PreviewRequest request;
    request.CopiesText = std::to_string(surface.Copies());
    request.PrintToolTip = PrintToolTip(state);
    return request;
}

}  // namespace

std::optional<std::string> WritePdfFile(VSPrinter& surface, const std::string& file) {
    try {
        VSPDF().ConvertDocument(surface, file);
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

PreviewOutcome PresentDocument(VSPrinter& surface, const PreviewRequest& request) {
    PreviewHost* host = CurrentPreviewHost();
    if (host != nullptr && CanShowWindows()) return host->ShowModal(surface, request);
    PreviewOutcome outcome;
    if (request.ShrunkForPdf) outcome.PdfError = WritePdfFile(surface, modqorPrintLib().PdfExportFile);
    return outcome;
}

bool clsqorPrintLib::PrEndDoc() {
    ModuleState& state = modqorPrintLib();
    bool result = false;
    std::optional<std::string> pdfError;
    if (VPrinter != nullptr && !state.ExcelMode) surface::SetCreationTime(*VPrinter, PrCreationDate);
    switch (state.PreviewMode) {
        case 0: {
            VSPrinter& surface = OpenSurface(VPrinter);
            surface.BackColor(PrBackColor);
            surface.EndDoc();
            // Ended and handed to the printer, also when the user cancels in the progress
            // window: the remaining jobs are then not sent.
            PrintJobsOn(surface, PlanPrintJobs("", surface.PageCount(), surface.PaperBin(),
                                               state.SecondPageBin, surface.Copies()));
            result = true;
            break;
        }
        case 1:
        case 4: {
            VSPrinter& surface = OpenSurface(VPrinter);
            PreviewRequest request = EndForPreview(surface, PrBackColor, state);
            request.PrintEnabled = state.PreviewMode != 4;
            request.PdfEnabled = state.PreviewMode != 4;
            request.Caption = PrCaption;
            if (surface.AutoRTF()) {
                request.ZoomMode = kZoomPercentage;
                request.Zoom = kZoomHundredPercent;
            } else {
                request.ZoomMode = kZoomWholePage;
            }
            state.DocPrinted = false;
            PresentDocument(surface, request);
            PrPdfFile = state.PdfExportFile;
            result = state.DocPrinted;
            break;
        }
        case 2:
            if (state.ExcelMode) {
                if (ExcelExportHost* host = CurrentExcelExportHost()) host->Finish(*this);
                return false;
            }
            break;
        case 3: {
            VSPrinter& surface = OpenSurface(VPrinter);
            PreviewRequest request = EndForPreview(surface, PrBackColor, state);
            request.Caption.clear();
            request.ShrunkForPdf = true;
            pdfError = PresentDocument(surface, request).PdfError;
            result = !pdfError;
            break;
        }
        default:
            break;
    }
    ResetDefaults();
    RestorePointer();
    // Shown once the document is closed, so the pointer is no longer busy over the message.
    if (pdfError) GenServices().ShowMessage(*pdfError, kMsgCritical, GetText(1049));
    return result;
}

void clsqorPrintLib::PrEmptyReport(const std::string& DocName, bool NoKillDoc) {
    const std::string name = TrimBlanks(DocName);
    const std::string part = name.empty() ? std::string() : " [" + name + "]";
    GenServices().ShowMessage(GetText(1050) + part + GetText(1051), kMsgInformation, GetText(1049));
    ModuleState& state = modqorPrintLib();
    if (state.ExcelMode) {
        state.ExcelMode = false;
        return;
    }
    if (VPrinter != nullptr && !NoKillDoc) {
        VPrinter->KillDoc();
        ResetDefaults();
        RestorePointer();
    }
}

}  // namespace qor
