#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <qor/GenServices.h>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "genlib_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Calls `inspect` on the message box once it is showing, then closes it if still open.
void WhenBoxShows(std::function<void(QMessageBox&)> inspect) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    int ticks = 0;
    QObject::connect(poll, &QTimer::timeout, [poll, inspect, ticks]() mutable {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box->isVisible()) {
            poll->stop();
            poll->deleteLater();
            inspect(*box);
            if (box->isVisible()) box->reject();  // watchdog: never leave exec() hanging
        } else if (++ticks > 500) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no message box appeared";
        }
    });
    poll->start();
}

struct Attended {
    Attended() {
        App();
        qor::GenServices().Unattended = false;
    }
    ~Attended() {
        qor::GenServices().Unattended = true;
        qor::GenServices().LanguageOffset = 0;
    }
};

}  // namespace

TEST(MessageBox, ShowsAQuestionInTheUsersLanguageAndReturnsTheButtonPressed) {
    Attended attended;
    const struct {
        int32_t offset;
        const char* yes;
        const char* no;
    } languages[] = {{0, "Ja", "Nee"}, {10000, "Oui", "Non"}, {20000, "Yes", "No"}};
    for (const auto& lang : languages) {
        qor::GenServices().LanguageOffset = lang.offset;
        QString title, text, yesCaption, noCaption;
        bool yesIsDefault = false;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenBoxShows([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            icon = box.icon();
            yesCaption = box.button(QMessageBox::Yes)->text();
            noCaption = box.button(QMessageBox::No)->text();
            yesIsDefault = box.defaultButton() == box.button(QMessageBox::Yes);
            box.button(QMessageBox::No)->click();
        });
        int32_t answer = 0;
        const int32_t returned =
            qor::GenServices().ShowMessage("Kolombreedtes\r\rDoorgaan ?", 36, "PrRapport", answer);
        EXPECT_EQ(returned, qor::kAnswerNo);
        EXPECT_EQ(answer, qor::kAnswerNo);
        EXPECT_EQ(title.toStdString(), "PrRapport");
        EXPECT_EQ(text.toStdString(), "Kolombreedtes\n\nDoorgaan ?");
        EXPECT_EQ(icon, QMessageBox::Question);
        EXPECT_EQ(yesCaption.toStdString(), lang.yes);
        EXPECT_EQ(noCaption.toStdString(), lang.no);
        EXPECT_TRUE(yesIsDefault);
    }
}

TEST(MessageBox, CriticalMessageAnsweredOkAndEscapeMeansCancelOrNo) {
    Attended attended;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenBoxShows([&](QMessageBox& box) {
        icon = box.icon();
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(qor::GenServices().ShowMessage("Fout", 16, "Print RTF"), qor::kAnswerOk);
    EXPECT_EQ(icon, QMessageBox::Critical);

    // Closing the box without a button answers Cancel, else No, else the first button.
    WhenBoxShows([](QMessageBox& box) { box.close(); });
    EXPECT_EQ(qor::GenServices().ShowMessage("?", 4, "Q"), qor::kAnswerNo);
    WhenBoxShows([](QMessageBox& box) { box.reject(); });
    EXPECT_EQ(qor::GenServices().ShowMessage("?", 3 + 256, "Q"), qor::kAnswerCancel);
    WhenBoxShows([](QMessageBox& box) { box.reject(); });
    EXPECT_EQ(qor::GenServices().ShowMessage("!", 64, "I"), qor::kAnswerOk);
}

TEST(MessageBox, TheObserverStillComesFirst) {
    Attended attended;
    int seen = 0;
    qor::ScopedMessageObserver watch([&](const qor::Message&) {
        ++seen;
        return std::optional<int32_t>(qor::kAnswerYes);
    });
    EXPECT_EQ(qor::GenServices().ShowMessage("?", 36, "Q"), qor::kAnswerYes);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MessageBox, UnattendedShowsNoBoxEvenWithAnApplication) {
    App();
    qor::GenServices().Unattended = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(qor::GenServices().ShowMessage("text", 36, "T"), qor::kAnswerYes);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "T: text\n");
}

TEST(MessageBox, OtherThreadsAnswerUnattended) {
    Attended attended;
    int32_t answer = 0;
    std::thread([&] {
        qor::GenServices().Unattended = false;  // still no window off the GUI thread
        testing::internal::CaptureStderr();
        answer = qor::GenServices().ShowMessage("worker", 4 + 256, "W");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "W: worker\n");
    }).join();
    EXPECT_EQ(answer, qor::kAnswerNo);
}

TEST(MessageBox, ScreenMetricsComeFromTheScreen) {
    App();
    int32_t left, top, right, bottom, width, height;
    qor::GenServices().WindowArea(left, top, right, bottom, width, height);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_NEAR(width, area.width() * 1440.0 / dpi, 1.0);
    EXPECT_EQ(right - left, width);
    EXPECT_EQ(bottom - top, height);
    EXPECT_GT(height, 0);
    const int32_t x = qor::GenServices().ScreenPoint("X");
    EXPECT_NEAR(x, QCursor::pos().x() * 1440.0 / dpi, 1.0);
}
