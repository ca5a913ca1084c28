#include "mainwindow/TMainScreen.h"
#include "store/Messages.h"
#include "store/ProgramDir.h"
#include "store/SystemClock.h"
#include "ui/DesktopHelpService.h"
#include "ui/ProgramIdentity.h"
#include "ui/ProgramLogo.h"
#include "ui/QMessageBoxMessages.h"
#include "ui/SingleInstanceGuard.h"

#include <QApplication>

using namespace quorvo;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    // A second copy must end before it opens any data file, so the guard comes before every window.
    SingleInstanceGuard guard(SingleInstanceGuard::keyForProgram(QCoreApplication::applicationFilePath()));
    if (!guard.claim())
        return 0;

    QApplication::setApplicationName(ProgramIdentity::title());
    QApplication::setApplicationVersion(ProgramIdentity::version());
    // The desktop matches the running windows to quorvo.desktop and its icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvo"));
    QApplication::setWindowIcon(ProgramLogo::icon());

    DesktopHelpService help;
    QMessageBoxMessages messages;
    Messages::install(&messages);
    TMainScreen window(help, SystemClock::instance(), DataDir());
    QObject::connect(&guard, &SingleInstanceGuard::activationRequested, &window, &TMainScreen::bringToFront);
    window.show();
    return QApplication::exec();
}
