#include "support/Modal.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

namespace qor::test {
namespace {

void Close(QWidget* window) {
    if (!window || !window->isVisible()) return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
    else window->close();
}

}  // namespace

void WhenModal(const std::string& objectName, std::function<void(QWidget*)> action, double seconds) {
    auto* timer = new QTimer(qApp);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool match = modal && modal->isVisible() &&
                           (objectName.empty() || modal->objectName().toStdString() == objectName);
        if (!match && std::chrono::steady_clock::now() < deadline) return;
        timer->stop();
        timer->deleteLater();
        if (!match) {
            ADD_FAILURE() << "no modal window " << objectName << " appeared";
            Close(modal);
            return;
        }
        QPointer<QWidget> window(modal);
        QTimer::singleShot(static_cast<int>(seconds * 1000), qApp, [window, objectName] {
            if (!window || !window->isVisible()) return;
            ADD_FAILURE() << "modal window " << objectName << " was left open";
            Close(window);
        });
        action(modal);
    });
    timer->start();
}

ModalSpy::ModalSpy() : timer_(new QTimer) {
    timer_->setInterval(10);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) seen_.push_back(modal->objectName().toStdString());
        Close(modal);
    });
    timer_->start();
}

ModalSpy::~ModalSpy() { delete timer_; }

void GuardModalWindows(int seconds) {
    auto* guard = new QTimer(qApp);
    auto* watched = new QPointer<QWidget>;
    auto since = std::make_shared<std::chrono::steady_clock::time_point>();
    QObject::connect(guard, &QTimer::timeout, guard, [=] {
        QWidget* now = QApplication::activeModalWidget();
        if (now != watched->data()) {
            *watched = now;
            *since = std::chrono::steady_clock::now();
        } else if (now && std::chrono::steady_clock::now() - *since > std::chrono::seconds(seconds)) {
            ADD_FAILURE() << "modal window " << now->objectName().toStdString() << " left open";
            CloseAllModal();
        }
    });
    QObject::connect(guard, &QObject::destroyed, [watched] { delete watched; });
    guard->start(500);
}

void CloseAllModal() {
    for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i) {
        Close(QApplication::activeModalWidget());
        QApplication::processEvents();
    }
}

void ClickRow(QWidget* window, const char* name, int row) {
    auto* list = window->findChild<QListWidget*>(QString::fromLatin1(name));
    ASSERT_NE(list, nullptr) << name;
    ASSERT_LT(row, list->count()) << name;
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
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

}  // namespace qor::test
