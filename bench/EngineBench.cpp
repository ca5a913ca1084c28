// The table engine against SQLite on the same work, 100 000 generated tasks, in one process. Each row
// times both and reports engine_ms, sqlite_ms and their ratio (below 1 means the engine is faster).
#include "store/TaskGenerator.h"
#include "store/TaskIndexTags.h"
#include "store/TaskRecord.h"
#include "store/xbase/Table.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <time.h>
#include <vector>

namespace {

using namespace quorvo;
namespace fs = std::filesystem;

constexpr std::uint32_t kTasks = 100000;

struct Task
{
    std::string date, time, descript, note, keys, priority;
    bool done = false;
};

fs::path workDir()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("quorvo-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::atexit([] { fs::remove_all(fs::temp_directory_path() / ("quorvo-bench-" + std::to_string(::getpid()))); });
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

const std::vector<Task>& tasks()
{
    static const std::vector<Task> all = [] {
        const std::string path = (workDir() / "SOURCE.DBF").string();
        TaskGenerator::Options options;
        if (!TaskGenerator::createTable(path, kTasks, options))
            std::abort();
        auto table = xbase::Table::open(path, xbase::OpenMode::Shared, noSync());
        std::vector<Task> out;
        for (auto s = (*table)->goTop(); s && !(*table)->eof(); s = (*table)->skip(1)) {
            xbase::Table& t = **table;
            out.push_back({t.getTrimString(TaskField::DATE), t.getTrimString(TaskField::TIME),
                           t.getTrimString(TaskField::DESCRIPT), *t.getMemo(TaskField::NOTE),
                           t.getTrimString(TaskField::KEYS), t.getTrimString(TaskField::PRIORITY),
                           t.getLogical(TaskField::DONE)});
        }
        return out;
    }();
    return all;
}

double cpuMilliseconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Each row times the engine, then SQLite, then reports: the CPU times of those two calls go with the
// wall times, as on a loaded machine the wall time mostly measures the other processes.
double g_cpuMs[2] = {};
int g_timed = 0;

double millisecondsOf(const std::function<void()>& work)
{
    const double cpuStart = cpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    g_cpuMs[g_timed++ % 2] = cpuMilliseconds() - cpuStart;
    return wall;
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "benchmark step failed: %s\n", what);
        std::abort();
    }
}

// A fresh engine table holding every task.
std::unique_ptr<xbase::Table> engineTable(const std::string& name)
{
    const std::string path = (workDir() / name).string();
    fs::remove(path);
    fs::remove(fs::path(path).replace_extension(".FPT"));
    check(xbase::Table::create(path, taskTableFields()).ok(), "create");
    auto table = xbase::Table::open(path, xbase::OpenMode::Exclusive, noSync());
    check(table.ok(), "open");
    xbase::Table& t = **table;
    check(t.beginBatch().ok(), "batch");
    for (const Task& task : tasks()) {
        check(t.appendBlank().ok(), "append");
        (void)t.replace(TaskField::DATE, task.date);
        (void)t.replace(TaskField::TIME, task.time);
        (void)t.replace(TaskField::DESCRIPT, task.descript);
        if (!task.note.empty())
            (void)t.replace(TaskField::NOTE, task.note);
        (void)t.replaceLogical(TaskField::DONE, task.done);
        (void)t.replace(TaskField::KEYS, task.keys);
        (void)t.replace(TaskField::PRIORITY, task.priority);
        check(t.post().ok(), "post");
    }
    check(t.commitBatch().ok(), "commit");
    return std::move(*table);
}

sqlite3* sqliteTable(const std::string& name)
{
    const std::string path = (workDir() / name).string();
    fs::remove(path);
    sqlite3* db = nullptr;
    check(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "sqlite open");
    sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=DELETE;", nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE tasks(date TEXT, time TEXT, descript TEXT, note TEXT, done INTEGER, keys TEXT, "
                 "priority TEXT, deleted INTEGER DEFAULT 0)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tasks VALUES(?,?,?,?,?,?,?,0)", -1, &insert, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const Task& task : tasks()) {
        sqlite3_bind_text(insert, 1, task.date.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, task.time.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, task.descript.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, task.note.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 5, task.done);
        sqlite3_bind_text(insert, 6, task.keys.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 7, task.priority.c_str(), -1, SQLITE_STATIC);
        check(sqlite3_step(insert) == SQLITE_DONE, "sqlite insert");
        sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(insert);
    return db;
}

