// Expression evaluation alone, over 100 000 task records held in memory: the key words filter of the
// task list and the widest task key. SQLite answers the same question over the same rows in memory,
// and "vs_sqlite" is its time divided by ours (above 1 means we are faster).
#include "store/TaskRecord.h"
#include "store/xbase/DbfHeader.h"
#include "store/xbase/Expression.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace quorvo::xbase;

namespace {

constexpr int kTasks = 100000;
constexpr std::size_t kRecordSize = 136;

struct TaskRows
{
    std::vector<FieldInfo> fields;
    std::vector<std::string> records;
    sqlite3* db = nullptr;
};

void put(std::string& record, const FieldInfo& field, const std::string& text)
{
    record.replace(field.offset, std::min<std::size_t>(text.size(), field.width), text, 0, field.width);
}

const TaskRows& taskRows()
{
    static const TaskRows rows = [] {
        TaskRows made;
        made.fields = DbfHeader::forNewTable(quorvo::taskTableFields(), {}).value().fields();
        const char* words[] = {"home", "Work", "garden", "WORK", "car", "school", "shopping", "phone", "bills"};
        const char* priorities[] = {"A", "B", "C", "a", " "};
        std::uint32_t seed = 12345;
        auto random = [&seed](std::uint32_t below) {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) % below;
        };
        sqlite3_open(":memory:", &made.db);
        sqlite3_exec(made.db,
                     "CREATE TABLE tasks(date TEXT, time TEXT, descript TEXT, done INTEGER, keys TEXT, "
                     "priority TEXT)",
                     nullptr, nullptr, nullptr);
        sqlite3_exec(made.db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(made.db, "INSERT INTO tasks VALUES(?,?,?,?,?,?)", -1, &insert, nullptr);
        for (int i = 0; i < kTasks; ++i) {
            char date[16];
            std::snprintf(date, sizeof date, "%04u%02u%02u", 2023 + random(3), 1 + random(12), 1 + random(28));
            char time[8];
            std::snprintf(time, sizeof time, "%02u:%02u", random(24), random(60));
            std::string keys;
            for (std::uint32_t w = random(4); w > 0; --w)
                keys += std::string(words[random(9)]) + " ";
            const std::string descript = "Task number " + std::to_string(i);
            const bool done = random(3) == 0;
            const std::string priority = priorities[random(5)];

            std::string record(kRecordSize, ' ');
            put(record, made.fields[0], date);
            put(record, made.fields[1], time);
            put(record, made.fields[2], descript);
            put(record, made.fields[4], done ? "T" : "F");
            put(record, made.fields[5], keys);
            put(record, made.fields[6], priority);
            made.records.push_back(std::move(record));

            sqlite3_bind_text(insert, 1, date, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, time, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, descript.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 4, done ? 1 : 0);
            sqlite3_bind_text(insert, 5, keys.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 6, priority.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(made.db, "COMMIT", nullptr, nullptr, nullptr);
        return made;
    }();
    return rows;
}

// Best of three, in seconds; the statement is stepped to its end each time.
double sqliteSeconds(const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(taskRows().db, sql, -1, &statement, nullptr);
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        while (sqlite3_step(statement) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_text(statement, 0));
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    return best;
}

void reportAgainstSqlite(benchmark::State& state, std::chrono::steady_clock::duration ours, const char* sql)
{
    const double oursPerPass = std::chrono::duration<double>(ours).count() / static_cast<double>(state.iterations());
    state.counters["vs_sqlite"] = sqliteSeconds(sql) / oursPerPass;
    state.SetItemsProcessed(state.iterations() * kTasks);
}

void expressionKeyWordsFilter(benchmark::State& state)
{
    const TaskRows& rows = taskRows();
    auto filter = Expression::compile("(.not.DONE) .and. \"WORK\" $ upper(KEYS)", rows.fields);
    if (!filter) {
        state.SkipWithError(filter.error().message.c_str());
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        int passing = 0;
        for (const std::string& record : rows.records)
            passing += filter->evaluateLogical(record) ? 1 : 0;
        benchmark::DoNotOptimize(passing);
    }
    reportAgainstSqlite(state, std::chrono::steady_clock::now() - start,
                        "SELECT count(*) FROM tasks WHERE NOT done AND instr(upper(keys), 'WORK') > 0");
}
BENCHMARK(expressionKeyWordsFilter)->Unit(benchmark::kMillisecond);

void expressionPriorityDateTimeKeys(benchmark::State& state)
{
    const TaskRows& rows = taskRows();
    auto key = Expression::compile("upper(PRIORITY)+DATE+TIME", rows.fields);
    if (!key) {
        state.SkipWithError(key.error().message.c_str());
        return;
    }
    std::string out;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (const std::string& record : rows.records) {
            key->evaluateText(record, out);
            benchmark::DoNotOptimize(out.data());
        }
    }
    reportAgainstSqlite(state, std::chrono::steady_clock::now() - start,
                        "SELECT upper(priority) || date || time FROM tasks");
}
BENCHMARK(expressionPriorityDateTimeKeys)->Unit(benchmark::kMillisecond);

} // namespace
