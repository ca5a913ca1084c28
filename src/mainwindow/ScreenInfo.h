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

    // The screen the window is on, or the primary screen; an empty geometry when there is none.
    static ScreenInfo of(const QWidget* window);
};

} // namespace quorvo