void report(benchmark::State& state, double engineMs, double sqliteMs)
{
    state.SetIterationTime(engineMs / 1000.0);
    state.counters["engine_ms"] = engineMs;
    state.counters["sqlite_ms"] = sqliteMs;
    state.counters["ratio"] = engineMs / sqliteMs;
    state.counters["engine_cpu_ms"] = g_cpuMs[0];
    state.counters["sqlite_cpu_ms"] = g_cpuMs[1];
    state.counters["cpu_ratio"] = g_cpuMs[0] / g_cpuMs[1];
    g_timed = 0;
}

void BM_AppendAll(benchmark::State& state)
{
    tasks();
    for (auto _ : state) {
        std::unique_ptr<xbase::Table> table;
        sqlite3* db = nullptr;
        const double engine = millisecondsOf([&] { table = engineTable("APPEND.DBF"); });
        const double sqlite = millisecondsOf([&] { db = sqliteTable("append.sqlite"); });
        sqlite3_close(db);
        report(state, engine, sqlite);
    }
}

void BM_WalkRecordOrder(benchmark::State& state)
{
    auto table = engineTable("WALK.DBF");
    sqlite3* db = sqliteTable("walk.sqlite");
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT date, descript, keys FROM tasks ORDER BY rowid", -1, &select, nullptr);
    for (auto _ : state) {
        std::size_t bytes = 0;
        const double engine = millisecondsOf([&] {
            for (auto s = table->goTop(); s && !table->eof(); s = table->skip(1))
                bytes += table->rawField(TaskField::DATE).size() + table->rawField(TaskField::DESCRIPT).size() +
                         table->rawField(TaskField::KEYS).size();
        });
        const double sqlite = millisecondsOf([&] {
            while (sqlite3_step(select) == SQLITE_ROW)
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(select, 0) + sqlite3_column_bytes(select, 1) +
                                                  sqlite3_column_bytes(select, 2));
            sqlite3_reset(select);
        });
        benchmark::DoNotOptimize(bytes);
        report(state, engine, sqlite);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

void BM_FilterCount(benchmark::State& state)
{
    auto table = engineTable("FILTER.DBF");
    sqlite3* db = sqliteTable("filter.sqlite");
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM tasks WHERE done = 0 AND instr(upper(keys), 'GARDEN') > 0", -1, &count,
                       nullptr);
    check(table->setQuery("(.not.DONE) .and. (\"GARDEN\" $ upper(KEYS))").ok(), "query");
    for (auto _ : state) {
        std::uint32_t engineCount = 0;
        int sqliteCount = 0;
        const double engine = millisecondsOf([&] { engineCount = *table->queryRecCount(); });
        const double sqlite = millisecondsOf([&] {
            sqlite3_step(count);
            sqliteCount = sqlite3_column_int(count, 0);
            sqlite3_reset(count);
        });
        check(engineCount == static_cast<std::uint32_t>(sqliteCount), "the two counts differ");
        report(state, engine, sqlite);
    }
    sqlite3_finalize(count);
    sqlite3_close(db);
}

