// Converting old task files (no PRIORITY) of 100 000 tasks, a quarter with notes, as the start-up does it:
// the old files moved aside, the new table created and indexed, every task appended in one transaction with
// the five tags kept, synced as the program syncs. SQLite does the same work: the old table renamed, the new
// one with its five indexes filled from it in one transaction.
#include "store/DataFileUpgrade.h"
#include "store/IndexRebuild.h"
#include "store/TaskFiles.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace quorvo;

constexpr std::uint32_t kTasks = 100000;

std::vector<xbase::FieldInfo> oldFields()
{
    return {{"DATE", 'C', 0, 8, 0},  {"TIME", 'C', 0, 5, 0}, {"DESCRIPT", 'C', 0, 50, 0},
            {"NOTE", 'M', 0, 10, 0}, {"DONE", 'L', 0, 1, 0}, {"KEYS", 'C', 0, 60, 0}};
}

// Old-structure files in dir, holding the generator's tasks less their priorities.
bool makeOldFiles(const QString& dir)
{
    const std::string generated = (dir + "GEN.DBF").toStdString();
    const std::string old = (dir + "OLD.DBF").toStdString();
    if (!TaskGenerator::createTable(generated, kTasks, {}).ok())
        return false;
    xbase::TableOptions options;
    options.sync = false;
    if (!xbase::Table::create(old, oldFields(), options).ok())
        return false;
    auto from = xbase::Table::open(generated, xbase::OpenMode::Exclusive, options);
    auto to = xbase::Table::open(old, xbase::OpenMode::Exclusive, options);
    if (!from || !to || !(*to)->beginBatch().ok() || !(*from)->setOrder(0).ok() || !(*from)->goTop().ok())
        return false;
    xbase::Table& f = **from;
    xbase::Table& t = **to;
    while (!f.eof()) {
        auto note = f.getMemo(TaskField::NOTE);
        const bool ok =
            note && t.appendBlank().ok() && t.replace(1, f.rawField(TaskField::DATE)).ok() &&
            t.replace(2, f.rawField(TaskField::TIME)).ok() && t.replace(3, f.rawField(TaskField::DESCRIPT)).ok() &&
            (note->empty() || t.replace(4, *note).ok()) && t.replaceLogical(5, f.getLogical(TaskField::DONE)).ok() &&
            t.replace(6, f.rawField(TaskField::KEYS)).ok() && t.post().ok() && f.skip().ok();
        if (!ok)
            return false;
    }
    return t.commitBatch().ok() && t.close().ok();
}

bool copyOldFiles(const QString& from, const QString& to)
{
    QFile::remove(to + "QVTSK.DBF");
    QFile::remove(to + "QVTSK.FPT");
    return QFile::copy(from + "OLD.DBF", to + "QVTSK.DBF") && QFile::copy(from + "OLD.FPT", to + "QVTSK.FPT");
}

double sqliteUpgradeMs(const QString& dir)
{
    const QByteArray path = QFile::encodeName(dir + "tasks.sqlite");
    QFile::remove(QString::fromLocal8Bit(path));
    sqlite3* db = nullptr;
    sqlite3_open(path.constData(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE old(date TEXT, time TEXT, descript TEXT, note TEXT, done INTEGER, keys TEXT);"
                 "BEGIN;"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                 "INSERT INTO old SELECT printf('2026%02d%02d', i % 12 + 1, i % 28 + 1), printf('%02d:30', i % 24), "
                 "'Task number ' || i, CASE WHEN i % 4 = 0 THEN 'A note of some length' || char(13, 10) || "
                 "'over two lines' ELSE '' END, i % 3 = 0, 'home work' FROM n;"
                 "COMMIT;",
                 nullptr, nullptr, nullptr);
    QElapsedTimer timer;
    timer.start();
    sqlite3_exec(db,
                 "BEGIN;"
                 "ALTER TABLE old RENAME TO bak;"
                 "CREATE TABLE tasks(date TEXT, time TEXT, descript TEXT, note TEXT, done INTEGER, keys TEXT, "
                 "priority TEXT);"
                 "CREATE INDEX datetime ON tasks(date || time);"
                 "CREATE INDEX descript ON tasks(upper(descript));"
                 "CREATE INDEX done ON tasks(done);"
                 "CREATE INDEX keys ON tasks(upper(keys));"
                 "CREATE INDEX priority ON tasks(priority);"
                 "INSERT INTO tasks SELECT date, time, descript, note, done, keys, 'B' FROM bak;"
                 "COMMIT;",
                 nullptr, nullptr, nullptr);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    sqlite3_close(db);
    return ms;
}

void BM_UpgradeOldTasks(benchmark::State& state)
{
    QTemporaryDir temp;
    const QString source = temp.path() + "/";
    const QString programDir = source + "program/";
    QDir().mkpath(programDir);
    if (!makeOldFiles(source)) {
        state.SkipWithError("could not make the old task files");
        return;
    }
    double engineMs = 0;
    for (auto _ : state) {
        if (!copyOldFiles(source, programDir)) {
            state.SkipWithError("could not copy the old task files");
            return;
        }
        TodoTable todo;
        TaskFiles files(todo, programDir);
        files.runIndexRebuild = [&todo](bool packFirst) { (void)IndexRebuild(todo, {}, {}).run(packFirst); };
        DataFileUpgrade upgrade(files, todo, programDir);
        QElapsedTimer timer;
        timer.start();
        const bool upgraded = upgrade.UpgradeDataFiles();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (!upgraded) {
            state.SkipWithError("the upgrade failed");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
        engineMs += ms;
    }
    engineMs /= static_cast<double>(state.iterations());
    const double sqliteMs = sqliteUpgradeMs(source);
    state.counters["engine_ms"] = engineMs;
    state.counters["sqlite_ms"] = sqliteMs;
    state.counters["ratio"] = engineMs / sqliteMs;
    state.counters["budget_ms"] = 1000;
}

} // namespace

BENCHMARK(BM_UpgradeOldTasks)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
