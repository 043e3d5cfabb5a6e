// Screen metrics in twips for the windows' placement.
#include <qor/GenServices.h>

#include <cmath>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <qor/RuntimeError.h>

namespace qor {

namespace {

// The primary screen, when a GUI exists and this is its thread.
QScreen* GuiScreen() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr || QThread::currentThread() != app->thread()) return nullptr;
    return QGuiApplication::primaryScreen();
}

int32_t PixelsToTwips(double pixels, double dotsPerInch) {
    if (dotsPerInch <= 0) dotsPerInch = 96.0;
    return static_cast<int32_t>(std::lround(pixels * 1440.0 / dotsPerInch));
}

}  // namespace

int32_t GenServicesObject::ScreenPoint(const std::string& axis) const {
    const bool x = axis == "X" || axis == "x";
    if (!x && axis != "Y" && axis != "y") throw RuntimeError(kErrInvalidCall);
    QScreen* screen = GuiScreen();
    if (screen == nullptr) return 0;
    const QPoint pos = QCursor::pos(screen);
    return x ? PixelsToTwips(pos.x(), screen->logicalDotsPerInchX())
             : PixelsToTwips(pos.y(), screen->logicalDotsPerInchY());
}

void GenServicesObject::WindowArea(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom,
                                   int32_t& width, int32_t& height) const {
    QRect area(0, 0, 1920, 1080);
    double dpiX = 96.0;
    double dpiY = 96.0;
    if (QScreen* screen = GuiScreen()) {
        if (screen->availableGeometry().isValid()) area = screen->availableGeometry();
        dpiX = screen->logicalDotsPerInchX();
        dpiY = screen->logicalDotsPerInchY();
    }
    left = PixelsToTwips(area.left(), dpiX);
    top = PixelsToTwips(area.top(), dpiY);
    width = PixelsToTwips(area.width(), dpiX);
    height = PixelsToTwips(area.height(), dpiY);
    right = left + width;
    bottom = top + height;
}

}  // namespace qor
