#pragma once

#include <QRect>

class QWidget;

namespace quorvo {

// The screen that window placement works against. Windows take it from their own screen; tests make one
// up (a 1024 by 768 screen at 120 dots per inch) without touching the display.
struct ScreenInfo
{
    QRect geometry;      // the whole screen, in the coordinates that window geometry uses
    int logicalDpi = 96; // the desktop's font resolution, whatever Qt's own scaling makes of it
    // Screen pixels to one unit of window geometry: 1.25 when Qt scales a 120-dpi desktop.
    double devicePixelRatio = 1.0;

    // Window geometry in screen pixels and back. The screen's top left corner is the same in both; the
    // rest scales about it, as Qt places each screen.
    QRect toPixels(const QRect& rect) const;
    QRect fromPixels(const QRect& rect) const;

    // The screen the window is on, or the primary screen; an empty geometry when there is none.
    static ScreenInfo of(const QWidget* window);
};

} // namespace quorvo
