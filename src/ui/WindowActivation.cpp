#include "ui/WindowActivation.h"

#include <QWidget>

namespace quorvo {

void WindowActivation::bringToFront(QWidget* window)
{
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace quorvo
