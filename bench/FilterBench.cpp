// The filter and the File > Delete walks over 100 000 generated tasks, against SQLite doing the same work
// on the same tasks in the same process. Each row reports engine_ms, sqlite_ms and their ratio.
#include "datetime/DateFormats.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"
#include "tasks/BulkDeletion.h"
#include "tasks/FilterExpression.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDate>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using namespace quorvo;
namespace fs = std::filesystem;

constexpr std::uint32_t kTasks = 100000;

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

void report(benchmark::State& state, double engineMs, double sqliteMs)
{
    state.SetIterationTime(engineMs / 1000.0);
    state.counters["engine_ms"] = engineMs;
    state.counters["sqlite_ms"] = sqliteMs;
    state.counters["ratio"] = engineMs / sqliteMs;
}

fs::path workDir()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("quorvo-filter-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::atexit(
            [] { fs::remove_all(fs::temp_directory_path() / ("quorvo-filter-bench-" + std::to_string(::getpid()))); });
        return d;
    }();
    return dir;
}

xbase::TableOptions noSync()
{
    xbase::TableOptions options;
    options.sync = false;
    return options;
}

// A fresh generated task table with its five tags, opened shared as the program opens it, in date order.
std::unique_ptr<xbase::Table> taskTable(const std::string& name)
{
    const fs::path path = workDir() / name;
    for (const char* extension : {".DBF", ".FPT", ".CDX", ".JNL"})
        fs::remove(fs::path(path).replace_extension(extension));
    check(TaskGenerator::createTable(path.string(), kTasks, {}).ok(), "generate");
    auto table = xbase::Table::open(path.string(), xbase::OpenMode::Shared, noSync());
    check(table.ok(), "open");
    check((*table)->setOrder((*table)->tagOrder("DATETIME")).ok(), "order");
    return std::move(*table);
}

// The same tasks in SQLite, with the five tags as indexes.
sqlite3* sqliteCopy(xbase::Table& table, const std::string& name)
{
    const std::string path = (workDir() / name).string();
    fs::remove(path);
    sqlite3* db = nullptr;
    check(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "sqlite open");
    sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=DELETE;", nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE tasks(date TEXT, time TEXT, descript TEXT, done INTEGER, keys TEXT, priority TEXT, "
                 "deleted INTEGER DEFAULT 0)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tasks VALUES(?,?,?,?,?,?,0)", -1, &insert, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    check(table
              .scan([&](std::uint32_t, std::string_view record) {
                  auto field = [&](int number) {
                      const xbase::FieldInfo& f = table.field(number);
                      return std::string(record.substr(f.offset, f.width));
                  };
                  const std::string date = field(TaskField::DATE), time = field(TaskField::TIME),
                                    descript = field(TaskField::DESCRIPT), keys = field(TaskField::KEYS),
                                    priority = field(TaskField::PRIORITY);
                  sqlite3_bind_text(insert, 1, date.c_str(), -1, SQLITE_TRANSIENT);
                  sqlite3_bind_text(insert, 2, time.c_str(), -1, SQLITE_TRANSIENT);
                  sqlite3_bind_text(insert, 3, descript.c_str(), -1, SQLITE_TRANSIENT);
                  sqlite3_bind_int(insert, 4, field(TaskField::DONE) == "T");
                  sqlite3_bind_text(insert, 5, keys.c_str(), -1, SQLITE_TRANSIENT);
                  sqlite3_bind_text(insert, 6, priority.c_str(), -1, SQLITE_TRANSIENT);
                  check(sqlite3_step(insert) == SQLITE_DONE, "sqlite insert");
                  sqlite3_reset(insert);
                  return true;
              })
              .ok(),
          "scan");
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(insert);
    sqlite3_exec(db,
                 "CREATE INDEX datetime ON tasks(date || time) WHERE deleted = 0;"
                 "CREATE INDEX descript ON tasks(upper(descript)) WHERE deleted = 0;"
                 "CREATE INDEX done ON tasks(done) WHERE deleted = 0;"
                 "CREATE INDEX keys ON tasks(upper(keys)) WHERE deleted = 0;"
                 "CREATE INDEX priority ON tasks(upper(priority) || date || time) WHERE deleted = 0;",
                 nullptr, nullptr, nullptr);
    return db;
}

