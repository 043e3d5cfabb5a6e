// PrResource: the shared texts 9500-9999 in Dutch and French, for checking translations.
#include <qor/clsqorPrintLib.h>

#include "core/Presentation.h"
#include "core/PreviewHost.h"
#include "core/Printers.h"
#include "core/Surfaces.h"
#include "surface/SpoolerTrays.h"

#include <qor/GenServices.h>
#include <qor/Spooler.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>

#include <QString>

namespace qor {

namespace {

constexpr int32_t kFirstId = 9500;
constexpr int32_t kLastId = 9999;
constexpr int32_t kFrenchOffset = 10000;
constexpr float kLastLine = 280;   // mm; a line below this goes to the next page
constexpr float kFirstLine = 20;   // mm on a continued page

// Line step before text `id`: a wider gap starts each group of texts.
float LineStep(int32_t id) {
    if (id >= 9800) return id % 10 == 0 ? 8.f : 4.f;
    if (id >= 9520 && id <= 9699) return id % 2 == 0 ? 8.f : 4.f;
    return 4.f;
}

std::string First50(const std::string& text) {
    return QString::fromStdString(text).left(50).toStdString();
}

}  // namespace

void clsqorPrintLib::PrResource() {
    GenServicesObject& services = GenServices();
    VSPrinter& surface = PreviewSurface();
    VPrinter = &surface;
    const std::string defaultPrinter = Spooler::Instance().DefaultPrinter();
    surface.Device(defaultPrinter);
    surface.Preview(true);
    surface.PaperBin(kBinFormSource);
    surface.Copies(1);
    surface.AutoRTF(false);
    surface.PaperSize(9);
    surface.Orientation(0);
    const double margin = services.MmToTwips(10);
    surface.MarginLeft(margin);
    surface.MarginRight(margin);
    surface.MarginTop(margin);
    surface.MarginBottom(margin);
    FontSpec& font = surface.Font();
    font.Name = "arial";
    font.Size = 9;
    font.Bold = false;
    font.Italic = false;
    font.Underline = false;
    surface.StartDoc();
    PrScaleWidth = services.TwipsToMm(static_cast<float>(surface.PageWidth()));
    PrScaleHeight = services.TwipsToMm(static_cast<float>(surface.PageHeight()));
    T = 16;

    for (int32_t id = kFirstId; id <= kLastId; ++id) {
        const std::string text = services.SharedText(id);
        const std::string trimmed = TrimBlanks(text);
        if (!trimmed.empty() && trimmed.front() == '[') continue;
        T += LineStep(id);
        if (T > kLastLine) {
            surface.NewPage();
            T = kFirstLine;
        }
        surface.CurrentY(services.MmToTwips(T));
        surface.CurrentX(services.MmToTwips(10));
        surface.Text(std::to_string(id));
        surface.CurrentX(services.MmToTwips(30));
        surface.Text(First50(text));
        surface.CurrentX(services.MmToTwips(125));
        surface.Text(First50(services.SharedText(id + kFrenchOffset)));
    }

    surface.BackColor(0xFFFFFF);
    surface.EndDoc();
    PreviewRequest request;
    request.CopiesText = std::to_string(surface.Copies());
    request.PrintToolTip = GetText(1022) + defaultPrinter;
    request.ZoomMode = kZoomPercentage;
    request.Zoom = kZoomHundredPercent;
    PresentDocument(surface, request);
}

}  // namespace qor
