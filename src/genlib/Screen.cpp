// Screen metrics in twips for the windows' placement.
#include <qor/GenServices.h>

#include <cmath>

#include <qor/RuntimeError.h>

#include "genlib/WindowPart.h"

namespace qor {

namespace {

// The primary screen, when a GUI exists and this is its thread.
bool GuiScreen(gui::ScreenInfo& screen) {
    return gui::OnGuiThread() && gui::Window().PrimaryScreen(screen);
}

int32_t PixelsToTwips(double pixels, double dotsPerInch) {
    if (dotsPerInch <= 0) dotsPerInch = 96.0;
    return static_cast<int32_t>(std::lround(pixels * 1440.0 / dotsPerInch));
}

}  // namespace

int32_t GenServicesObject::ScreenPoint(const std::string& axis) const {
    const bool x = axis == "X" || axis == "x";
    if (!x && axis != "Y" && axis != "y") throw RuntimeError(kErrInvalidCall);
    gui::ScreenInfo screen;
    if (!GuiScreen(screen)) return 0;
    return x ? PixelsToTwips(screen.cursorX, screen.dpiX) : PixelsToTwips(screen.cursorY, screen.dpiY);
}

void GenServicesObject::WindowArea(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom,
                                   int32_t& width, int32_t& height) const {
    gui::ScreenInfo screen;
    if (!GuiScreen(screen)) screen = gui::ScreenInfo{};
    left = PixelsToTwips(screen.left, screen.dpiX);
    top = PixelsToTwips(screen.top, screen.dpiY);
    width = PixelsToTwips(screen.width, screen.dpiX);
    height = PixelsToTwips(screen.height, screen.dpiY);
    right = left + width;
    bottom = top + height;
}

}  // namespace qor
