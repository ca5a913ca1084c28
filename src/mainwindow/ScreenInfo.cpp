#include "mainwindow/ScreenInfo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace quorvo {

ScreenInfo ScreenInfo::of(const QWidget* window)
{
    QScreen* screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // Qt scales a 120-dpi desktop to 96 logical dpi with a pixel ratio of 1.25; the desktop's own setting
    // is the product.
    const double dpi = screen->logicalDotsPerInch() * screen->devicePixelRatio();
    return {screen->geometry(), static_cast<int>(std::lround(dpi))};
}

} // namespace quorvo
