#pragma once

#include "mainwindow/ScreenInfo.h"

class QWidget;

namespace quorvo {

// Places a window that is about to be shown: centred over the main window, or centred on the screen when
// it is the main window itself (or there is none) or the main window is maximized. The result is not
// clamped to the screen. A window with a maximize button gets its system menu too.
void PlaceWindow(QWidget* window, QWidget* mainWindow);
void PlaceWindow(QWidget* window, QWidget* mainWindow, const ScreenInfo& screen);

} // namespace quorvo
