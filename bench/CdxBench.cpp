// The compound index alone, at the size of a 100 000-task list: building the five task tags, walking
// them, seeking, and keeping all five up to date through 10 000 record changes. SQLite rows do the
// same work on an in-memory table with the same five (partial) indexes.
#include "store/xbase/BlockDevice.h"
#include "store/xbase/CdxCursor.h"
#include "store/xbase/CdxIndex.h"
#include "support/xbase/MemoryBlockDevice.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace quorvo::xbase;

namespace {

constexpr std::uint32_t kTasks = 100000;
constexpr std::size_t kUpdates = 10000;

struct Task
{
    std::string date;     // 8, YYYYMMDD
    std::string time;     // 5, HH:MM or blank
    std::string descript; // 50
    std::string done;     // 1, T or F
    std::string keys;     // 60
    std::string priority; // 1
};

struct TagShape
{
    const char* name;
    const char* expression;
    std::uint16_t keyLength;
    CdxKeyType type;
};

const std::array<TagShape, 5> kTags = {{
    {"DATETIME", "DATE+TIME", 13, CdxKeyType::Character},
    {"DESCRIPT", "upper(DESCRIPT)", 50, CdxKeyType::Character},
    {"DONE", "DONE", 1, CdxKeyType::Logical},
    {"KEYS", "upper(KEYS)", 60, CdxKeyType::Character},
    {"PRIORITY", "upper(PRIORITY)+DATE+TIME", 14, CdxKeyType::Character},
}};

std::uint32_t roll(std::mt19937& rng, std::size_t n)
{
    return static_cast<std::uint32_t>(rng() % n);
}

std::string fit(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

std::string randomDate(std::mt19937& rng)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04u%02u%02u", unsigned(2022 + roll(rng, 4)), unsigned(roll(rng, 12) + 1),
                  unsigned(roll(rng, 28) + 1));
    return buffer;
}

std::vector<Task> makeTasks()
{
    static const char* words[] = {"call", "buy",    "milk",  "report", "meeting", "with",  "john",
                                  "fix",  "car",    "pay",   "bills",  "send",    "email", "to",
                                  "team", "review", "draft", "book",   "flight",  "plan"};
    std::mt19937 rng(42);
    std::vector<Task> tasks(kTasks);
    for (Task& task : tasks) {
        task.date = randomDate(rng);
        char time[8];
        std::snprintf(time, sizeof time, "%02u:%02u", unsigned(roll(rng, 24)), unsigned(roll(rng, 4) * 15));
        task.time = roll(rng, 4) == 0 ? std::string(5, ' ') : std::string(time);
        std::string text;
        for (std::uint32_t n = 2 + roll(rng, 6); n > 0; --n) {
            if (!text.empty())
                text += ' ';
            text += words[roll(rng, std::size(words))];
        }
        task.descript = fit(text, 50);
        task.done.assign(1, roll(rng, 3) == 0 ? 'T' : 'F');
        std::string keys;
        for (std::uint32_t n = roll(rng, 3); n > 0; --n) {
            if (!keys.empty())
                keys += ' ';
            keys += words[roll(rng, std::size(words))];
        }
        task.keys = fit(keys, 60);
        task.priority = std::string(1, "HMLX"[roll(rng, 4)]);
    }
    return tasks;
}

std::string upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string keyOf(const Task& task, std::size_t tag)
{
    switch (tag) {
    case 0:
        return task.date + task.time;
    case 1:
        return upper(task.descript);
    case 2:
        return task.done;
    case 3:
        return upper(task.keys);
    default:
        return upper(task.priority) + task.date + task.time;
    }
}

const std::vector<Task>& tasks()
{
    static const std::vector<Task> all = makeTasks();
    return all;
}

