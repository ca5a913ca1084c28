// The iCalendar export of 100 000 generated tasks with their notes, from the walk over the table to the last
// byte in memory, as the report dialog and the tool write it.
#include "datetime/DateFormats.h"
#include "reports/ICalExport.h"
#include "reports/ReportExport.h"
#include "store/TaskGenerator.h"
#include "store/xbase/Table.h"
#include "tasks/TaskUid.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace quorvo;

constexpr std::uint32_t kTasks = 100000;

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quorvo_bench";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

const QString& generatedTable()
{
    static const QString path = [] {
        auto* dir = QDir(QStringLiteral("/dev/shm")).exists() ? new QTemporaryDir(QStringLiteral("/dev/shm/qvical"))
                                                              : new QTemporaryDir();
        const QString file = dir->filePath(QStringLiteral("QVTSK.DBF"));
        if (!TaskGenerator::createTable(file.toStdString(), kTasks, {}).ok()) {
            std::fprintf(stderr, "cannot generate the task table\n");
            std::abort();
        }
        return file;
    }();
    return path;
}

void BM_ICalExport(benchmark::State& state)
{
    ensureApplication();
    auto opened = xbase::Table::open(generatedTable().toStdString(), xbase::OpenMode::Shared);
    if (!opened || !(*opened)->setOrder((*opened)->tagOrder("DATETIME")).ok()) {
        state.SkipWithError("cannot open the task table");
        return;
    }
    ReportExport exporter(**opened, DateFormats::current());
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ICalExport writer("Quorvo", TaskUid::tableTag(generatedTable()), QDateTime::currentDateTimeUtc());
        if (!exporter.write(buffer, writer, true).ok) {
            state.SkipWithError("the export failed");
            return;
        }
        bytes = buffer.size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

} // namespace

BENCHMARK(BM_ICalExport)->Unit(benchmark::kMillisecond)->Iterations(3);
