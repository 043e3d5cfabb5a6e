// Window positions and sizes are designed in twips; these turn them into pixels at the
// primary screen's resolution (96 dpi without a screen).
#pragma once

#include <cmath>
#include <cstdint>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qor {

inline double ScreenDpiX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

inline double ScreenDpiY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

inline int TwipsToPixelsX(int32_t twips) { return static_cast<int>(std::lround(twips * ScreenDpiX() / 1440.0)); }
inline int TwipsToPixelsY(int32_t twips) { return static_cast<int>(std::lround(twips * ScreenDpiY() / 1440.0)); }

inline void SetTwipsGeometry(QWidget* widget, int32_t left, int32_t top, int32_t width, int32_t height) {
    widget->setGeometry(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                        TwipsToPixelsY(height));
}

}  // namespace qor
