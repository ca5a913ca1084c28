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
    return {screen->geometry(), static_cast<int>(std::lround(dpi)), screen->devicePixelRatio()};
}

namespace {

int scaleAbout(int origin, int value, double ratio)
{
    return origin + static_cast<int>(std::lround((value - origin) * ratio));
}

} // namespace

QRect ScreenInfo::toPixels(const QRect& rect) const
{
    const QPoint origin = geometry.topLeft();
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    // Right and bottom edges, exclusive, scale as edges; a width would gather rounding at each end.
    const int left = scaleAbout(origin.x(), rect.x(), ratio);
    const int top = scaleAbout(origin.y(), rect.y(), ratio);
    const int right = scaleAbout(origin.x(), rect.x() + rect.width(), ratio);
    const int bottom = scaleAbout(origin.y(), rect.y() + rect.height(), ratio);
    return QRect(left, top, right - left, bottom - top);
}

QRect ScreenInfo::fromPixels(const QRect& rect) const
{
    const QPoint origin = geometry.topLeft();
    const double ratio = devicePixelRatio > 0 ? 1.0 / devicePixelRatio : 1.0;
    const int left = scaleAbout(origin.x(), rect.x(), ratio);
    const int top = scaleAbout(origin.y(), rect.y(), ratio);
    const int right = scaleAbout(origin.x(), rect.x() + rect.width(), ratio);
    const int bottom = scaleAbout(origin.y(), rect.y() + rect.height(), ratio);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace quorvo
