#include "core/Desktop.h"

#include <qor/GenServices.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QThread>

namespace qor {

namespace {

thread_local bool tPointerBusy = false;
thread_local int tBeeps = 0;

bool OnGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return qobject_cast<QGuiApplication*>(app) != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

bool CanShowWindows() {
    if (GenServices().Unattended) return false;
    QCoreApplication* app = QCoreApplication::instance();
    return qobject_cast<QApplication*>(app) != nullptr && QThread::currentThread() == app->thread();
}

void SetBusyPointer() {
    if (tPointerBusy || !OnGuiThread()) return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    tPointerBusy = true;
}

void RestorePointer() {
    if (!tPointerBusy) return;
    tPointerBusy = false;
    if (OnGuiThread()) QGuiApplication::restoreOverrideCursor();
}

bool PointerIsBusy() { return tPointerBusy; }

void Beep() {
    ++tBeeps;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr && OnGuiThread())
        QApplication::beep();
}

int BeepCount() { return tBeeps; }

std::string DefaultPdfFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("Document.pdf")).toStdString();
}

}  // namespace qor
