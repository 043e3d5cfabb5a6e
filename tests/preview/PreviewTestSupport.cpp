#include "preview/PreviewTestSupport.h"

#include <qor/GenServices.h>
#include <qor/Preview.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "preview/FrmPreview.h"

namespace qor::test {

namespace {

// The QApplication of the test binary, on the offscreen platform unless told otherwise.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "preview_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) app_ = std::make_unique<QApplication>(argc, argv);
        InstallPreviewWindow();
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

std::string Run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

// Closes every modal window, innermost first.
void CloseAllModal() {
    for (int i = 0; i < 10; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        QApplication::processEvents();
    }
}

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
    request.ZoomMode = 3;
    return request;
}

void ShowModalGuarded(VSPrinter& surface, const PreviewRequest& request) {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ADD_FAILURE() << "a modal window was still open after 30 s";
        CloseAllModal();
    });
    watchdog.start(30000);
    PreviewHost* host = CurrentPreviewHost();
    ASSERT_NE(host, nullptr);
    host->ShowModal(surface, request);
}

void RunPreview(VSPrinter& surface, const PreviewRequest& request,
                const std::function<void(preview::FrmPreview&)>& check) {
    GenServices().Unattended = false;
    bool ran = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        preview::FrmPreview* window = preview::FrmPreview::Current();
        if (ran || !window || !window->Activated()) return;
        ran = true;
        poll.stop();
        check(*window);
        if (window->isVisible() && QApplication::activeModalWidget() == window) window->reject();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the preview window was still open after 30 s";
        CloseAllModal();
    });
    poll.start();
    watchdog.start(30000);
    PreviewHost* host = CurrentPreviewHost();
    ASSERT_NE(host, nullptr);
    host->ShowModal(surface, request);
    EXPECT_EQ(preview::FrmPreview::Current(), nullptr) << "the window outlived its modal run";
}

void WhenModal(const std::string& objectName, const std::function<void(QWidget*)>& action,
               int timeoutMs) {
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName().toStdString() == objectName && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window " << objectName << " appeared";
        }
    });
    timer->start();
}

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    // At least a few rounds: a slow (sanitized) build may spend the whole time in one.
    for (int round = 0; round < 5 || clock.elapsed() < ms; ++round) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::sendPostedEvents();
    }
}

std::string ReadPdfText(const std::string& file) { return Run("pdftotext -layout '" + file + "' - 2>&1"); }

int PdfPages(const std::string& file) {
    const std::string info = Run("pdfinfo '" + file + "' 2>&1");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

std::string TempDir() {
    static QTemporaryDir dir;
    return dir.path().toStdString();
}

}  // namespace qor::test
