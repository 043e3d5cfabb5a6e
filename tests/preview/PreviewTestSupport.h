// Driving the real preview window headless: documents and the modal run.
#pragma once

#include <functional>

#include <qor/VSPrinter.h>

#include "core/PreviewHost.h"
#include "support/Modal.h"

namespace qor::preview {
class FrmPreview;
}

namespace qor::test {

// A document of `pages` A4 pages, page n showing "Page n" and 30 ruled lines, ended.
void MakeDocument(VSPrinter& surface, int pages);
// A request as PrEndDoc makes it for a preview in whole-page view.
PreviewRequest WholePageRequest();
// Shows `surface` in the preview window, attended, and runs `check` once the window's first
// activation is done; closes the window afterwards unless `check` did.
PreviewOutcome RunPreview(VSPrinter& surface, const PreviewRequest& request,
                          const std::function<void(preview::FrmPreview&)>& check);
// The host's ShowModal as PrEndDoc calls it; a modal window open after 30 s fails the test.
PreviewOutcome ShowModalGuarded(VSPrinter& surface, const PreviewRequest& request);

}  // namespace qor::test