void BM_Update10000(benchmark::State& state)
{
    auto table = engineTable("UPDATE.DBF");
    sqlite3* db = sqliteTable("update.sqlite");
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE tasks SET descript = ?, done = ? WHERE rowid = ?", -1, &update, nullptr);
    int round = 0;
    for (auto _ : state) {
        ++round;
        const std::string text = "updated in round " + std::to_string(round);
        const double engine = millisecondsOf([&] {
            for (std::uint32_t i = 0; i < 10000; ++i) {
                check(table->go(1 + (i * 7919u) % kTasks).ok(), "go");
                (void)table->replace(TaskField::DESCRIPT, text);
                (void)table->replaceLogical(TaskField::DONE, round % 2 == 0);
                check(table->post().ok(), "post");
            }
        });
        state.counters["per_post_us"] = engine * 1000.0 / 10000;
        state.counters["per_post_cpu_us"] = g_cpuMs[0] * 1000.0 / 10000;
        const double sqlite = millisecondsOf([&] {
            for (std::uint32_t i = 0; i < 10000; ++i) {
                sqlite3_bind_text(update, 1, text.c_str(), -1, SQLITE_STATIC);
                sqlite3_bind_int(update, 2, round % 2 == 0);
                sqlite3_bind_int64(update, 3, 1 + (i * 7919u) % kTasks);
                check(sqlite3_step(update) == SQLITE_DONE, "sqlite update");
                sqlite3_reset(update);
            }
        });
        report(state, engine, sqlite);
    }
    sqlite3_finalize(update);
    sqlite3_close(db);
}

void BM_Pack10PercentDeleted(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto table = engineTable("PACK.DBF");
        check(table->beginBatch().ok(), "batch");
        for (std::uint32_t r = 1; r <= kTasks; r += 10) {
            check(table->go(r).ok(), "go");
            check(table->setDeleted(true).ok(), "delete");
            check(table->post().ok(), "post");
        }
        check(table->commitBatch().ok(), "commit");
        sqlite3* db = sqliteTable("pack.sqlite");
        sqlite3_exec(db, "UPDATE tasks SET deleted = 1 WHERE rowid % 10 = 1", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        const double engine = millisecondsOf([&] { check(table->pack().ok(), "pack"); });
        const double sqlite = millisecondsOf(
            [&] { sqlite3_exec(db, "DELETE FROM tasks WHERE deleted = 1; VACUUM;", nullptr, nullptr, nullptr); });
        check(*table->recCount() == kTasks - kTasks / 10, "pack kept the wrong number");
        sqlite3_close(db);
        report(state, engine, sqlite);
    }
}

// The five task tags as SQLite indexes on the same expressions, deleted rows left out.
void sqliteIndexes(sqlite3* db)
{
    sqlite3_exec(db,
                 "CREATE INDEX datetime ON tasks(date || time) WHERE deleted = 0;"
                 "CREATE INDEX descript ON tasks(upper(descript)) WHERE deleted = 0;"
                 "CREATE INDEX done ON tasks(done) WHERE deleted = 0;"
                 "CREATE INDEX keys ON tasks(upper(keys)) WHERE deleted = 0;"
                 "CREATE INDEX priority ON tasks(upper(priority) || date || time) WHERE deleted = 0;",
                 nullptr, nullptr, nullptr);
}

void engineTags(xbase::Table& table)
{
    for (const TaskIndexTag& tag : kTaskIndexTags)
        check(table.createTag(tag.name, tag.key, tag.condition).ok(), "tag");
}

void BM_BuildFiveTags(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto table = engineTable("TAGS.DBF");
        sqlite3* db = sqliteTable("tags.sqlite");
        state.ResumeTiming();
        const double engine = millisecondsOf([&] { engineTags(*table); });
        const double sqlite = millisecondsOf([&] { sqliteIndexes(db); });
        sqlite3_close(db);
        report(state, engine, sqlite);
    }
}

// One table with its tags, reopened shared, for the read rows.
struct IndexedPair
{
    std::unique_ptr<xbase::Table> table;
    sqlite3* db = nullptr;
};

IndexedPair& indexedPair()
{
    static IndexedPair pair = [] {
        IndexedPair p;
        {
            auto built = engineTable("INDEXED.DBF");
            engineTags(*built);
        }
        auto shared = xbase::Table::open((workDir() / "INDEXED.DBF").string(), xbase::OpenMode::Shared, noSync());
        check(shared.ok(), "open shared");
        p.table = std::move(*shared);
        p.db = sqliteTable("indexed.sqlite");
        sqliteIndexes(p.db);
        return p;
    }();
    return pair;
}