const std::vector<CdxKeyBatch>& batches()
{
    static const std::vector<CdxKeyBatch> all = [] {
        std::vector<CdxKeyBatch> result;
        for (std::size_t t = 0; t < kTags.size(); ++t) {
            CdxKeyBatch batch(kTags[t].keyLength);
            batch.reserve(kTasks);
            for (std::uint32_t r = 0; r < kTasks; ++r)
                batch.add(keyOf(tasks()[r], t), r + 1);
            result.push_back(std::move(batch));
        }
        return result;
    }();
    return all;
}

std::unique_ptr<CdxIndex> buildIndex(MemoryBlockDevice& device)
{
    auto index = std::move(CdxIndex::create(device).value());
    for (std::size_t t = 0; t < kTags.size(); ++t) {
        const CdxTagDefinition definition{kTags[t].name, kTags[t].expression, "not Deleted()", kTags[t].keyLength,
                                          kTags[t].type};
        if (!index->addTag(definition, batches()[t]))
            std::abort();
    }
    return index;
}

void BM_CdxBuildFiveTags(benchmark::State& state)
{
    batches();
    std::size_t bytes = 0;
    for (auto _ : state) {
        MemoryBlockDevice device;
        auto index = buildIndex(device);
        bytes = static_cast<std::size_t>(*device.size());
        benchmark::DoNotOptimize(index);
    }
    state.counters["file_KB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_CdxBuildFiveTags)->Unit(benchmark::kMillisecond);

void BM_CdxWalkTag(benchmark::State& state)
{
    MemoryBlockDevice device;
    auto index = buildIndex(device);
    const auto tag = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        CdxCursor cursor(*index, tag);
        std::uint64_t sum = 0;
        if (!cursor.first())
            std::abort();
        while (cursor.onEntry()) {
            sum += cursor.recno();
            (void)cursor.next();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetLabel(kTags[tag].name);
}
BENCHMARK(BM_CdxWalkTag)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_CdxSeek10k(benchmark::State& state)
{
    MemoryBlockDevice device;
    auto index = buildIndex(device);
    const auto tag = static_cast<std::size_t>(state.range(0));
    std::mt19937 rng(7);
    std::vector<std::string> wanted;
    for (std::size_t i = 0; i < 10000; ++i)
        wanted.push_back(keyOf(tasks()[roll(rng, kTasks)], tag));
    CdxCursor cursor(*index, tag);
    for (auto _ : state) {
        std::size_t found = 0;
        for (const std::string& key : wanted)
            found += cursor.seek(key, true).value() ? 1 : 0;
        if (found != wanted.size())
            std::abort();
    }
    state.SetLabel(kTags[tag].name);
}
BENCHMARK(BM_CdxSeek10k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Each record change as the table will make it: one batch that deletes the old key and inserts the new
// one in every tag (range 5) or only in the two tags whose keys change with DATE and PRIORITY (range 2).
void BM_CdxUpdate10k(benchmark::State& state)
{
    const bool allTags = state.range(0) == 5;
    std::mt19937 rng(9);
    for (auto _ : state) {
        state.PauseTiming();
        MemoryBlockDevice device;
        auto index = buildIndex(device);
        std::vector<Task> current = tasks();
        std::vector<std::pair<std::uint32_t, Task>> changes;
        for (std::size_t i = 0; i < kUpdates; ++i) {
            const std::uint32_t r = roll(rng, kTasks);
            Task changed = current[r];
            changed.date = randomDate(rng);
            changed.priority = std::string(1, "HMLX"[roll(rng, 4)]);
            changes.emplace_back(r, changed);
            current[r] = changed;
        }
        current = tasks();
        state.ResumeTiming();
        for (const auto& [r, changed] : changes) {
            index->beginChanges();
            for (std::size_t t = 0; t < kTags.size(); ++t) {
                if (!allTags && t != 0 && t != 4)
                    continue;
                if (!index->deleteKey(t, keyOf(current[r], t), r + 1) || !index->insertKey(t, keyOf(changed, t), r + 1))
                    std::abort();
            }
            if (!index->endChanges())
                std::abort();
            current[r] = changed;
        }
        state.PauseTiming();
        if (!index->verify())
            std::abort();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CdxUpdate10k)->Arg(5)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);

// --- SQLite doing the same work -------------------------------------------------------------------------------

void exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", error);
        std::abort();
    }
}

const char* const kIndexes[] = {
    "CREATE INDEX datetime ON tasks(date || time) WHERE NOT deleted",
    "CREATE INDEX descript ON tasks(upper(descript)) WHERE NOT deleted",
    "CREATE INDEX done ON tasks(done) WHERE NOT deleted",
    "CREATE INDEX keys ON tasks(upper(keys)) WHERE NOT deleted",
    "CREATE INDEX priority ON tasks(upper(priority) || date || time) WHERE NOT deleted",
};

sqlite3* sqliteTable(bool withIndexes)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    exec(db, "CREATE TABLE tasks(date TEXT, time TEXT, descript TEXT, done TEXT, keys TEXT, priority TEXT, "
             "deleted INTEGER)");
    exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tasks VALUES(?,?,?,?,?,?,0)", -1, &insert, nullptr);
    for (const Task& task : tasks()) {
        const std::string* fields[] = {&task.date, &task.time, &task.descript, &task.done, &task.keys, &task.priority};
        for (int i = 0; i < 6; ++i)
            sqlite3_bind_text(insert, i + 1, fields[i]->data(), int(fields[i]->size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
    if (withIndexes) {
        for (const char* sql : kIndexes)
            exec(db, sql);
    }
    return db;
}

void BM_SqliteCreateFiveIndexes(benchmark::State& state)
{
    sqlite3* db = sqliteTable(false);
    for (auto _ : state) {
        for (const char* sql : kIndexes)
            exec(db, sql);
        state.PauseTiming();
        exec(db, "DROP INDEX datetime; DROP INDEX descript; DROP INDEX done; DROP INDEX keys; DROP INDEX priority");
        state.ResumeTiming();
    }
    sqlite3_close(db);
}
BENCHMARK(BM_SqliteCreateFiveIndexes)->Unit(benchmark::kMillisecond);

void BM_SqliteOrderedWalk(benchmark::State& state)
{
    sqlite3* db = sqliteTable(true);
    const char* orders[] = {"date || time", "upper(descript)", "done", "upper(keys)",
                            "upper(priority) || date || time"};
    const std::string sql = std::string("SELECT rowid FROM tasks WHERE NOT deleted ORDER BY ") + orders[state.range(0)];
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr);
    for (auto _ : state) {
        std::int64_t sum = 0;
        while (sqlite3_step(select) == SQLITE_ROW)
            sum += sqlite3_column_int64(select, 0);
        sqlite3_reset(select);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    state.SetLabel(kTags[static_cast<std::size_t>(state.range(0))].name);
}
BENCHMARK(BM_SqliteOrderedWalk)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_SqliteUpdate10k(benchmark::State& state)
{
    std::mt19937 rng(9);
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3* db = sqliteTable(true);
        sqlite3_stmt* update = nullptr;
        sqlite3_prepare_v2(db, "UPDATE tasks SET date = ?, priority = ? WHERE rowid = ?", -1, &update, nullptr);
        state.ResumeTiming();
        for (std::size_t i = 0; i < kUpdates; ++i) {
            const std::string date = randomDate(rng);
            const char priority = "HMLX"[roll(rng, 4)];
            sqlite3_bind_text(update, 1, date.data(), 8, SQLITE_TRANSIENT);
            sqlite3_bind_text(update, 2, &priority, 1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(update, 3, roll(rng, kTasks) + 1);
            sqlite3_step(update);
            sqlite3_reset(update);
        }
        state.PauseTiming();
        sqlite3_finalize(update);
        sqlite3_close(db);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SqliteUpdate10k)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
