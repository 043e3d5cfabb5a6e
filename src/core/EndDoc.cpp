// Ending a document (PrEndDoc) and discarding one without data (PrEmptyReport).
#include <qor/clsqorPrintLib.h>

#include "core/Desktop.h"
#include "core/ExcelExportHost.h"
#include "core/Presentation.h"
#include "core/PreviewHost.h"
#include "core/Printers.h"

#include <qor/GenServices.h>
#include <qor/ModuleState.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>

#include <iostream>

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

void PresentDocument(VSPrinter& surface, const PreviewRequest& request) {
    PreviewHost* host = CurrentPreviewHost();
    if (host != nullptr && CanShowWindows()) {
        host->ShowModal(surface, request);
        return;
    }
    if (!request.ShrunkForPdf) return;
    const std::string& file = modqorPrintLib().PdfExportFile;
    try {
        VSPDF().ConvertDocument(surface, file);
    } catch (const std::exception& e) {
        std::cerr << "qorPrintLib: the PDF " << file << " was not written: " << e.what() << '\n';
    }
}

bool clsqorPrintLib::PrEndDoc() {
    ModuleState& state = modqorPrintLib();
    bool result = false;
    switch (state.PreviewMode) {
        case 0: {
            VSPrinter& surface = OpenSurface(VPrinter);
            surface.BackColor(PrBackColor);
            surface.EndDoc();
            if (state.SecondPageBin != 0 && surface.PageCount() > 1) {
                surface.PrintDoc(false, 1, 1);
                surface.PaperBin(state.SecondPageBin);
                surface.PrintDoc(false, 2, surface.PageCount());
            } else {
                surface.PrintDoc();
            }
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
                request.ZoomMode = 0;
                request.Zoom = 93.75;
            } else {
                request.ZoomMode = 3;
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
            PresentDocument(surface, request);
            result = true;
            break;
        }
        default:
            break;
    }
    ResetDefaults();
    RestorePointer();
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
