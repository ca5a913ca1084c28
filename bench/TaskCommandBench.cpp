// The task commands over 100 000 generated tasks in the real main window: one single-task command from its
// handler to the repainted grid, a sort command with the view rebuilt, and the start-up's part of opening
// the table, building the key word list and going to today. The files live in memory-backed /dev/shm
// where it exists, so a commit's syncs cost what the program's own work costs, not the disk's. SQLite does
// the same work beside the commands and the key word list, and the ratio is reported.
#include "datetime/StoredForms.h"
#include "mainwindow/TMainScreen.h"
#include "store/Messages.h"
#include "store/SystemClock.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"
#include "tasks/KeyWordList.h"
#include "tasks/TaskCommands.h"
#include "tasks/TaskEditorFields.h"
#include "ui/DesktopHelpService.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

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
    new QApplication(argc, argv);
}

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "benchmark step failed: %s\n", what);
        std::abort();
    }
}

// Every question answered Yes, nothing shown.
class YesMessages final : public Messages
{
public:
    bool askYesNo(const QString&) override { return true; }
    void showInfo(const QString& text) override { std::fprintf(stderr, "info: %s\n", qPrintable(text)); }
    void showError(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
};

// The editor closes with OK at once, changing the description.
class BenchMainScreen : public TMainScreen
{
public:
    using TMainScreen::TMainScreen;

protected:
    bool runTaskEditor(TaskEditorFields& fields) override
    {
        fields.task = fields.task.startsWith(u'x') ? fields.task.mid(1) : QLatin1Char('x') + fields.task;
        return true;
    }
};

// A program directory with the generated tasks, made once.
const QString& programDir()
{
    static QTemporaryDir* temp = [] {
        auto* dir = QDir(QStringLiteral("/dev/shm")).exists() ? new QTemporaryDir(QStringLiteral("/dev/shm/qvbench"))
                                                              : new QTemporaryDir();
        check(dir->isValid(), "temporary directory");
        const QString path = dir->path() + QStringLiteral("/QVTSK.DBF");
        check(TaskGenerator::createTable(path.toStdString(), kTasks, {}).ok(), "generate");
        QFile ini(dir->path() + QStringLiteral("/TODO.INI"));
        check(ini.open(QIODevice::WriteOnly), "preferences");
        ini.write("[Reindex]\r\nNeeded=0\r\n[Preferences]\r\nOrder=1\r\n");
        return dir;
    }();
    static const QString dir = temp->path() + QStringLiteral("/");
    return dir;
}

std::unique_ptr<BenchMainScreen> startedWindow(DesktopHelpService& help)
{
    auto window = std::make_unique<BenchMainScreen>(help, SystemClock::instance(), programDir());
    window->show();
    while (window->firstActivation())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return window;
}

enum Command
{
    Priority,
    QuickDate,
    DoneToggle,
    Edit,
    CloneThenDelete,
};

void BM_TaskCommand(benchmark::State& state)
{
    ensureApplication();
    YesMessages messages;
    Messages* previous = Messages::install(&messages);
    DesktopHelpService help;
    auto window = startedWindow(help);
    QWidget* viewport = window->activeGrid()->viewport();
    const auto command = static_cast<Command>(state.range(0));
    int i = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        switch (command) {
        case Priority:
            window->PriorityItemClick(i % 2 ? QStringLiteral("A") : QStringLiteral("C"));
            break;
        case QuickDate:
            window->QuickDateItemClick(i % 2 ? 0 : 14);
            break;
        case DoneToggle:
            window->DoneToggleButtonClick();
            break;
        case Edit:
            window->EditbuttonClick();
            break;
        case CloneThenDelete:
            // Two commands a round, so the table keeps its size.
            if (i % 2)
                window->DeleteButtonClick();
            else
                window->CloneButtonClick();
            break;
        }
        viewport->repaint();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        ++i;
    }
    window->close();
    window.reset();
    Messages::install(previous);
}

