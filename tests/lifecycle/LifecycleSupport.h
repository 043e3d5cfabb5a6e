// A fresh module state, unattended, in Dutch, with messages collected (answered OK), not shown.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "core/Desktop.h"
#include "support/Modal.h"
#include "support/Spooler.h"

namespace qor::test {

// Presses OK in the printer dialog that comes next.
void AcceptPrinterDialog();

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        GenServices().FormActivated = false;
        modqorPrintLib().Reset();
        GenServices().Unattended = true;
        GenServices().LanguageOffset = 0;
    }
    void TearDown() override { RestorePointer(); }  // after a failure that left a document open

    // Draws "Page n" on `pages` pages of the open document.
    static void DrawPages(clsqorPrintLib& lib, int pages) {
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) lib.PrNewPage();
            lib.VPrinter->CurrentX(1440);
            lib.VPrinter->CurrentY(1440);
            lib.VPrinter->Text("Page " + std::to_string(page));
        }
    }

    std::vector<Message> messages_;
    ScopedMessageObserver watch_{[this](const Message& m) {
        messages_.push_back(m);
        return std::optional<int32_t>(kAnswerOk);
    }};
};

}  // namespace qor::test
