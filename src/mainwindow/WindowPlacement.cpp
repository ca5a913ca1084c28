#include "mainwindow/WindowPlacement.h"

#include "mainwindow/PlaceWindow.h"
#include "store/IniFile.h"

#include <QWidget>

#include <utility>

namespace quorvo {

namespace {

QRect normalRectangle(const QWidget* window)
{
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        const QRect normal = window->normalGeometry();
        if (normal.isValid())
            return normal;
    }
    return window->geometry();
}

} // namespace

WindowPlacement::WindowPlacement(QString fileName, QString className, ScreenInfo screen)
    : m_fileName(std::move(fileName)), m_section(sectionName(className, screen.logicalDpi)), m_screen(screen)
{}

QString WindowPlacement::sectionName(const QString& className, int logicalDpi)
{
    QString name = className + QStringLiteral("_Placement");
    if (logicalDpi > 96)
        name += QString::number(logicalDpi);
    return name;
}

bool WindowPlacement::save(const QWidget* window) const
{
    if (!window)
        return false;
    // The file holds screen pixels, whatever Qt's scaling.
    const QRect normal = m_screen.toPixels(normalRectangle(window));
    const QByteArray section = m_section.toLatin1();
    IniFile file(m_fileName);
    file.beginBatch();
    file.writeInt(section, "Left", normal.x());
    file.writeInt(section, "Top", normal.y());
    file.writeInt(section, "Right", normal.x() + normal.width());
    file.writeInt(section, "Bottom", normal.y() + normal.height());
    file.writeBool(section, "Maximized", window->windowState().testFlag(Qt::WindowMaximized));
    return file.commit();
}

bool WindowPlacement::restore(QWidget* window, QWidget* mainWindow, bool designedMaximized) const
{
    if (!window)
        return false;
    const QByteArray section = m_section.toLatin1();
    const IniFile file(m_fileName);
    int left = file.readInt(section, "Left", 0);
    int top = file.readInt(section, "Top", 0);
    int right = file.readInt(section, "Right", 0);
    int bottom = file.readInt(section, "Bottom", 0);
    const bool maximized = file.readBool(section, "Maximized", designedMaximized);

    // A rectangle without area is as good as none: it could only come from a damaged file.
    if (bottom != 0 && right > left && bottom > top) {
        const QRect screen = m_screen.toPixels(m_screen.geometry);
        const int screenRight = screen.x() + screen.width();
        const int screenBottom = screen.y() + screen.height();
        if (right > screenRight) {
            left -= right - screenRight;
            right = screenRight;
        }
        if (bottom > screenBottom) {
            top -= bottom - screenBottom;
            bottom = screenBottom;
        }
        // A screen that has gone from the left or above (a second monitor unplugged) would leave the
        // window out of reach; bring it to the edge.
        if (right <= screen.x()) {
            right += screen.x() - left;
            left = screen.x();
        }
        if (bottom <= screen.y()) {
            bottom += screen.y() - top;
            top = screen.y();
        }
        window->setGeometry(m_screen.fromPixels(QRect(left, top, right - left, bottom - top)));
    } else {
        PlaceWindow(window, mainWindow, m_screen);
    }
    if (maximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    return save(window);
}

QString WindowClassName(const QWidget* window)
{
    QString name = QString::fromLatin1(window->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QStringLiteral("::"));
    return colons < 0 ? name : name.sliced(colons + 2);
}

bool SaveWindowPlacement(const QWidget* window, const QString& fileName)
{
    if (!window)
        return false;
    return WindowPlacement(fileName, WindowClassName(window), ScreenInfo::of(window)).save(window);
}

bool RestoreWindowPlacement(QWidget* window, const QString& fileName, QWidget* mainWindow, bool designedMaximized)
{
    if (!window)
        return false;
    return WindowPlacement(fileName, WindowClassName(window), ScreenInfo::of(window))
        .restore(window, mainWindow, designedMaximized);
}

} // namespace quorvo
