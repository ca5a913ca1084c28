// Old task files (no PRIORITY) converted at start-up: what the new table holds, the messages and status texts,
// the backups, and a failure at every file step leaving the tasks whole.
#include "store/DataFileUpgrade.h"
#include "store/IndexRebuild.h"
#include "store/TaskFiles.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"
#include "store/xbase/TableVerifier.h"
#include "support/ScriptedMessages.h"
#include "support/xbase/FailingFileSystem.h"
#include "support/xbase/StatusCheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo;

namespace {

struct OldTask
{
    std::string date;
    std::string time;
    std::string descript;
    std::string note;
    bool done = false;
    std::string keys;
};

// A stored note and what the converted task holds: line breaks as CR LF, and one space after a length that is
// a positive multiple of four.
struct NoteCase
{
    const char* stored;
    const char* converted;
};

constexpr NoteCase kNotes[] = {
    {"", ""},
    {"1234567", "1234567"},
    {"12345678", "12345678 "},
    {"123456789", "123456789"},
    {"ab\ncd", "ab\r\ncd"},
    {"a\r\nb", "a\r\nb "},
    {"ab\rcd\n", "ab\r\ncd\r\n "},
    {"caf\xe9 \x80", "caf\xe9 \x80"},
};

constexpr const char* kNotice = "This version of QVO uses a new file structure\rwith the new PRIORITY field.\rYour "
                                "existing data files are from an older version.\r\rThe program will now attempt to "
                                "update the\rfiles to the new version. The old files\rwill be saved as QVBAK.DBF and "
                                "QVBAK.FPT";

std::vector<OldTask> oldTasks(int count)
{
    std::vector<OldTask> tasks;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i + 1);
        tasks.push_back({i % 3 == 0 ? "" : "2026" + std::string(i % 2 ? "03" : "11") + "1" + std::to_string(i % 10),
                         i % 4 == 0 ? "" : "0" + std::to_string(i % 10) + ":30", "Task " + n,
                         kNotes[i % std::size(kNotes)].stored, i % 2 == 1, i % 5 == 0 ? "" : "home k" + n});
    }
    return tasks;
}

std::string convertedNote(const std::string& stored)
{
    for (const NoteCase& note : kNotes)
        if (stored == note.stored)
            return note.converted;
    return "?";
}

std::vector<xbase::FieldInfo> oldFields()
{
    return {{"DATE", 'C', 0, 8, 0},  {"TIME", 'C', 0, 5, 0}, {"DESCRIPT", 'C', 0, 50, 0},
            {"NOTE", 'M', 0, 10, 0}, {"DONE", 'L', 0, 1, 0}, {"KEYS", 'C', 0, 60, 0}};
}

bool writeWithEngine(const QString& path, const std::vector<OldTask>& tasks)
{
    if (!xbase::Table::create(path.toStdString(), oldFields()).ok())
        return false;
    auto table = xbase::Table::open(path.toStdString(), xbase::OpenMode::Exclusive);
    if (!table)
        return false;
    xbase::Table& t = **table;
    for (const OldTask& task : tasks) {
        const bool ok = t.appendBlank().ok() && t.replace(1, task.date).ok() && t.replace(2, task.time).ok() &&
                        t.replace(3, task.descript).ok() && (task.note.empty() || t.replace(4, task.note).ok()) &&
                        t.replaceLogical(5, task.done).ok() && t.replace(6, task.keys).ok() && t.post().ok();
        if (!ok)
            return false;
    }
    return t.close().ok();
}

// Written by another program: python3-dbf, as a FoxPro table with its memo file.
bool writeWithPython(const QString& path, const std::vector<OldTask>& tasks)
{
    QJsonArray rows;
    for (const OldTask& task : tasks)
        rows.append(QJsonArray{Windows1252::toUnicode(task.date), Windows1252::toUnicode(task.time),
                               Windows1252::toUnicode(task.descript), Windows1252::toUnicode(task.note), task.done,
                               Windows1252::toUnicode(task.keys)});
    const char* script = R"(
import dbf, json, sys
t = dbf.Table(sys.argv[1], 'DATE C(8); TIME C(5); DESCRIPT C(50); NOTE M; DONE L; KEYS C(60)',
              dbf_type='fp', codepage='cp1252')
t.open(dbf.READ_WRITE)
for row in json.load(sys.stdin):
    t.append(tuple(row))
t.close()
)";
    QProcess python;
    python.start("/usr/bin/python3", {"-c", script, path});
    python.write(QJsonDocument(rows).toJson());
    python.closeWriteChannel();
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        qWarning() << python.readAllStandardError();
        return false;
    }
    return true;
}

