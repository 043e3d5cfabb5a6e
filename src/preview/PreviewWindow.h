// The preview window as the rest of the library opens it.
#pragma once

namespace qor {
class VSPrinter;
struct PreviewOutcome;
struct PreviewRequest;
}  // namespace qor

namespace qor::preview {

// Shows `surface` (an ended document) in the preview window and returns when it closes.
// Throws RuntimeError(400) while this thread shows another preview.
PreviewOutcome ShowPreviewWindow(VSPrinter& surface, const PreviewRequest& request);

}  // namespace qor::preview
