// The lifecycle tests run with a QApplication, so that the printer windows can be shown
// (on the offscreen platform when there is no display) and driven by Qt Test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <chrono>

#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // The last line of defence: a modal window that no test closes within 30 s fails the
    // running test and is rejected, so that its exec() returns.
    QPointer<QWidget> modal;
    auto since = std::chrono::steady_clock::now();
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        QWidget* now = QApplication::activeModalWidget();
        if (now != modal.data()) {
            modal = now;
            since = std::chrono::steady_clock::now();
        } else if (now && std::chrono::steady_clock::now() - since > std::chrono::seconds(30)) {
            ADD_FAILURE() << "modal window " << now->objectName().toStdString() << " left open";
            if (auto* dialog = qobject_cast<QDialog*>(now)) dialog->reject();
            else now->close();
        }
    });
    guard.start(500);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
