// Hands an ended document to the preview window, or does without one.
#pragma once

#include <optional>
#include <string>

#include "core/PreviewHost.h"

namespace qor {

class VSPrinter;

// Shows `surface` in the registered preview window when windows may be shown (see
// CanShowWindows) and returns when it closes. Otherwise, or without a preview layer, it
// answers as a window closing at once: DocPrinted stays false, and a PDF request
// (`request.ShrunkForPdf`) writes the whole document to PdfExportFile. Like the window's PDF
// action, a failed PDF write is not thrown: its reason comes back in the outcome.
PreviewOutcome PresentDocument(VSPrinter& surface, const PreviewRequest& request);

// Writes the whole document of `surface` to `file` as PDF; returns why it failed, or
// nothing when the file was written. An older file of that name stays when it fails.
std::optional<std::string> WritePdfFile(VSPrinter& surface, const std::string& file);

}  // namespace qor
