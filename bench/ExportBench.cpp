// The three exports of a whole 100 000-task view, a quarter of the tasks with notes, notes copied: the walk in
// date-and-time order, the note lines, the writer and the file. The same writer fed from SQLite (the same
// rows in the same order, notes included) gives the ratio.
#include "datetime/DateFormats.h"
#include "reports/ExportSink.h"
#include "reports/HtmlExport.h"
#include "reports/NoteLines.h"
#include "reports/ReportExport.h"
#include "reports/RtfExport.h"
#include "reports/TextExport.h"
#include "store/SystemClock.h"
#include "store/TaskDisplay.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "store/xbase/Table.h"

#include <QApplication>
#include <QSaveFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <time.h>

#include <unistd.h>

namespace {

using namespace quorvo;
namespace fs = std::filesystem;

constexpr std::uint32_t kTasks = 100000;

fs::path workDir()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("quorvo-exportbench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::atexit(
            [] { fs::remove_all(fs::temp_directory_path() / ("quorvo-exportbench-" + std::to_string(::getpid()))); });
        return d;
    }();
    return dir;
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "benchmark step failed: %s\n", what);
        std::abort();
    }
}

double millisecondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this thread: on a shared machine it tells the work apart from the waiting.
double cpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

void ensureApplication()
{
    // Note lines are measured in a font, which needs a GUI application; nothing is shown.
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quorvo_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

const DateFormats& dateFormats()
{
    static DateFormats formats(RegionalSettings::fallback(), SystemClock::instance());
    return formats;
}

xbase::TableOptions noSync()
{
    xbase::TableOptions options;
    options.sync = false;
    return options;
}

std::string taskTable()
{
    static const std::string path = [] {
        const std::string p = (workDir() / "QVTSK.DBF").string();
        check(TaskGenerator::createTable(p, kTasks, TaskGenerator::Options()).ok(), "generate");
        return p;
    }();
    return path;
}

std::string sqliteCopy()
{
    static const std::string path = [] {
        const std::string p = (workDir() / "tasks.sqlite").string();
        auto table = xbase::Table::open(taskTable(), xbase::OpenMode::Shared, noSync());
        check(table.ok(), "open for copy");
        sqlite3* db = nullptr;
        check(sqlite3_open(p.c_str(), &db) == SQLITE_OK, "sqlite open");
        sqlite3_exec(db,
                     "PRAGMA synchronous=OFF; CREATE TABLE tasks(date TEXT, time TEXT, descript TEXT, note TEXT, "
                     "done INTEGER, priority TEXT); BEGIN",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO tasks(rowid, date, time, descript, note, done, priority) "
                           "VALUES(?,?,?,?,?,?,?)",
                           -1, &insert, nullptr);
        xbase::Table& t = **table;
        check(t.setOrder(0).ok(), "record order");
        for (auto s = t.goTop(); s && !t.eof(); s = t.skip(1)) {
            const std::string fields[] = {t.getString(TaskField::DATE), t.getString(TaskField::TIME),
                                          t.getTrimString(TaskField::DESCRIPT), *t.getMemo(TaskField::NOTE)};
            sqlite3_bind_int64(insert, 1, t.recNo());
            for (int i = 0; i < 4; ++i)
                sqlite3_bind_text(insert, i + 2, fields[i].c_str(), static_cast<int>(fields[i].size()),
                                  SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 6, t.getLogical(TaskField::DONE) ? 1 : 0);
            const std::string priority = t.getString(TaskField::PRIORITY);
            sqlite3_bind_text(insert, 7, priority.c_str(), static_cast<int>(priority.size()), SQLITE_TRANSIENT);
            check(sqlite3_step(insert) == SQLITE_DONE, "sqlite insert");
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT; CREATE INDEX datetime ON tasks(date || time)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return p;
    }();
    return path;
}

std::unique_ptr<ExportWriter> writerFor(int format)
{
    switch (format) {
    case 0:
        return std::make_unique<HtmlExport>("Quorvo", "FFFF80");
    case 1:
        return std::make_unique<RtfExport>("Quorvo");
    default:
        return std::make_unique<TextExport>("Quorvo");
    }
}

// The same export over SQLite: rows in date-and-time order, display texts made per row, the same note lines
// and writer, the same kind of file.
void sqliteExport(sqlite3* db, ExportWriter& writer, const QString& fileName)
{
    const QFont font = NoteLines::reportFont();
    const NoteLines noteLines(font, writer.noteWrapWidth(font));
    QSaveFile file(fileName);
    check(file.open(QIODevice::WriteOnly), "sqlite output");
    ExportSink out(file);
    writer.head(out);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT date, time, descript, note, done, priority FROM tasks ORDER BY date || time, rowid",
                       -1, &select, nullptr);
    TaskWalk::Task task;
    while (sqlite3_step(select) == SQLITE_ROW) {
        auto text = [&](int column) {
            return std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(select, column)),
                                    static_cast<std::size_t>(sqlite3_column_bytes(select, column)));
        };
        task.description = text(2);
        task.date = TaskDisplay::ShowDate(text(0), dateFormats()).toLatin1();
        task.time = TaskDisplay::ShowTime(text(1), dateFormats()).toLatin1();
        task.priority = TaskDisplay::ShowPriority(text(5)).toLatin1();
        task.done = TaskDisplay::IsDone(sqlite3_column_int(select, 4) != 0).toLatin1();
        writer.task(out, task, noteLines.lines(text(3)));
    }
    sqlite3_finalize(select);
    writer.tail(out);
    check(out.flush() && file.commit(), "sqlite commit");
}

// Arg: 0 HTML, 1 RTF, 2 text.
void BM_ExportWholeView(benchmark::State& state)
{
    ensureApplication();
    auto opened = xbase::Table::open(taskTable(), xbase::OpenMode::Shared, noSync());
    check(opened.ok(), "open");
    xbase::Table& table = **opened;
    check(table.setOrder(table.tagOrder("DATETIME")).ok(), "order");
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(sqliteCopy().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK, "sqlite");
    const QString engineFile = QString::fromStdString((workDir() / "engine.out").string());
    const QString sqliteFile = QString::fromStdString((workDir() / "sqlite.out").string());
    for (auto _ : state) {
        auto writer = writerFor(static_cast<int>(state.range(0)));
        const double cpuBefore = cpuMilliseconds();
        const double engine = millisecondsOf([&] {
            ReportExport exporter(table, dateFormats());
            check(exporter.write(engineFile, *writer, true).ok, "export");
        });
        state.counters["engine_cpu_ms"] = cpuMilliseconds() - cpuBefore;
        auto sqliteWriter = writerFor(static_cast<int>(state.range(0)));
        const double sqlite = millisecondsOf([&] { sqliteExport(db, *sqliteWriter, sqliteFile); });
        state.SetIterationTime(engine / 1000.0);
        state.counters["engine_ms"] = engine;
        state.counters["sqlite_ms"] = sqlite;
        state.counters["ratio"] = engine / sqlite;
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(engineFile.toStdString()));
    sqlite3_close(db);
}

} // namespace

BENCHMARK(BM_ExportWholeView)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
