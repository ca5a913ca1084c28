// The three task-entry dialogs, each created, shown and painted once per iteration: the grid opens them many
// times a day, so each must be on the screen within 30 ms.
#include "datetime/DateFormats.h"
#include "dialogs/TDateSelector.h"
#include "dialogs/TSetTimeDialog.h"
#include "dialogs/TTaskEditor.h"
#include "store/SystemClock.h"
#include "ui/HelpService.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

namespace {

using namespace quorvo;

class NoHelp final : public HelpService
{
public:
    void showTopic(int) override {}
    void openWebPage(const QUrl&) override {}
};

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

DateFormats& formats()
{
    static DateFormats& instance = []() -> DateFormats& {
        static DateFormats made(RegionalSettings::fromLocale(QLocale::system()), SystemClock::instance());
        made.SaveUserDateFormats();
        return made;
    }();
    return instance;
}

// Create, fill the first screen's worth of painting, show, free: what a user waits for.
void timeDialog(benchmark::State& state, const std::function<std::unique_ptr<QDialog>()>& create)
{
    ensureApplication();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<QDialog> dialog = create();
        dialog->show();
        QApplication::processEvents();
        QImage image(dialog->size(), QImage::Format_ARGB32_Premultiplied);
        dialog->render(&image);
        dialog->hide();
        dialog.reset();
        const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        state.SetIterationTime(elapsed.count());
    }
}

NoHelp& help()
{
    static NoHelp instance;
    return instance;
}

void BM_DialogTimePicker(benchmark::State& state)
{
    timeDialog(state, [] { return std::make_unique<TSetTimeDialog>(formats(), help()); });
}

void BM_DialogDatePicker(benchmark::State& state)
{
    timeDialog(state, [] { return std::make_unique<TDateSelector>(formats(), help()); });
}

void BM_DialogTaskEditor(benchmark::State& state)
{
    const QStringList keyWords = {"home", "work", "school", "Smith", "Jones", "urgent", "later"};
    timeDialog(state, [&keyWords] { return std::make_unique<TTaskEditor>(formats(), keyWords, help()); });
}

} // namespace

BENCHMARK(BM_DialogTimePicker)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_DialogDatePicker)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_DialogTaskEditor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
