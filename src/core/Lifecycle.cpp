// Opening a document (InitPrinter) and starting pages.
#include <qor/clsqorPrintLib.h>

#include "core/Desktop.h"
#include "core/ExcelExportHost.h"
#include "core/PrinterChoice.h"
#include "core/Printers.h"
#include "core/Surfaces.h"
#include "surface/DocumentAccess.h"
#include "surface/SpoolerTrays.h"

#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include <qor/RuntimeError.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>

#include <cctype>
#include <limits>

namespace qor {

namespace {

// Pages held in memory before finished ones are set aside, for documents not previewed.
constexpr size_t kSpillBytes = size_t{1} << 20;

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool IsInstalled(const VSPrinter& surface, const std::string& printer) {
    const std::string wanted = Upper(printer);
    const int32_t count = surface.NDevices();
    for (int32_t i = 0; i < count; ++i) {
        if (Upper(surface.Devices(i)) == wanted) return true;
    }
    return false;
}

}  // namespace

void SelectNamedPrinter(ModuleState& state, const std::string& printerName) {
    const std::vector<std::string> parts = SplitFields(printerName);
    switch (parts.size()) {
        case 1:
        case 2:
            state.SelectedPrinter = parts.back();
            state.SelectedBin = kBinAutomatic;
            state.SelectedBinName.clear();
            break;
        case 3: {
            const int32_t bin = CLng(Variant(parts[0]));
            state.SelectedBin = bin;
            state.SelectedPrinter = parts[1];
            state.SelectedBinName = parts[2];
            break;
        }
        default:  // the bin keeps its previous values
            state.SelectedPrinter = printerName;
            break;
    }
}

bool clsqorPrintLib::InitPrinter(const std::string& PrinterName, int16_t Preview, int32_t Orient,
                                 int32_t Copies, int32_t PaperSize, const std::string& ExportFilePDF,
                                 int32_t SecondPageBinNr, bool SilentMode) {
    ModuleState& state = modqorPrintLib();
    GenServicesObject& services = GenServices();
    state.PreviewMode = Preview;
    InstallPrintProgress();

    if (Preview == 2) {
        SetBusyPointer();
        if (ExcelExportHost* host = CurrentExcelExportHost()) host->Start(*this, ExportFilePDF);
        if (state.ExcelMode) VPrinter = &PreviewSurface();
        return state.ExcelMode;
    }

    VSPrinter& surface = PreviewSurface();
    VPrinter = &surface;
    if (SecondPageBinNr < std::numeric_limits<int16_t>::min() ||
        SecondPageBinNr > std::numeric_limits<int16_t>::max())
        throw RuntimeError(kErrOverflow);
    state.SecondPageBin = static_cast<int16_t>(SecondPageBinNr);
    PrPdfFile.clear();
    state.PdfExportFile = ExportFilePDF.empty() ? DefaultPdfFile() : ExportFilePDF;

    if (surface.NDevices() == 0) {
        if (Preview == 0) {
            services.ShowMessage(GetText(1024) + "\r\r" + GetText(1025), kMsgOkOnly, "");
            return false;
        }
        state.SelectedPrinter.clear();
        state.SelectedBin = 0;
        state.SelectedBinName.clear();
    } else {
        if (PrinterName.empty() || Preview != 1) {
            ChoosePrinter(GetText(1070), "", PrinterName);
        } else {
            SelectNamedPrinter(state, PrinterName);
            if (!IsInstalled(surface, state.SelectedPrinter))
                ChoosePrinter(std::nullopt, state.SelectedPrinter, PrinterName);
        }
        if (state.SelectedPrinter.empty()) {
            DefaultPrinter.clear();
            return false;
        }
    }

    DefaultPrinter = state.NewDefaultPrinter;
    SetBusyPointer();

    surface.AbortWindow(!SilentMode);
    surface.Device(state.SelectedPrinter);
    surface.Orientation(Orient == 1 ? 0 : 1);
    surface.PaperSize(PaperSize);
    surface.Preview(Preview != 0);
    surface.PaperBin(kBinFormSource);
    if (!BinSendsNoTray(state.SelectedBin) &&
        BinAvailable(state.SelectedPrinter, state.SelectedBin))
        surface.PaperBin(state.SelectedBin);
    surface.Copies(1);
    if (Copies > 1 && CopiesSupported(state.SelectedPrinter, Copies)) surface.Copies(Copies);
    surface.AutoRTF(false);
    const double margin = services.MmToTwips(10);
    surface.MarginLeft(margin);
    surface.MarginRight(margin);
    surface.MarginTop(margin);
    surface.MarginBottom(margin);
    FontSpec& font = surface.Font();
    font.Name = DefaultFontName;
    font.Size = DefaultFontSize;
    font.Bold = false;
    font.Italic = false;
    font.Underline = false;
    surface.StartDoc();
    // Finished pages are set aside as the document grows: in a temporary file when no preview
    // window will show them, else compressed in memory. The PDF writer and the preview read
    // them back one at a time; anything else gets them back whole.
    surface::SpillPagesAbove(surface, kSpillBytes,
                             Preview == 0 || !CanShowWindows() ? surface::SpillTo::File : surface::SpillTo::Memory);
    PrScaleWidth = services.TwipsToMm(static_cast<float>(surface.PageWidth()));
    PrScaleHeight = services.TwipsToMm(static_cast<float>(surface.PageHeight()));
    return true;
}

void clsqorPrintLib::PrNewPage() {
    ModuleState& state = modqorPrintLib();
    if (state.ExcelMode) {
        state.ExcelNewPage = true;
        return;
    }
    if (VPrinter == nullptr) throw RuntimeError(kErrObjectNotSet);
    VPrinter->NewPage();
}

}  // namespace qor