// The start-up open as the main window runs it, with the upgrade behind its hook.
struct Startup
{
    explicit Startup(const QString& programDir, xbase::FileSystem* fs = nullptr)
        : files(todo, programDir), upgrade(files, todo, programDir)
    {
        files.tableOptions.fileSystem = fs;
        files.tableOptions.sync = fs != nullptr;
        files.statusText = [this](const QString& text) { statuses << text; };
        files.runIndexRebuild = [this](bool packFirst) { (void)IndexRebuild(todo, {}, {}).run(packFirst); };
        files.upgradeOldStructure = [this] { return upgrade.UpgradeDataFiles(); };
        upgrade.statusText = files.statusText;
        upgrade.suspendGrid = [this](bool on) { suspensions << on; };
    }

    TodoTable todo;
    TaskFiles files;
    DataFileUpgrade upgrade;
    QStringList statuses;
    QList<bool> suspensions;
};

// Every record of the table at path, in record order, as the old fields read.
std::vector<OldTask> readTasks(const QString& path, bool converted)
{
    std::vector<OldTask> tasks;
    auto table = xbase::Table::open(path.toStdString(), xbase::OpenMode::Shared);
    if (!table)
        return tasks;
    xbase::Table& t = **table;
    auto count = t.recCount();
    for (std::uint32_t r = 1; count && r <= *count; ++r) {
        if (!t.go(r).ok())
            break;
        auto note = t.getMemo(t.fieldNumber("NOTE"));
        tasks.push_back({t.getTrimString(1), t.getTrimString(2), t.getTrimString(3), note ? *note : "?",
                         t.getLogical(5), t.getTrimString(6)});
        if (converted && t.getString(TaskField::PRIORITY) != "B")
            tasks.back().keys += "<priority not B>";
    }
    return tasks;
}

void compareTasks(const std::vector<OldTask>& actual, const std::vector<OldTask>& expected, bool converted)
{
    QCOMPARE(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const OldTask& a = actual[i];
        const OldTask& e = expected[i];
        QCOMPARE(a.date, e.date);
        QCOMPARE(a.time, e.time);
        QCOMPARE(a.descript, e.descript);
        QCOMPARE(a.note, converted ? convertedNote(e.note) : e.note);
        QCOMPARE(a.done, e.done);
        QCOMPARE(a.keys, e.keys);
    }
}

// What `quorvo-store check` checks: the files as they lie, then opened (which applies a journal a writer
// may have left) with their index.
void checkClean(const QString& programDir)
{
    const std::string path = (programDir + "QVTSK.DBF").toStdString();
    xbase::TableVerifier verifier(xbase::diskFileSystem());
    QVERIFY_OK(verifier.verify(path));
    if (QFile::exists(programDir + "QVTSK.CDX")) {
        auto table = xbase::Table::open(path, xbase::OpenMode::Shared);
        QVERIFY_OK(table);
        QVERIFY_OK((*table)->verifyIndex());
        if ((*table)->fieldCount() == 7)
            QCOMPARE((*table)->tagCount(), 5);
    }
    QVERIFY_OK(verifier.verify(path));
}

} // namespace

class TestDataFileUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void converts_data()
    {
        QTest::addColumn<bool>("python");
        QTest::addColumn<int>("count");
        for (bool python : {false, true}) {
            const char* writer = python ? "python3-dbf" : "engine";
            for (int count : {0, 1, 1000})
                QTest::addRow("%s, %d tasks", writer, count) << python << count;
        }
    }

    void converts()
    {
        QFETCH(bool, python);
        QFETCH(int, count);
        QTemporaryDir dir;
        const QString programDir = dir.path() + "/";
        const auto tasks = oldTasks(count);
        QVERIFY(python ? writeWithPython(programDir + "QVTSK.DBF", tasks)
                       : writeWithEngine(programDir + "QVTSK.DBF", tasks));
        ScriptedMessages messages;
        Startup startup(programDir);

        QVERIFY(startup.files.OpenTaskTable(false));

        QCOMPARE(messages.infos(), (QStringList{kNotice, "File update was successful"}));
        QCOMPARE(startup.suspensions, (QList<bool>{true, false}));
        QStringList expected{"Backing up old TODO Files...", "Creating new style TODO Files...", "Opening files...",
                             "Creating indexes...", "Appending from old style TODO Files..."};
        QCOMPARE(startup.statuses.mid(0, expected.size()), expected);
        QCOMPARE(startup.statuses.last(), QStringLiteral("Opening files..."));
        if (count > 0) {
            QCOMPARE(startup.statuses.at(expected.size()), QStringLiteral("Appended 1 old TODO records..."));
            QCOMPARE(startup.statuses.at(startup.statuses.size() - 2),
                     QStringLiteral("Appended %1 old TODO records...").arg(count));
        }
        QCOMPARE(startup.todo.engine().fieldCount(), 7);
        QCOMPARE(startup.todo.engine().tagCount(), 5);
        QVERIFY(!startup.todo.exclusive());
        QVERIFY_OK(startup.todo.close());

        compareTasks(readTasks(programDir + "QVTSK.DBF", true), tasks, true);
        compareTasks(readTasks(programDir + "QVBAK.DBF", false), tasks, false);
        QVERIFY(TaskFiles::IsOldStructure(programDir + "QVBAK.DBF"));
        QVERIFY(QFile::exists(programDir + "QVBAK.FPT"));
        checkClean(programDir);
    }

    void earlierBackupsAreReplaced()
    {
        QTemporaryDir dir;
        const QString programDir = dir.path() + "/";
        QVERIFY(writeWithEngine(programDir + "QVTSK.DBF", oldTasks(7)));
        QVERIFY(QFile::rename(programDir + "QVTSK.DBF", programDir + "QVBAK.DBF"));
        QVERIFY(QFile::rename(programDir + "QVTSK.FPT", programDir + "QVBAK.FPT"));
        const auto tasks = oldTasks(3);
        QVERIFY(writeWithEngine(programDir + "QVTSK.DBF", tasks));
        ScriptedMessages messages;
        Startup startup(programDir);

        QVERIFY(startup.files.OpenTaskTable(false));
        QVERIFY_OK(startup.todo.close());

        compareTasks(readTasks(programDir + "QVBAK.DBF", false), tasks, false);
        compareTasks(readTasks(programDir + "QVTSK.DBF", true), tasks, true);
    }

    void backupTableOpensOnlyWhenPresent()
    {
        QTemporaryDir dir;
        const QString programDir = dir.path() + "/";
        TodoTable todo;
        TaskFiles files(todo, programDir);
        DataFileUpgrade upgrade(files, todo, programDir);
        QVERIFY(!upgrade.OpenBackupTable());
        QVERIFY(writeWithEngine(programDir + "QVBAK.DBF", oldTasks(2)));
        QVERIFY(upgrade.OpenBackupTable());
        QVERIFY(upgrade.modTable().exclusive());
        QCOMPARE(upgrade.modTable().path(), programDir + "QVBAK.DBF");
    }

    // One file operation fails at a time, at each place the upgrade changes a file. Afterwards every task is
    // either converted or back under its own name, the files check clean, and the start after that converts.
    void failureAtEveryFileStep()
    {
        const auto tasks = oldTasks(6);
        int steps = 0;
        {
            QTemporaryDir dir;
            QVERIFY(writeWithEngine(dir.path() + "/QVTSK.DBF", tasks));
            xbase::test::FailingFileSystem counting(xbase::diskFileSystem());
            ScriptedMessages messages;
            Startup startup(dir.path() + "/", &counting);
            counting.failAt(0, false);
            QVERIFY(startup.files.OpenTaskTable(false));
            steps = counting.changesSeen();
        }
        QVERIFY(steps > 20);
        const QStringList failures{"Unable to rename old QVTSK.* files", "Unable to create new QVTSK.* files",
                                   "Unable to open new QVTSK.* files",
                                   "Unable to append records from old QVTSK.* files",
                                   "Unknown error while appending records from old QVTSK.* files"};
        int restored = 0;
        for (int step = 1; step <= steps; ++step) {
            QTemporaryDir dir;
            const QString programDir = dir.path() + "/";
            QVERIFY(writeWithEngine(programDir + "QVTSK.DBF", tasks));
            xbase::test::FailingFileSystem failing(xbase::diskFileSystem());
            failing.failAt(step, false);
            ScriptedMessages messages;
            bool opened = false;
            {
                Startup startup(programDir, &failing);
                opened = startup.files.OpenTaskTable(false);
            }
            const QByteArray where = "failing change " + QByteArray::number(step);
            checkClean(programDir);
            if (QTest::currentTestFailed())
                QFAIL(where);
            const bool old = TaskFiles::IsOldStructure(programDir + "QVTSK.DBF");
            compareTasks(readTasks(programDir + "QVTSK.DBF", !old), tasks, !old);
            if (QTest::currentTestFailed())
                QFAIL(where);
            const QStringList infos = messages.infos();
            QVERIFY2(infos.size() >= 2 && infos.first() == kNotice, where);
            if (old) {
                ++restored;
                QVERIFY2(!opened, where);
                QVERIFY2(infos.contains("There was an error updating the files."), where);
                QVERIFY2(failures.contains(infos.at(1)) || infos.at(1).startsWith("Unable to open the Todo"), where);
                QCOMPARE(infos.last(), QStringLiteral("Unable to open the Todo file: QVTSK.DBF"));
                // The next start tries again.
                ScriptedMessages again;
                Startup next(programDir);
                QVERIFY2(next.files.OpenTaskTable(false), where);
                QCOMPARE(again.infos().last(), QStringLiteral("File update was successful"));
                QVERIFY_OK(next.todo.close());
                compareTasks(readTasks(programDir + "QVTSK.DBF", true), tasks, true);
            } else {
                QVERIFY2(infos.at(1) == "File update was successful", where);
            }
        }
        // Most file steps come after the old files were moved aside; those failures must have been undone.
        QVERIFY(restored > steps / 2);
    }
};

QTEST_GUILESS_MAIN(TestDataFileUpgrade)
#include "TestDataFileUpgrade.moc"
