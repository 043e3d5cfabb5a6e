// The window part's table of entry points: the library opens libqorprint-gui and reads it
// the first time a window, the screen, a PNG page, rich text or a picture is needed.
#include "genlib/WindowPart.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

#include "core/FrmPaperBin.h"
#include "core/FrmPrintProgress.h"
#include "core/FrmSelectPrinter.h"
#include "core/PreviewHost.h"
#include "excel/FrmBuildExcel.h"
#include "gui/WindowEntries.h"
#include "preview/PreviewWindow.h"
#include "surface/PagePainter.h"
#include "surface/SurfaceState.h"
#include "surface/WindowSurface.h"

namespace qor::gui {

namespace {

void SetWaitCursor(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

void Beep() { QApplication::beep(); }

bool PrimaryScreen(ScreenInfo& info) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return false;
    const QPoint cursor = QCursor::pos(screen);
    info.cursorX = cursor.x();
    info.cursorY = cursor.y();
    if (const QRect area = screen->availableGeometry(); area.isValid()) {
        info.left = area.left();
        info.top = area.top();
        info.width = area.width();
        info.height = area.height();
    }
    info.dpiX = screen->logicalDotsPerInchX();
    info.dpiY = screen->logicalDotsPerInchY();
    return true;
}

QCoreApplication* CreateApplication(int& argc, char** argv) { return new QApplication(argc, argv); }

void PaintPage(QPainter& painter, const VSPrinter& surface, int32_t page, double pixelsPerTwip) {
    surface::PaintPage(painter, surface, page, pixelsPerTwip);
}

const Api kApi{
    &ShowMessageBox,
    &SetWaitCursor,
    &Beep,
    &PrimaryScreen,
    &ChoosePrinterWindow,
    &ChoosePaperBinWindow,
    &FrmPrintProgress::Make,
    &preview::ShowPreviewWindow,
    &ShowBuildExcelWindow,
    &OpenUrlWithDesktop,
    &surface::LayOutRtf,
    &surface::LayOutTextFile,
    &PaintPage,
    &surface::SavePagePng,
    &surface::DecodePictureWithQt,
    &CreateApplication,
};

}  // namespace

}  // namespace qor::gui

extern "C" const qor::gui::Api* qor_window_part() { return &qor::gui::kApi; }
