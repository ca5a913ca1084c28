// Import of 10 000 VTODOs into an empty task table, as other calendar programs write them (a time zone, due
// times in it and in UTC, folded descriptions with escapes, categories, an alarm inside each to-do): the file
// read by libical into tasks, then appended in one transaction. The second row is the window's way, which
// also takes the images its undo step needs. A fresh table for each iteration, made outside the timing; the
// files live in /dev/shm where it exists.
#include "datetime/DateFormats.h"
#include "store/TaskGenerator.h"
#include "store/TodoTable.h"
#include "tasks/ICalImport.h"
#include "tasks/ICalImportPreview.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace quorvo;

constexpr int kToDos = 10000;

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "benchmark step failed: %s\n", what);
        std::abort();
    }
}

const QByteArray& calendarFile()
{
    static const QByteArray file = [] {
        QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Elsewhere//Calendar 9//EN\r\n"
                         "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\n"
                         "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
                         "END:STANDARD\r\nBEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\n"
                         "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
                         "END:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
        for (int i = 0; i < kToDos; ++i) {
            const QByteArray n = QByteArray::number(i);
            const QByteArray day = QByteArray::number(10 + i % 18);
            ics += "BEGIN:VTODO\r\nUID:" + n + "-a1b2c3@elsewhere.example\r\nDTSTAMP:20250101T000000Z\r\n";
            ics += "SUMMARY:Task number " + n + " with a comma\\, a semicolon\\; and more words after it\r\n";
            if (i % 3 == 0)
                ics += "DUE;TZID=Europe/Berlin:202503" + day + "T093000\r\n";
            else if (i % 3 == 1)
                ics += "DUE:202504" + day + "T153000Z\r\n";
            else
                ics += "DUE;VALUE=DATE:202505" + day + "\r\n";
            ics += "PRIORITY:" + QByteArray::number(1 + i % 9) + "\r\n";
            ics += i % 4 == 0 ? "STATUS:COMPLETED\r\n" : "STATUS:NEEDS-ACTION\r\n";
            ics += "CATEGORIES:home,errand" + QByteArray::number(i % 50) + "\r\n";
            ics += "DESCRIPTION:First line of the notes\\nsecond line of the notes that goes on long enough to\r\n"
                   "  be folded by the program that wrote it\r\n";
            ics += "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n";
            ics += "END:VTODO\r\n";
        }
        return ics + "END:VCALENDAR\r\n";
    }();
    return file;
}

// An empty task table in a fresh directory, opened as the program opens it.
struct EmptyTable
{
    QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/qvimport")
                                                                : QDir::tempPath() + QStringLiteral("/qvimport")};
    TodoTable table;

    EmptyTable()
    {
        const QString path = dir.filePath(QStringLiteral("QVTSK.DBF"));
        require(TaskGenerator::createTable(path.toStdString(), 0, {}).ok(), "create");
        xbase::TableOptions options;
        options.sync = false;
        require(table.open(path, false, options).ok(), "open");
    }
};

void BM_ICalImport(benchmark::State& state)
{
    const QByteArray& file = calendarFile();
    for (auto _ : state) {
        EmptyTable target;
        const auto start = std::chrono::steady_clock::now();
        std::optional<ICalImport::Plan> plan = ICalImport::read(file, "0000000000000000", nullptr);
        require(plan && plan->tasks.size() == std::size_t(kToDos), "read");
        const ICalImport::Outcome outcome = ICalImport::apply(target.table.engine(), *plan);
        require(outcome.status.ok() && outcome.added == kToDos, "apply");
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}

void BM_ICalImportUndoable(benchmark::State& state)
{
    const QByteArray& file = calendarFile();
    for (auto _ : state) {
        EmptyTable target;
        const auto start = std::chrono::steady_clock::now();
        std::optional<ICalImport::Plan> plan = ICalImport::read(file, "0000000000000000", nullptr);
        require(plan.has_value(), "read");
        auto preview = ICalImportPreview::of(target.table.engine(), std::move(*plan), DateFormats::current());
        require(preview.ok(), "preview");
        const ICalImportPreview::Made made = preview->make(target.table.engine());
        require(made.outcome.status.ok() && made.outcome.added == kToDos && made.step, "make");
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

} // namespace

// Budget: 1 s for the 10 000 to-dos.
BENCHMARK(BM_ICalImport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ICalImportUndoable)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
