#include "lifecycle/LifecycleSupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace qor::test {

void AcceptPrinterDialog() {
    WhenModal("FrmSelectPrinter", [](QWidget* window) {
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
}

}  // namespace qor::test

// The printer windows are shown (offscreen without a display) and driven by Qt Test.
int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    qor::test::GuardModalWindows();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
