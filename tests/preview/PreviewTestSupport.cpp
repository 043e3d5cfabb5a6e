#include "preview/PreviewTestSupport.h"

#include <qor/GenServices.h>
#include <qor/Preview.h>

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "preview/FrmPreview.h"

namespace qor::test {
namespace {

// The QApplication of the test binary, on the offscreen platform unless told otherwise.
struct QtEnvironment : ::testing::Environment {
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "preview_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) app_ = std::make_unique<QApplication>(argc, argv);
        InstallPreviewWindow();
    }
    void TearDown() override { app_.reset(); }
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void MakeDocument(VSPrinter& surface, int pages) {
    surface.StartDoc();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) surface.NewPage();
        surface.Font().Size = 24;
        surface.CurrentX(1440);
        surface.CurrentY(1440);
        surface.Text("Page " + std::to_string(page));
        surface.Font().Size = 9;
        for (int line = 0; line < 30; ++line) {
            surface.CurrentX(1440);
            surface.CurrentY(2600 + line * 360);
            surface.Text("Line " + std::to_string(line + 1) + " of page " + std::to_string(page));
            surface.DrawLine(1440, 2900 + line * 360, 10400, 2900 + line * 360);
        }
    }
    surface.EndDoc();
}

PreviewRequest WholePageRequest() {
    PreviewRequest request;
    request.CopiesText = "1";
    request.PrintToolTip = " Send Document to PrinterA";
    request.ZoomMode = kZoomWholePage;
    return request;
}

PreviewOutcome ShowModalGuarded(VSPrinter& surface, const PreviewRequest& request) {
    QTimer watchdog;
    watchdog.callOnTimeout([] {
        ADD_FAILURE() << "a modal window was still open after 30 s";
        CloseAllModal();
    });
    watchdog.start(30000);
    PreviewHost* host = CurrentPreviewHost();
    EXPECT_NE(host, nullptr);
    return host ? host->ShowModal(surface, request) : PreviewOutcome{};
}

PreviewOutcome RunPreview(VSPrinter& surface, const PreviewRequest& request,
                          const std::function<void(preview::FrmPreview&)>& check) {
    GenServices().Unattended = false;
    bool ran = false;
    QTimer poll;
    poll.callOnTimeout([&] {
        preview::FrmPreview* window = preview::FrmPreview::Current();
        if (ran || !window || !window->Activated()) return;
        ran = true;
        poll.stop();
        check(*window);
        if (window->isVisible() && QApplication::activeModalWidget() == window) window->reject();
    });
    poll.start(10);
    const PreviewOutcome outcome = ShowModalGuarded(surface, request);
    EXPECT_EQ(preview::FrmPreview::Current(), nullptr) << "the window outlived its modal run";
    return outcome;
}

}  // namespace qor::test
