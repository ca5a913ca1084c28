// The printed report laid out into the preview's page stream: every option on (check boxes, key words,
// notes, double spacing) over generated tasks, a quarter of them with notes, with the status shown at
// every page as the status window shows it.
#include "datetime/DateFormats.h"
#include "dialogs/TPreviewForm.h"
#include "reports/PageStream.h"
#include "reports/PageStreamDevice.h"
#include "reports/PrintedReportLayout.h"
#include "reports/ReportEngine.h"
#include "store/TaskGenerator.h"
#include "store/TodoTable.h"
#include "ui/TFilePreview.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

using namespace quorvo;
namespace fs = std::filesystem;

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

std::string tableOf(int tasks)
{
    const fs::path dir = fs::temp_directory_path() / ("quorvo-printbench-" + std::to_string(::getpid()));
    static const bool cleanup = [] {
        std::atexit(
            [] { fs::remove_all(fs::temp_directory_path() / ("quorvo-printbench-" + std::to_string(::getpid()))); });
        return true;
    }();
    (void)cleanup;
    fs::create_directories(dir);
    const std::string path = (dir / ("T" + std::to_string(tasks) + ".DBF")).string();
    if (!fs::exists(path)) {
        if (!TaskGenerator::createTable(path, static_cast<std::uint32_t>(tasks), TaskGenerator::Options()).ok()) {
            std::fprintf(stderr, "cannot generate %s\n", path.c_str());
            std::abort();
        }
    }
    return path;
}

void BM_PrintedReportLayout(benchmark::State& state)
{
    ensureApplication();
    const int tasks = static_cast<int>(state.range(0));
    TodoTable table;
    xbase::TableOptions options;
    options.sync = false;
    if (!table.open(QString::fromStdString(tableOf(tasks)), false, options).ok()) {
        state.SkipWithError("cannot open the table");
        return;
    }
    PrintRunSettings settings;
    settings.title = QStringLiteral("Quorvo");
    settings.printCheckbox = settings.printKeywords = settings.printMemo = settings.doubleSpace = true;
    QFont wrapFont = QApplication::font();
    wrapFont.setPixelSize(13);
    int pages = 0;
    for (auto _ : state) {
        if (!table.engine().goTop().ok()) {
            state.SkipWithError("goTop failed");
            return;
        }
        PageStream stream(QSizeF(8.5, 11));
        ReportEngine engine;
        PrintedReportLayout layout(engine, table, DateFormats::current(), settings);
        layout.setWrapFont(wrapFont);
        layout.attach();
        // What the status window does at each page: show the text, let pending events through.
        engine.setStatusSink([](const QString&) { QCoreApplication::processEvents(); });
        PageStreamDevice device(stream);
        engine.execute(device);
        pages = stream.pageCount();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}

// From the end of a preview run to its first page painted: the preview window made, opened at page width
// and its page drawn from the stream.
void BM_PreviewFirstPage(benchmark::State& state)
{
    ensureApplication();
    TodoTable table;
    xbase::TableOptions options;
    options.sync = false;
    if (!table.open(QString::fromStdString(tableOf(1000)), false, options).ok() || !table.engine().goTop().ok()) {
        state.SkipWithError("cannot open the table");
        return;
    }
    PrintRunSettings settings;
    settings.printKeywords = settings.printMemo = true;
    PageStream stream(QSizeF(8.5, 11));
    {
        ReportEngine engine;
        PrintedReportLayout layout(engine, table, DateFormats::current(), settings);
        layout.attach();
        PageStreamDevice device(stream);
        engine.execute(device);
    }
    for (auto _ : state) {
        TPreviewForm form(QString(), nullptr, nullptr);
        form.setPageStream(&stream);
        form.setOpeningZoom(TPreviewForm::PageWidth);
        form.show();
        form.FormActivate();
        const QPixmap shown = form.FilePreview1->pageWidget()->grab();
        benchmark::DoNotOptimize(shown.cacheKey());
    }
    state.counters["pages"] = stream.pageCount();
}

} // namespace

BENCHMARK(BM_PreviewFirstPage)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PrintedReportLayout)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
