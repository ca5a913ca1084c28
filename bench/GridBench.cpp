// The task grid over 100 000 generated tasks: opening the table and showing the first screen, reading a
// screen of rows at random scroll positions, and painting the real grid while it scrolls. The first two also
// do the same work over SQLite (rows found through an index, read by rowid) and report the ratio.
#include "datetime/DateFormats.h"
#include "mainwindow/TaskGridDelegate.h"
#include "mainwindow/TaskGridLook.h"
#include "mainwindow/TaskViewModel.h"
#include "store/SystemClock.h"
#include "store/TaskDisplay.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace quorvo;
namespace fs = std::filesystem;

constexpr int kScreenRows = 40;
constexpr int kScrollPositions = 1000;
// The roles a grid asks of each cell it paints, ours for the emphasis among them.
constexpr int kPaintRoles[] = {Qt::DisplayRole,
                               Qt::FontRole,
                               Qt::TextAlignmentRole,
                               Qt::ForegroundRole,
                               Qt::BackgroundRole,
                               Qt::DecorationRole,
                               Qt::CheckStateRole,
                               TaskViewModel::DoneRole,
                               TaskViewModel::PriorityRole,
                               TaskViewModel::DateRole};

fs::path workDir()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("quorvo-gridbench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::atexit(
            [] { fs::remove_all(fs::temp_directory_path() / ("quorvo-gridbench-" + std::to_string(::getpid()))); });
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

xbase::TableOptions noSync()
{
    xbase::TableOptions options;
    options.sync = false;
    return options;
}

// A generated task table of that many tasks, made once per size.
QString taskTable(std::uint32_t tasks)
{
    static std::map<std::uint32_t, QString> made;
    if (auto it = made.find(tasks); it != made.end())
        return it->second;
    const fs::path dir = workDir() / std::to_string(tasks);
    fs::create_directories(dir);
    const QString path = QString::fromStdString((dir / "QVTSK.DBF").string());
    check(TaskGenerator::createTable(path.toStdString(), tasks, TaskGenerator::Options()).ok(), "generate");
    made.emplace(tasks, path);
    return path;
}