void BM_WalkEachOrderShared(benchmark::State& state)
{
    IndexedPair& p = indexedPair();
    const char* orders[] = {"date || time", "upper(descript)", "done", "upper(keys)",
                            "upper(priority) || date || time"};
    std::vector<sqlite3_stmt*> selects;
    for (const char* order : orders) {
        sqlite3_stmt* select = nullptr;
        const std::string sql =
            std::string("SELECT rowid, date, descript FROM tasks WHERE deleted = 0 ORDER BY ") + order;
        sqlite3_prepare_v2(p.db, sql.c_str(), -1, &select, nullptr);
        selects.push_back(select);
    }
    for (auto _ : state) {
        std::size_t rows = 0;
        const double engine = millisecondsOf([&] {
            for (int order = 1; order <= 5; ++order) {
                check(p.table->setOrder(order).ok(), "order");
                for (auto s = p.table->goTop(); s && !p.table->eof(); s = p.table->skip(1))
                    rows += p.table->rawField(TaskField::DATE).size() > 0;
            }
        });
        const double sqlite = millisecondsOf([&] {
            for (sqlite3_stmt* select : selects) {
                while (sqlite3_step(select) == SQLITE_ROW)
                    rows += sqlite3_column_bytes(select, 1) >= 0;
                sqlite3_reset(select);
            }
        });
        check(rows == 2 * 5 * kTasks, "a walk missed rows");
        state.counters["per_order_ms"] = engine / 5;
        report(state, engine, sqlite);
    }
    for (sqlite3_stmt* select : selects)
        sqlite3_finalize(select);
}

void BM_Seek10000(benchmark::State& state)
{
    IndexedPair& p = indexedPair();
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(p.db,
                       "SELECT rowid FROM tasks WHERE deleted = 0 AND date || time >= ? ORDER BY date || time LIMIT 1",
                       -1, &find, nullptr);
    std::vector<std::string> keys;
    for (std::uint32_t i = 0; i < 10000; ++i)
        keys.push_back(tasks()[(i * 7919u) % kTasks].date);
    check(p.table->setOrder(p.table->tagOrder("DATETIME")).ok(), "order");
    for (auto _ : state) {
        std::size_t found = 0;
        const double engine = millisecondsOf([&] {
            for (const std::string& key : keys)
                found += *p.table->seek(key, true) ? 1 : 0;
        });
        const double sqlite = millisecondsOf([&] {
            for (const std::string& key : keys) {
                sqlite3_bind_text(find, 1, key.c_str(), -1, SQLITE_STATIC);
                found += sqlite3_step(find) == SQLITE_ROW;
                sqlite3_reset(find);
            }
        });
        benchmark::DoNotOptimize(found);
        report(state, engine, sqlite);
    }
    sqlite3_finalize(find);
}

