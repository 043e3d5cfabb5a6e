// Hands an ended document to the preview window, or does without one.
#pragma once

namespace qor {

class VSPrinter;
struct PreviewRequest;

// Shows `surface` in the registered preview window when windows may be shown (see
// CanShowWindows) and returns when it closes. Otherwise, or without a preview layer, it
// answers as a window closing at once: DocPrinted stays false, and a PDF request
// (`request.ShrunkForPdf`) writes the whole document to PdfExportFile. Like the window's PDF
// action, a failed PDF write is not thrown; its reason goes to standard error.
void PresentDocument(VSPrinter& surface, const PreviewRequest& request);

}  // namespace qor
