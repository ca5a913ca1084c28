#pragma once

#include "mainwindow/ScreenInfo.h"

#include <QString>

class QWidget;

namespace quorvo {

// A window's normal (not maximized) rectangle and maximized state in the preferences file, in the
// section "<class>_Placement", with the desktop's dots per inch appended above 96
// ("TMainScreen_Placement120"), so that each resolution keeps its own placement. The keys are Left, Top,
// Right and Bottom (right and bottom exclusive, in screen pixels) and Maximized; Bottom 0 means nothing
// is saved.
class WindowPlacement
{
public:
    // className names the section ("TMainScreen", "TPreviewForm").
    WindowPlacement(QString fileName, QString className, ScreenInfo screen);

    const QString& sectionName() const { return m_section; }

    // Writes the five keys in one file replacement; false when the file could not be written.
    bool save(const QWidget* window) const;

    // Gives the window its saved rectangle, moved into the screen where it sticks out to the right or
    // below; with nothing saved it is placed like a dialog (PlaceWindow, with mainWindow). Maximizes it
    // when saved so, or when nothing is saved and it is designed to open maximized. Then saves at once,
    // so that the file holds the placement in force; returns that save's result. Does not show the window.
    bool restore(QWidget* window, QWidget* mainWindow, bool designedMaximized = false) const;

    static QString sectionName(const QString& className, int logicalDpi);

private:
    QString m_fileName;
    QString m_section;
    ScreenInfo m_screen;
};

// The window's class name without its namespace: "TMainScreen" for quorvo::TMainScreen.
QString WindowClassName(const QWidget* window);

// The program's calls: the section named after the window's class, the window's own screen.
bool SaveWindowPlacement(const QWidget* window, const QString& fileName);
bool RestoreWindowPlacement(QWidget* window, const QString& fileName, QWidget* mainWindow,
                            bool designedMaximized = false);

} // namespace quorvo
