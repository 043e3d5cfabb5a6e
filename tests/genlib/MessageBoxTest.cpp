#include <gtest/gtest.h>

#include <thread>
#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <qor/GenServices.h>

#include "support/Modal.h"

namespace {

using qor::test::WhenModal;

QMessageBox& Box(QWidget* window) { return *qobject_cast<QMessageBox*>(window); }

class MessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "genlib_gui_tests";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
        qor::GenServices().Unattended = false;
    }
    void TearDown() override {
        qor::GenServices().Unattended = true;
        qor::GenServices().LanguageOffset = 0;
    }
};

}  // namespace

TEST_F(MessageBox, ShowsTheMessageInTheUsersLanguageAndReturnsTheButtonPressedOrClosing) {
    const struct { int32_t offset; const char *yes, *no; } languages[] = {
        {0, "Ja", "Nee"}, {10000, "Oui", "Non"}, {20000, "Yes", "No"}};
    for (const auto& lang : languages) {
        qor::GenServices().LanguageOffset = lang.offset;
        WhenModal("", [&](QWidget* window) {
            QMessageBox& box = Box(window);
            EXPECT_EQ(box.windowTitle().toStdString(), "PrRapport");
            EXPECT_EQ(box.text().toStdString(), "Kolombreedtes\n\nDoorgaan ?");
            EXPECT_EQ(box.icon(), QMessageBox::Question);
            EXPECT_EQ(box.button(QMessageBox::Yes)->text().toStdString(), lang.yes);
            EXPECT_EQ(box.button(QMessageBox::No)->text().toStdString(), lang.no);
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Yes));
            box.button(QMessageBox::No)->click();
        });
        int32_t answer = 0;
        EXPECT_EQ(qor::GenServices().ShowMessage("Kolombreedtes\r\rDoorgaan ?", 36, "PrRapport", answer),
                  qor::kAnswerNo);
        EXPECT_EQ(answer, qor::kAnswerNo);
    }
    WhenModal("", [](QWidget* window) {
        EXPECT_EQ(Box(window).icon(), QMessageBox::Critical);
        Box(window).button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(qor::GenServices().ShowMessage("Fout", 16, "Print RTF"), qor::kAnswerOk);
    // Closing the box without a button answers Cancel, else No, else the first button.
    for (auto [style, answer] : {std::pair{4, qor::kAnswerNo}, {3 + 256, qor::kAnswerCancel}, {64, qor::kAnswerOk}}) {
        WhenModal("", [](QWidget* window) { window->close(); });
        EXPECT_EQ(qor::GenServices().ShowMessage("?", style, "Q"), answer) << style;
    }
}

TEST_F(MessageBox, UnattendedAndOtherThreadsShowNoBoxEvenWithAnApplication) {
    qor::GenServices().Unattended = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(qor::GenServices().ShowMessage("text", 36, "T"), qor::kAnswerYes);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "T: text\n");
    std::thread([] {
        qor::GenServices().Unattended = false;  // still no window off the GUI thread
        testing::internal::CaptureStderr();
        EXPECT_EQ(qor::GenServices().ShowMessage("worker", 4 + 256, "W"), qor::kAnswerNo);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "W: worker\n");
    }).join();
}

TEST_F(MessageBox, ScreenMetricsComeFromTheScreen) {
    int32_t left, top, right, bottom, width, height;
    qor::GenServices().WindowArea(left, top, right, bottom, width, height);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_NEAR(width, area.width() * 1440.0 / dpi, 1.0);
    EXPECT_EQ(right - left, width);
    EXPECT_EQ(bottom - top, height);
    EXPECT_NEAR(qor::GenServices().ScreenPoint("X"), QCursor::pos().x() * 1440.0 / dpi, 1.0);
}