void BM_Update10000KeyFieldsFiveTags(benchmark::State& state)
{
    auto table = engineTable("KEYUPD.DBF");
    engineTags(*table);
    sqlite3* db = sqliteTable("keyupd.sqlite");
    sqliteIndexes(db);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE tasks SET date = ?, priority = ? WHERE rowid = ?", -1, &update, nullptr);
    const char* priorities[] = {"A", "B", "C"};
    int round = 0;
    for (auto _ : state) {
        ++round;
        const double engine = millisecondsOf([&] {
            for (std::uint32_t i = 0; i < 10000; ++i) {
                check(table->go(1 + (i * 7919u) % kTasks).ok(), "go");
                (void)table->replace(TaskField::DATE, "2027" + std::to_string(1000 + (i + round) % 1200).substr(0, 4));
                (void)table->replace(TaskField::PRIORITY, priorities[(i + round) % 3]);
                check(table->post().ok(), "post");
            }
        });
        const double sqlite = millisecondsOf([&] {
            for (std::uint32_t i = 0; i < 10000; ++i) {
                const std::string date = "2027" + std::to_string(1000 + (i + round) % 1200).substr(0, 4);
                sqlite3_bind_text(update, 1, date.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(update, 2, priorities[(i + round) % 3], -1, SQLITE_STATIC);
                sqlite3_bind_int64(update, 3, 1 + (i * 7919u) % kTasks);
                check(sqlite3_step(update) == SQLITE_DONE, "sqlite update");
                sqlite3_reset(update);
            }
        });
        state.counters["per_post_us"] = engine * 1000.0 / 10000;
        state.counters["per_post_cpu_us"] = g_cpuMs[0] * 1000.0 / 10000;
        report(state, engine, sqlite);
    }
    check(table->verifyIndex().ok(), "the tags are wrong after the updates");
    sqlite3_finalize(update);
    sqlite3_close(db);
}

// The program's own setting for each user post: synced, so a post that returned survives a power cut.
void BM_Update200SyncedFiveTags(benchmark::State& state)
{
    const std::string path = (workDir() / "SYNCED.DBF").string();
    {
        auto table = engineTable("SYNCED.DBF");
        engineTags(*table);
    }
    xbase::TableOptions synced;
    synced.sync = true;
    auto opened = xbase::Table::open(path, xbase::OpenMode::Exclusive, synced);
    check(opened.ok(), "open synced");
    xbase::Table& table = **opened;
    sqlite3* db = sqliteTable("synced.sqlite");
    sqliteIndexes(db);
    sqlite3_exec(db, "PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE tasks SET date = ?, priority = ? WHERE rowid = ?", -1, &update, nullptr);
    const char* priorities[] = {"A", "B", "C"};
    int round = 0;
    for (auto _ : state) {
        ++round;
        const double engine = millisecondsOf([&] {
            for (std::uint32_t i = 0; i < 200; ++i) {
                check(table.go(1 + (i * 7919u) % kTasks).ok(), "go");
                (void)table.replace(TaskField::DATE, "2027" + std::to_string(1000 + (i + round) % 1200).substr(0, 4));
                (void)table.replace(TaskField::PRIORITY, priorities[(i + round) % 3]);
                check(table.post().ok(), "post");
            }
        });
        const double sqlite = millisecondsOf([&] {
            for (std::uint32_t i = 0; i < 200; ++i) {
                const std::string date = "2027" + std::to_string(1000 + (i + round) % 1200).substr(0, 4);
                sqlite3_bind_text(update, 1, date.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(update, 2, priorities[(i + round) % 3], -1, SQLITE_STATIC);
                sqlite3_bind_int64(update, 3, 1 + (i * 7919u) % kTasks);
                check(sqlite3_step(update) == SQLITE_DONE, "sqlite update");
                sqlite3_reset(update);
            }
        });
        state.counters["per_post_us"] = engine * 1000.0 / 200;
        state.counters["per_post_cpu_us"] = g_cpuMs[0] * 1000.0 / 200;
        report(state, engine, sqlite);
    }
    sqlite3_finalize(update);
    sqlite3_close(db);
}

void BM_PackWithFiveTags(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto table = engineTable("PACKTAGS.DBF");
        engineTags(*table);
        check(table->beginBatch().ok(), "batch");
        for (std::uint32_t r = 1; r <= kTasks; r += 10) {
            check(table->go(r).ok(), "go");
            check(table->setDeleted(true).ok(), "delete");
            check(table->post().ok(), "post");
        }
        check(table->commitBatch().ok(), "commit");
        sqlite3* db = sqliteTable("packtags.sqlite");
        sqliteIndexes(db);
        sqlite3_exec(db, "UPDATE tasks SET deleted = 1 WHERE rowid % 10 = 1", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        const double engine = millisecondsOf([&] { check(table->pack().ok(), "pack"); });
        const double sqlite = millisecondsOf(
            [&] { sqlite3_exec(db, "DELETE FROM tasks WHERE deleted = 1; VACUUM;", nullptr, nullptr, nullptr); });
        check(*table->recCount() == kTasks - kTasks / 10, "pack kept the wrong number");
        sqlite3_close(db);
        report(state, engine, sqlite);
    }
}

} // namespace

BENCHMARK(BM_BuildFiveTags)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WalkEachOrderShared)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Seek10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Update10000KeyFieldsFiveTags)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Update200SyncedFiveTags)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PackWithFiveTags)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AppendAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WalkRecordOrder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FilterCount)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Update10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Pack10PercentDeleted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
