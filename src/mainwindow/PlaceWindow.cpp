#include "mainwindow/PlaceWindow.h"

#include <QWidget>

namespace quorvo {

namespace {

// The size with the window frame, which is what a top-level move() positions. A window not shown yet has
// no frame yet; it will get the one its main window has.
QSize outerSize(const QWidget* window, const QWidget* mainWindow)
{
    if (window->isVisible())
        return window->frameGeometry().size();
    QSize size = window->size();
    if (mainWindow && mainWindow != window && mainWindow->isVisible() &&
        !window->windowFlags().testFlag(Qt::FramelessWindowHint))
        size += mainWindow->frameGeometry().size() - mainWindow->geometry().size();
    return size;
}

} // namespace

void PlaceWindow(QWidget* window, QWidget* mainWindow)
{
    PlaceWindow(window, mainWindow, ScreenInfo::of(mainWindow ? mainWindow : window));
}

void PlaceWindow(QWidget* window, QWidget* mainWindow, const ScreenInfo& screen)
{
    if (!window)
        return;

    if ((window->windowFlags() & Qt::WindowMaximizeButtonHint) && !(window->windowFlags() & Qt::WindowSystemMenuHint)) {
        const bool visible = window->isVisible();
        window->setWindowFlag(Qt::WindowSystemMenuHint, true);
        if (visible)
            window->show(); // changing the flags hides a shown window
    }

    // A window that nobody sized yet would only get its real size when shown; centre that one, not
    // whatever size it has before.
    if (!window->isVisible() && !window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    const QSize size = outerSize(window, mainWindow);

    QRect area = screen.geometry;
    if (mainWindow && mainWindow != window && !mainWindow->isMaximized())
        area = mainWindow->frameGeometry();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

} // namespace quorvo