void BM_SortCommand(benchmark::State& state)
{
    ensureApplication();
    DesktopHelpService help;
    auto window = startedWindow(help);
    QWidget* viewport = window->activeGrid()->viewport();
    int i = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        window->SortCommand(i++ % 2 ? "DATETIME" : "DESCRIPT");
        viewport->repaint();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    window->close();
}

// Open shared, the key word list in the date order, the first task of today or later. Against SQLite reading
// the key words in the same order and finding today by its index.
void BM_OpenKeyWordsGoToToday(benchmark::State& state)
{
    const QString path = programDir() + QStringLiteral("QVTSK.DBF");
    const std::string today = StoredForms::dateText(*DateTime::fromDate(2026, 1, 1)).toStdString();
    double ours = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        TodoTable table;
        check(table.open(path, false).ok(), "open");
        xbase::Table& engine = table.engine();
        check(engine.setOrder(engine.tagOrder("DATETIME")).ok(), "order");
        KeyWordList words;
        TaskCommands commands(table, words);
        check(commands.buildKeyWordList().ok(), "key words");
        check(engine.seek(today, true).ok(), "seek");
        benchmark::DoNotOptimize(words.size());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ours += seconds;
        state.SetIterationTime(seconds);
    }

    // The same in SQLite, its copy made outside the timing.
    const std::string copy = (programDir() + QStringLiteral("keys.sqlite")).toStdString();
    if (!QFile::exists(QString::fromStdString(copy))) {
        TodoTable table;
        check(table.open(path, false).ok(), "open for copy");
        sqlite3* db = nullptr;
        check(sqlite3_open(copy.c_str(), &db) == SQLITE_OK, "sqlite open");
        sqlite3_exec(db, "PRAGMA synchronous=OFF; CREATE TABLE tasks(date TEXT, time TEXT, keys TEXT); BEGIN", nullptr,
                     nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO tasks VALUES(?,?,?)", -1, &insert, nullptr);
        xbase::Table& engine = table.engine();
        for (auto s = engine.goTop(); s && !engine.eof(); s = engine.skip(1)) {
            int column = 1;
            for (int field : {TaskField::DATE, TaskField::TIME, TaskField::KEYS}) {
                const std::string value = engine.getString(field);
                sqlite3_bind_text(insert, column++, value.c_str(), int(value.size()), SQLITE_TRANSIENT);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT; CREATE INDEX datetime ON tasks(date || time)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const auto start = std::chrono::steady_clock::now();
    const int rounds = static_cast<int>(state.iterations());
    for (int round = 0; round < rounds; ++round) {
        sqlite3* db = nullptr;
        check(sqlite3_open(copy.c_str(), &db) == SQLITE_OK, "sqlite open");
        KeyWordList words;
        sqlite3_stmt* keys = nullptr;
        sqlite3_prepare_v2(db, "SELECT keys FROM tasks ORDER BY date || time", -1, &keys, nullptr);
        while (sqlite3_step(keys) == SQLITE_ROW) {
            const std::string_view text(reinterpret_cast<const char*>(sqlite3_column_text(keys, 0)),
                                        static_cast<std::size_t>(sqlite3_column_bytes(keys, 0)));
            if (text.find_first_not_of(' ') != std::string_view::npos)
                words.breakStringIntoWords(QString::fromLatin1(text.data(), qsizetype(text.size())));
        }
        sqlite3_finalize(keys);
        sqlite3_stmt* seek = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid FROM tasks WHERE date || time >= ? ORDER BY date || time LIMIT 1", -1,
                           &seek, nullptr);
        sqlite3_bind_text(seek, 1, today.c_str(), int(today.size()), SQLITE_STATIC);
        sqlite3_step(seek);
        sqlite3_finalize(seek);
        sqlite3_close(db);
        benchmark::DoNotOptimize(words.size());
    }
    const double sqlite = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["sqlite_ratio"] = ours / sqlite;
}

} // namespace

BENCHMARK(BM_TaskCommand)
    ->ArgName("command")
    ->DenseRange(Priority, CloneThenDelete)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);
BENCHMARK(BM_SortCommand)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_OpenKeyWordsGoToToday)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
