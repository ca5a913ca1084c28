// Undo of a bulk deletion: a quarter of 100 000 generated tasks deleted in one walk, then recalled by its
// undo step (checked, written and committed as one transaction). The files live in /dev/shm where it
// exists. SQLite clears a deleted flag on the same rows in one transaction beside it, and the ratio is
// reported.
#include "store/TaskGenerator.h"
#include "store/TodoTable.h"
#include "tasks/TaskUndoStep.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

using namespace quorvo;

constexpr std::uint32_t kTasks = 100000;

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "benchmark step failed: %s\n", what);
        std::abort();
    }
}

// The machine the benchmarks run on is shared: the process's CPU time shows the work apart from the waiting.
double cpuMilliseconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void BM_UndoBulkDeletion(benchmark::State& state)
{
    QTemporaryDir temp(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/qvundo")
                                                                 : QDir::tempPath() + QStringLiteral("/qvundo"));
    const QString path = temp.filePath(QStringLiteral("QVTSK.DBF"));
    TaskGenerator::Options generated;
    require(TaskGenerator::createTable(path.toStdString(), kTasks, generated).ok(), "generate");
    xbase::TableOptions options;
    options.sync = false;
    TodoTable table;
    require(table.open(path, false, options).ok(), "open");
    xbase::Table& engine = table.engine();
    std::vector<std::uint32_t> quarter;
    for (std::uint32_t recno = 1; recno <= kTasks; recno += 4)
        quarter.push_back(recno);

    double ours = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        require(engine.beginBatch().ok(), "begin");
        for (std::uint32_t recno : quarter)
            require(engine.go(recno).ok() && engine.setDeleted(true).ok() && engine.post().ok(), "delete");
        require(engine.commitBatch().ok(), "commit");
        std::optional<TaskUndoStep> step = TaskUndoStep::deletion(engine, quarter);
        require(step.has_value(), "step");
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuMilliseconds();
        require(step->apply(engine, TaskUndoStep::Direction::Undo).ok(), "undo");
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpuMs += cpuMilliseconds() - cpuStart;
        ours += seconds;
        state.SetIterationTime(seconds);
    }

    sqlite3* db = nullptr;
    require(sqlite3_open(temp.filePath(QStringLiteral("undo.sqlite")).toUtf8().constData(), &db) == SQLITE_OK,
            "sqlite open");
    sqlite3_exec(db,
                 "PRAGMA synchronous=OFF; CREATE TABLE tasks(deleted INTEGER, descript TEXT); BEGIN;"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 100000)"
                 " INSERT INTO tasks SELECT 1, 'task ' || i FROM n; COMMIT",
                 nullptr, nullptr, nullptr);
    double sqlite = 0;
    for (int round = 0; round < int(state.iterations()); ++round) {
        const auto start = std::chrono::steady_clock::now();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* recall = nullptr;
        sqlite3_prepare_v2(db, "UPDATE tasks SET deleted = 0 WHERE rowid = ? AND deleted = 1", -1, &recall, nullptr);
        for (std::uint32_t recno : quarter) {
            sqlite3_bind_int64(recall, 1, recno);
            sqlite3_step(recall);
            sqlite3_reset(recall);
        }
        sqlite3_finalize(recall);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        sqlite3_exec(db, "UPDATE tasks SET deleted = 1", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
    state.counters["sqlite_ratio"] = ours / sqlite;
    state.counters["undo_cpu_ms"] = cpuMs / double(state.iterations());
}

} // namespace

// Budget: 300 ms for the 25 000 tasks.
BENCHMARK(BM_UndoBulkDeletion)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