// The same tasks in SQLite, rowid = record number, with an index for the date-and-time order.
std::string sqliteCopy(std::uint32_t tasks)
{
    const std::string path = (workDir() / ("tasks" + std::to_string(tasks) + ".sqlite")).string();
    if (fs::exists(path))
        return path;
    auto table = xbase::Table::open(taskTable(tasks).toStdString(), xbase::OpenMode::Shared, noSync());
    check(table.ok(), "open for copy");
    sqlite3* db = nullptr;
    check(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "sqlite open");
    sqlite3_exec(db,
                 "PRAGMA synchronous=OFF; CREATE TABLE tasks(date TEXT, time TEXT, descript TEXT, done INTEGER, "
                 "keys TEXT, priority TEXT); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tasks(rowid, date, time, descript, done, keys, priority) VALUES(?,?,?,?,?,?,?)",
                       -1, &insert, nullptr);
    xbase::Table& t = **table;
    check(t.setOrder(0).ok(), "record order");
    for (auto s = t.goTop(); s && !t.eof(); s = t.skip(1)) {
        sqlite3_bind_int64(insert, 1, t.recNo());
        int column = 2;
        for (int field : {TaskField::DATE, TaskField::TIME, TaskField::DESCRIPT}) {
            const std::string value = t.getString(field);
            sqlite3_bind_text(insert, column++, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        }
        sqlite3_bind_int(insert, column++, t.getLogical(TaskField::DONE) ? 1 : 0);
        for (int field : {TaskField::KEYS, TaskField::PRIORITY}) {
            const std::string value = t.getString(field);
            sqlite3_bind_text(insert, column++, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        }
        check(sqlite3_step(insert) == SQLITE_DONE, "sqlite insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT; CREATE INDEX datetime ON tasks(date || time)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

const DateFormats& dateFormats()
{
    static DateFormats formats(RegionalSettings::fallback(), SystemClock::instance());
    return formats;
}

const char* queryFor(benchmark::State& state)
{
    return state.range(0) ? "not DONE" : "";
}

void readScreen(const TaskViewModel& model, int first, std::size_t& sink)
{
    const int last = std::min(first + kScreenRows, model.rowCount());
    for (int row = first; row < last; ++row) {
        for (int column = 0; column < TaskViewModel::ColumnCount; ++column) {
            const QModelIndex index = model.index(row, column);
            for (int role : kPaintRoles)
                sink += static_cast<std::size_t>(index.data(role).isValid());
            sink += static_cast<std::size_t>(index.data().toString().size());
        }
    }
}

// What a grid over SQLite does for one screen: each row by its rowid, its display texts computed.
struct SqliteRows
{
    explicit SqliteRows(sqlite3* db)
    {
        sqlite3_prepare_v2(db, "SELECT date, time, descript, done, keys, priority FROM tasks WHERE rowid = ?", -1,
                           &byRowid, nullptr);
    }
    ~SqliteRows() { sqlite3_finalize(byRowid); }

    void readScreen(const std::vector<std::int64_t>& rowids, int first, std::size_t& sink)
    {
        const int last = std::min<int>(first + kScreenRows, static_cast<int>(rowids.size()));
        for (int row = first; row < last; ++row) {
            sqlite3_bind_int64(byRowid, 1, rowids[static_cast<std::size_t>(row)]);
            if (sqlite3_step(byRowid) == SQLITE_ROW) {
                auto text = [&](int column) {
                    return std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(byRowid, column)),
                                            static_cast<std::size_t>(sqlite3_column_bytes(byRowid, column)));
                };
                sink += static_cast<std::size_t>(
                    TaskDisplay::ShowDate(text(0), dateFormats()).size() +
                    TaskDisplay::ShowTime(text(1), dateFormats()).size() + Windows1252::toUnicode(text(2)).size() +
                    TaskDisplay::IsDone(sqlite3_column_int(byRowid, 3) != 0).size() +
                    Windows1252::toUnicode(text(4)).size() + TaskDisplay::ShowPriority(text(5)).size());
            }
            sqlite3_reset(byRowid);
        }
    }

    sqlite3_stmt* byRowid = nullptr;
};

std::vector<std::int64_t> sqliteView(sqlite3* db, bool notDone)
{
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       notDone ? "SELECT rowid FROM tasks WHERE done = 0 ORDER BY date || time, rowid"
                               : "SELECT rowid FROM tasks ORDER BY date || time, rowid",
                       -1, &select, nullptr);
    std::vector<std::int64_t> rowids;
    while (sqlite3_step(select) == SQLITE_ROW)
        rowids.push_back(sqlite3_column_int64(select, 0));
    sqlite3_finalize(select);
    return rowids;
}

void report(benchmark::State& state, double engineMs, double sqliteMs)
{
    state.SetIterationTime(engineMs / 1000.0);
    state.counters["engine_ms"] = engineMs;
    state.counters["sqlite_ms"] = sqliteMs;
    state.counters["ratio"] = engineMs / sqliteMs;
}

// Open shared, take the date-and-time order (and the default filter that hides done tasks), build the view,
// read the first screen.
void BM_GridOpenViewFirstScreen(benchmark::State& state)
{
    const QString path = taskTable(100000);
    const std::string sqlitePath = sqliteCopy(100000);
    std::size_t sink = 0;
    int rows = 0;
    for (auto _ : state) {
        const double engine = millisecondsOf([&] {
            TodoTable table;
            check(table.open(path, false, noSync()).ok(), "open");
            check(table.engine().setOrder(1).ok() && table.engine().setQuery(queryFor(state)).ok(), "view");
            TaskViewModel model(table, dateFormats());
            check(model.refresh().ok(), "refresh");
            readScreen(model, 0, sink);
            rows = model.rowCount();
            check(table.close().ok(), "close");
        });
        const double sqlite = millisecondsOf([&] {
            sqlite3* db = nullptr;
            check(sqlite3_open_v2(sqlitePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK, "sqlite");
            const std::vector<std::int64_t> rowids = sqliteView(db, state.range(0) != 0);
            {
                SqliteRows reader(db);
                reader.readScreen(rowids, 0, sink);
            }
            sqlite3_close(db);
        });
        report(state, engine, sqlite);
    }
    benchmark::DoNotOptimize(sink);
    state.counters["rows"] = rows;
}

// kScreenRows rows at kScrollPositions random scroll positions, on a view built beforehand; the model keeps
// at most about a thousand rows, so nearly every screen reads the table.
void BM_GridRandomScreens(benchmark::State& state)
{
    const std::uint32_t tasks = static_cast<std::uint32_t>(state.range(0));
    TodoTable table;
    check(table.open(taskTable(tasks), false, noSync()).ok(), "open");
    check(table.engine().setOrder(1).ok(), "order");
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(sqliteCopy(tasks).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK, "sqlite");
    const std::vector<std::int64_t> rowids = sqliteView(db, false);
    std::mt19937 random(7);
    std::size_t sink = 0;
    for (auto _ : state) {
        TaskViewModel model(table, dateFormats());
        check(model.refresh().ok(), "refresh");
        std::vector<int> positions(kScrollPositions);
        for (int& position : positions)
            position = static_cast<int>(random() % static_cast<unsigned>(std::max(1, model.rowCount() - kScreenRows)));
        const double engine = millisecondsOf([&] {
            for (int position : positions)
                readScreen(model, position, sink);
        });
        SqliteRows reader(db);
        const double sqlite = millisecondsOf([&] {
            for (int position : positions)
                reader.readScreen(rowids, position, sink);
        });
        report(state, engine, sqlite);
        state.counters["us_per_screen"] = engine * 1000.0 / kScrollPositions;
    }
    benchmark::DoNotOptimize(sink);
    sqlite3_close(db);
}

QApplication& application()
{
    // Painting needs a GUI application; nothing is shown on any screen.
    static QApplication* app = [] {
        // Another row may have made it already.
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
            return existing;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "quorvo_bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

// The grid itself, 618 by 300 pixels, painted at kScrollPositions random scroll positions: what a user
// scrolling through the list waits for. A 10-task list is painted the same way for comparison.
void BM_GridPaintRandomScroll(benchmark::State& state)
{
    application();
    const std::uint32_t tasks = static_cast<std::uint32_t>(state.range(0));
    TodoTable table;
    check(table.open(taskTable(tasks), false, noSync()).ok(), "open");
    check(table.engine().setOrder(1).ok(), "order");
    TaskViewModel model(table, dateFormats());
    check(model.refresh().ok(), "refresh");
    TaskGridDelegate delegate(SystemClock::instance());
    delegate.setGridReady(true);
    QTableView grid;
    grid.setModel(&model);
    grid.setItemDelegate(&delegate);
    TaskGridLook::apply(&grid);
    grid.resize(618, 300);
    grid.show();
    QApplication::processEvents();
    QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    std::mt19937 random(11);
    QScrollBar* bar = grid.verticalScrollBar();
    for (auto _ : state) {
        std::vector<int> positions(kScrollPositions);
        for (int& position : positions)
            position = bar->maximum() > 0 ? static_cast<int>(random() % static_cast<unsigned>(bar->maximum())) : 0;
        const double ms = millisecondsOf([&] {
            for (int position : positions) {
                bar->setValue(position);
                grid.viewport()->render(&image);
            }
        });
        state.SetIterationTime(ms / 1000.0);
        state.counters["ms_per_frame"] = ms / kScrollPositions;
    }
    state.counters["rows"] = model.rowCount();
}

} // namespace

BENCHMARK(BM_GridOpenViewFirstScreen)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_GridRandomScreens)->Arg(100000)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_GridPaintRandomScroll)
    ->Arg(100000)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