long sqliteCount(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    check(sqlite3_step(statement) == SQLITE_ROW, "sqlite count");
    const long count = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return count;
}

// The default filter (done tasks hidden) with a key words filter: build the query, apply it, count the view.
void BM_FilterDefaultPlusKeyWords(benchmark::State& state)
{
    auto table = taskTable("FILTER.DBF");
    sqlite3* db = sqliteCopy(*table, "filter.sqlite");
    FilterCriteria criteria;
    criteria.keysFilterText = QStringLiteral("work, home");
    for (auto _ : state) {
        std::uint32_t engineCount = 0;
        const double engine = millisecondsOf([&] {
            const std::optional<QString> expression = FilterExpression::build(criteria, QDate(2026, 1, 1));
            check(expression && FilterExpression::apply(*table, *expression).ok(), "apply");
            engineCount = table->queryRecCount().value();
        });
        long sqliteRows = 0;
        const double sqlite = millisecondsOf([&] {
            sqliteRows = sqliteCount(db, "SELECT count(*) FROM tasks WHERE deleted = 0 AND done = 0 AND "
                                         "(instr(upper(keys), 'WORK') > 0 OR instr(upper(keys), 'HOME') > 0)");
        });
        check(long(engineCount) == sqliteRows, "the two views differ");
        check(FilterExpression::apply(*table, QString()).ok(), "clear");
        state.counters["view"] = engineCount;
        report(state, engine, sqlite);
    }
    sqlite3_close(db);
}

void BM_DeleteAllMarkedDone(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto table = taskTable("DONE.DBF");
        sqlite3* db = sqliteCopy(*table, "done.sqlite");
        check(FilterExpression::apply(*table, QStringLiteral("(.not.DONE)")).ok(), "filter");
        state.ResumeTiming();
        BulkDeletion::Outcome outcome;
        const double engine = millisecondsOf([&] {
            outcome = BulkDeletion::run(*table, BulkDeletion::Command::AllMarkedDone, DateFormats::current(),
                                        *DateTime::fromDate(2026, 1, 1));
        });
        const double sqlite = millisecondsOf([&] {
            sqlite3_exec(db, "BEGIN; UPDATE tasks SET deleted = 1 WHERE done = 1 AND deleted = 0; COMMIT;", nullptr,
                         nullptr, nullptr);
        });
        check(outcome.status.ok(), "walk");
        check(outcome.deleted == sqlite3_changes(db), "the two deleted different tasks");
        state.PauseTiming();
        check(table->verifyIndex().ok(), "the tags are wrong after the walk");
        sqlite3_close(db);
        state.ResumeTiming();
        state.counters["deleted"] = outcome.deleted;
        report(state, engine, sqlite);
    }
}

// Delete All Tasks: close, reopen exclusively, empty, reopen shared in date order with the filter.
void BM_DeleteAllTasks(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = (workDir() / "ALL.DBF").string();
        auto made = taskTable("ALL.DBF");
        sqlite3* db = sqliteCopy(*made, "all.sqlite");
        made.reset();
        TodoTable table;
        check(table.open(QString::fromStdString(path), false, noSync()).ok(), "open");
        state.ResumeTiming();
        const double engine = millisecondsOf([&] {
            check(table.close().ok(), "close");
            check(table.open(QString::fromStdString(path), true, noSync()).ok(), "exclusive");
            check(table.engine().zap().ok(), "zap");
            check(table.open(QString::fromStdString(path), false, noSync()).ok(), "shared");
            xbase::Table& t = table.engine();
            check(t.setOrder(t.tagOrder("DATETIME")).ok(), "order");
            check(FilterExpression::apply(t, QStringLiteral("(.not.DONE)")).ok(), "filter");
        });
        const double sqlite = millisecondsOf([&] { sqlite3_exec(db, "DELETE FROM tasks", nullptr, nullptr, nullptr); });
        check(table.engine().recCount().value() == 0, "tasks left");
        sqlite3_close(db);
        report(state, engine, sqlite);
    }
}

} // namespace

BENCHMARK(BM_FilterDefaultPlusKeyWords)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DeleteAllMarkedDone)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteAllTasks)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
