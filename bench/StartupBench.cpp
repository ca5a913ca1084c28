// The program's start-up as the user waits for it: the main window created over 100 000 tasks, its
// first activation (open shared, preferences, go to today, build the view) until the grid is shown.
#include "mainwindow/TMainScreen.h"
#include "store/SystemClock.h"
#include "store/TaskGenerator.h"
#include "ui/DesktopHelpService.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace quorvo;

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quorvo_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void BM_MainWindowStartup(benchmark::State& state)
{
    ensureApplication();
    QTemporaryDir temp;
    const QString dir = temp.path() + "/";
    if (!TaskGenerator::createTable((dir + "QVTSK.DBF").toStdString(), 100000, {}).ok()) {
        state.SkipWithError("could not generate the tasks");
        return;
    }
    // No reminder box: it would wait for a click.
    QFile ini(dir + "TODO.INI");
    ini.open(QIODevice::WriteOnly);
    ini.write("[Reindex]\r\nNeeded=0\r\n[Preferences]\r\nOrder=1\r\n");
    ini.close();
    DesktopHelpService help;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        TMainScreen window(help, SystemClock::instance(), dir);
        window.show();
        while (window.firstActivation())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        window.close();
    }
}

} // namespace

BENCHMARK(BM_MainWindowStartup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
