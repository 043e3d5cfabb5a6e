// Helpers of the lifecycle tests: jobs of a queue, PDFs read back, modal windows driven.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <qor/GenServices.h>
#include <qor/ModuleState.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "core/Desktop.h"
#include "spooler/TestSpooler.h"

#include <cups/ipp.h>

namespace qor::test {

// Ids of every job the spooler keeps for `printer` (completed ones too), ascending.
std::vector<int32_t> JobIds(const std::string& printer);
// Ids of the jobs of `printer` above `after`.
std::vector<int32_t> JobsAfter(const std::string& printer, int32_t after);
// The highest job id of `printer`, 0 when none.
int32_t LastJob(const std::string& printer);

// Number of pages of a PDF file as pdfinfo reports it; -1 when it cannot be read.
int PdfPages(const std::string& file);

// A fresh temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Runs `check` on the modal window named `objectName` as soon as it is the active modal
// window. The check must close it; if it is still open after `seconds` (a failed check),
// it is rejected so that exec() returns, and the test fails. A window that never appears
// within `seconds` fails the test too.
void OnModal(const QString& objectName, std::function<void(QWidget*)> check, double seconds = 10);

// While it lives, notes the object name of every modal window that gets shown and closes
// it at once (rejecting it), so that a window that should not appear cannot hang a test.
class ModalSpy {
public:
    ModalSpy();
    ~ModalSpy();
    ModalSpy(const ModalSpy&) = delete;
    ModalSpy& operator=(const ModalSpy&) = delete;
    const std::vector<std::string>& Seen() const { return seen_; }

private:
    std::vector<std::string> seen_;
    class QTimer* timer_;
};

// Presses OK in the printer dialog that comes next.
void AcceptPrinterDialog();

// Clicks the row `row` of the list widget named `name` inside `window`.
void ClickRow(QWidget* window, const char* name, int row);

// Every lifecycle test starts from a fresh module state, unattended, in Dutch, with the
// messages collected (and answered OK) instead of shown.
class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        GenServices().FormActivated = false;
        modqorPrintLib().Reset();
        GenServices().Unattended = true;
        GenServices().LanguageOffset = 0;
    }
    // A document left open by a failed test must not leave the busy pointer behind.
    void TearDown() override { RestorePointer(); }

    // Draws "Page n" on `pages` pages of the open document.
    void DrawPages(clsqorPrintLib& lib, int pages) {
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) lib.PrNewPage();
            lib.VPrinter->CurrentX(1440);
            lib.VPrinter->CurrentY(1440);
            lib.VPrinter->Text("Page " + std::to_string(page));
        }
    }

    // The jobs `printer` received after job `before`, once they have finished.
    std::vector<JobAttributes> JobsSince(const std::string& printer, int32_t before) {
        std::vector<JobAttributes> jobs;
        for (int32_t id : JobsAfter(printer, before)) {
            jobs.push_back(WaitForJob(id));
            EXPECT_EQ(jobs.back().State, IPP_JSTATE_COMPLETED) << "job " << id;
        }
        return jobs;
    }

    std::vector<Message> messages_;
    ScopedMessageObserver watch_{[this](const Message& m) {
        messages_.push_back(m);
        return std::optional<int32_t>(kAnswerOk);
    }};
};

}  // namespace qor::test
