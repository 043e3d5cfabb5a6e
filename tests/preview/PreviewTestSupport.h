// Driving the real preview window headless: documents, the modal run, and nested windows.
#pragma once

#include <functional>
#include <string>

#include <qor/VSPrinter.h>

#include "core/PreviewHost.h"

class QWidget;

namespace qor::preview {
class FrmPreview;
}

namespace qor::test {

// A document of `pages` A4 pages, page n carrying the text "Page n" and a few ruled
// lines, ended and ready for the preview.
void MakeDocument(VSPrinter& surface, int pages);

// A request as PrEndDoc makes it for a preview in whole-page view.
PreviewRequest WholePageRequest();

// Shows `surface` in the preview window through the registered host, attended, and runs
// `check` once the window's first activation is done. The window is closed afterwards
// (close button) unless `check` closed it. A watchdog closes every modal window after 30
// seconds and fails the test, so a failing check never hangs the run.
void RunPreview(VSPrinter& surface, const PreviewRequest& request,
                const std::function<void(preview::FrmPreview&)>& check);

// Calls the registered host's ShowModal as PrEndDoc does, with the same watchdog.
void ShowModalGuarded(VSPrinter& surface, const PreviewRequest& request);

// Runs `action` on the modal window named `objectName` as soon as it is the active
// modal window (polling from the event loop). Call before the click that opens it.
// Fails the test when it has not appeared within `timeoutMs`.
void WhenModal(const std::string& objectName, const std::function<void(QWidget*)>& action,
               int timeoutMs = 10000);

// Lets the event loop run for `ms` milliseconds.
void Pump(int ms = 20);

// Text and page count of a PDF file, as poppler's pdftotext and pdfinfo read it.
std::string ReadPdfText(const std::string& file);
int PdfPages(const std::string& file);

// A fresh temporary folder for the test, removed at exit.
std::string TempDir();

}  // namespace qor::test
