#pragma once
// The seam between the document lifecycle (core) and the preview window, which lives
// in a higher layer. The preview layer registers its host once per process; core
// calls it from PrEndDoc and PrResource without including any window code.

#include <cstdint>
#include <optional>
#include <string>

namespace qor {

class VSPrinter;

// Zoom modes of the preview's page view, and the zoom that reads "100 %" there.
inline constexpr int32_t kZoomPercentage = 0;  // the page at the zoom percentage
inline constexpr int32_t kZoomWholePage = 3;   // whole pages fitted into the view
inline constexpr int32_t kZoomPageWidth = 4;   // one page fitted to the view's width
inline constexpr double kZoomHundredPercent = 93.75;

// What PrEndDoc prepares on the preview window before showing it.
struct PreviewRequest {
    std::string CopiesText = "1";   // text of the copies box (the surface's copies)
    std::string PrintToolTip;       // tool tip of the print button
    std::string Caption;            // window caption; "" keeps the window's own caption
    int32_t ZoomMode = kZoomWholePage;  // or kZoomPercentage with Zoom
    double Zoom = kZoomHundredPercent;
    bool PrintEnabled = true;       // false in view-only mode
    bool PdfEnabled = true;         // false in view-only mode
    bool ShrunkForPdf = false;      // PDF mode: shown shrunk at the top edge, runs its PDF action at once
};

// What the preview window leaves behind besides DocPrinted.
struct PreviewOutcome {
    // Why the PDF export that ended a PDF-mode window failed (the error's text, which names
    // the file); empty when it was written or the user cancelled the save dialog.
    std::optional<std::string> PdfError;
};

class PreviewHost {
public:
    virtual ~PreviewHost() = default;
    // Shows the preview window modally over `surface` (an ended document) and returns
    // when it closes. Reads PreviewMode, SecondPageBin and PdfExportFile from the
    // thread's module state and writes DocPrinted there, as the window's actions do.
    // In unattended mode it must not block: the window closes at once (nothing
    // printed), and in PDF mode the export runs to PdfExportFile without a dialog.
    // A failed PDF export is not thrown: it comes back in the outcome.
    virtual PreviewOutcome ShowModal(VSPrinter& surface, const PreviewRequest& request) = 0;
};

// Registers the host used by every thread; nullptr removes it. Not owned.
void RegisterPreviewHost(PreviewHost* host);
// The registered host, or nullptr when no preview layer is linked in.
PreviewHost* CurrentPreviewHost();

}  // namespace qor
