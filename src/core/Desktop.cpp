#include "core/Desktop.h"

#include <qor/GenServices.h>

#include <QDir>
#include <QStandardPaths>

#include "genlib/WindowPart.h"

namespace qor {

namespace {

thread_local bool tPointerBusy = false;
thread_local int tBeeps = 0;

}  // namespace

bool CanShowWindows() {
    if (GenServices().Unattended) return false;
    return gui::OnWidgetThread();
}

void SetBusyPointer() {
    if (tPointerBusy || !gui::OnGuiThread()) return;
    gui::Window().SetWaitCursor(true);
    tPointerBusy = true;
}

void RestorePointer() {
    if (!tPointerBusy) return;
    tPointerBusy = false;
    if (gui::OnGuiThread()) gui::Window().SetWaitCursor(false);
}

bool PointerIsBusy() { return tPointerBusy; }

void Beep() {
    ++tBeeps;
    if (gui::OnWidgetThread()) gui::Window().Beep();
}

int BeepCount() { return tBeeps; }

std::string DefaultPdfFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("Document.pdf")).toStdString();
}

}  // namespace qor
