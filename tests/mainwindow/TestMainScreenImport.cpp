// File > Import iCalendar... in the main window over real task files, its dialogs scripted: the tasks appear,
// one Undo takes the whole import back and Redo makes it again, a re-import of the table's own export updates
// its tasks instead of adding them, and every way the import can be refused says why.
#include "datetime/DateFormats.h"
#include "dialogs/TImportPreview.h"
#include "mainwindow/TMainScreen.h"
#include "mainwindow/TaskViewModel.h"
#include "reports/ICalExport.h"
#include "reports/ReportExport.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"
#include "tasks/TaskUid.h"
#include "ui/ModalRunner.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

using namespace quorvo;

namespace {

const std::vector<TaskSpec> kTasks{
    {"20240104", "", "yesterday", "home", "A", false, "first note"},
    {"20240105", "09:15", "today", "work", "B", true, ""},
    {"", "", "no date", "homework", "", false, ""},
};

void writeFiles(const QString& dir)
{
    const std::string path = (dir + "QVTSK.DBF").toStdString();
    QVERIFY(TaskGenerator::createTable(path, 0, {}).ok());
    auto table = xbase::Table::open(path, xbase::OpenMode::Exclusive);
    QVERIFY(table.ok());
    xbase::Table& t = **table;
    for (const TaskSpec& task : kTasks) {
        QVERIFY(t.appendBlank().ok() && t.replace(TaskField::DATE, task.date).ok() &&
                t.replace(TaskField::TIME, task.time).ok() && t.replace(TaskField::DESCRIPT, task.descript).ok() &&
                t.replace(TaskField::KEYS, task.keys).ok() && t.replace(TaskField::PRIORITY, task.priority).ok() &&
                t.replaceLogical(TaskField::DONE, task.done).ok() &&
                (task.note.empty() || t.replace(TaskField::NOTE, task.note).ok()) && t.post().ok());
    }
    QFile ini(dir + "TODO.INI");
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Reindex]\r\nNeeded=0\r\n[Preferences]\r\nOrder=1\r\nShowDone=1\r\n");
}

// Every live task's description, key words and notes as stored, in record order.
QStringList liveTasks(TMainScreen& window)
{
    QStringList all;
    xbase::Table& engine = window.todoTable().engine();
    const std::uint32_t at = engine.eof() ? 0 : engine.recNo();
    for (std::uint32_t recno = 1; engine.go(recno).ok() && !engine.eof(); ++recno) {
        if (engine.deleted())
            continue;
        auto note = engine.getMemo(TaskField::NOTE);
        all << QString::fromLatin1(engine.getString(TaskField::DESCRIPT)).trimmed() + "|" +
                   QString::fromLatin1(engine.getString(TaskField::KEYS)).trimmed() + "|" +
                   QString::fromLatin1(note ? *note : "?");
    }
    (void)engine.go(at);
    return all;
}

QAction* item(TMainScreen& window, const char* name)
{
    return window.findChild<QAction*>(name);
}

int rows(TMainScreen& window)
{
    return window.activeGrid()->model()->rowCount();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QByteArray kOtherProgram = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Elsewhere//Calendar 9//EN\r\n"
                                 "BEGIN:VTODO\r\nUID:one@elsewhere\r\nDTSTAMP:20250101T000000Z\r\n"
                                 "SUMMARY:Buy milk\\, eggs\r\nCATEGORIES:errands,shop\r\n"
                                 "DESCRIPTION:from the\\nother program\r\n"
                                 "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VTODO\r\n"
                                 "BEGIN:VTODO\r\nUID:two@elsewhere\r\nDTSTAMP:20250101T000000Z\r\n"
                                 "SUMMARY:Call back\r\nDUE;VALUE=DATE:20250110\r\nEND:VTODO\r\n"
                                 "BEGIN:VEVENT\r\nUID:three@elsewhere\r\nDTSTAMP:20250101T000000Z\r\n"
                                 "DTSTART:20250101T100000Z\r\nSUMMARY:Meeting\r\nEND:VEVENT\r\n"
                                 "END:VCALENDAR\r\n";

// What the preview window showed, read by the modal script.
struct Shown
{
    QStringList added;
    QStringList updated;
    QString skipped;
};

QStringList itemsOf(const QListWidget* list)
{
    QStringList all;
    for (int i = 0; list && i < list->count(); ++i)
        all << list->item(i)->text();
    return all;
}

} // namespace

class TestMainScreenImport : public QObject
{
    Q_OBJECT

    RecordingHelpService m_help;
    FixedClock m_clock{QDate(2024, 1, 5), QTime(9, 30)};
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_dir;

    static void start(TMainScreen& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.firstActivation());
    }

    // Runs the import of the file, the preview answered with result; what it showed is returned.
    static Shown runImport(TMainScreen& window, const QString& file, int result = QDialog::Accepted)
    {
        Shown shown;
        ScriptedFileDialogs files;
        files.answer(file);
        ScopedModalScript script([&](QDialog& dialog) {
            auto* preview = qobject_cast<TImportPreview*>(&dialog);
            if (!preview)
                return int(QDialog::Rejected);
            shown.added = itemsOf(preview->AddList);
            shown.updated = itemsOf(preview->UpdateList);
            shown.skipped = preview->SkippedLabel->text();
            return result;
        });
        item(window, "ImportICalendar1")->trigger();
        return shown;
    }

private slots:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        m_dir = m_temp->path() + "/";
        writeFiles(m_dir);
    }

    void tasksAppearAndOneUndoTakesThemAllBack()
    {
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        ScriptedMessages messages;
        const QString file = m_dir + "other.ics";
        writeFile(file, kOtherProgram);
        const QStringList before = liveTasks(window);
        QCOMPARE(rows(window), 3);

        const Shown shown = runImport(window, file);
        QCOMPARE(shown.added, (QStringList{"Buy milk, eggs", "10 Jan 2025  Call back"}));
        QCOMPARE(shown.updated, QStringList());
        QCOMPARE(shown.skipped, QStringLiteral("Skipped: 1 event, 0 repeating to-dos, 0 other components."));
        QCOMPARE(rows(window), 5);
        const QStringList after = liveTasks(window);
        QCOMPARE(after, before + QStringList({"Buy milk, eggs|errands shop|from the\r\nother program", "Call back||"}));
        QVERIFY(window.keyWordList().contains("errands") && window.keyWordList().contains("shop"));
        QCOMPARE(window.undoStack()->count(), 1);
        QCOMPARE(item(window, "Undo1")->text(), QStringLiteral("Undo Import iCalendar"));

        item(window, "Undo1")->trigger();
        QCOMPARE(liveTasks(window), before);
        QCOMPARE(rows(window), 3);
        QCOMPARE(item(window, "Redo1")->text(), QStringLiteral("Redo Import iCalendar"));
        item(window, "Redo1")->trigger();
        QCOMPARE(liveTasks(window), after);
        QCOMPARE(rows(window), 5);
        QCOMPARE(messages.shown(), QList<ScriptedMessages::Shown>());
    }

    void reimportOfTheOwnExportUpdatesInsteadOfAdding()
    {
        const QString file = m_dir + "own.ics";
        {
            auto table = xbase::Table::open((m_dir + "QVTSK.DBF").toStdString(), xbase::OpenMode::Shared);
            QVERIFY(table.ok());
            ICalExport writer("Quorvo", TaskUid::tableTag(m_dir + "QVTSK.DBF"), QDateTime::currentDateTimeUtc());
            ReportExport exporter(**table, DateFormats::current());
            QVERIFY(exporter.write(file, writer, true).ok);
        }
        QFile exported(file);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QByteArray bytes = exported.readAll();
        exported.close();
        QVERIFY(bytes.contains("SUMMARY:today\r\n"));
        writeFile(file, bytes.replace("SUMMARY:today\r\n", "SUMMARY:today\\, changed elsewhere\r\n"));

        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        ScriptedMessages messages;
        const QStringList before = liveTasks(window);
        const Shown shown = runImport(window, file);
        QCOMPARE(shown.added, QStringList());
        QCOMPARE(shown.updated.size(), 3);
        QCOMPARE(rows(window), 3);
        QCOMPARE(window.todoTable().engine().recCount().value(), 3u);
        QStringList changed = before;
        changed[1] = "today, changed elsewhere|work|";
        QCOMPARE(liveTasks(window), changed);

        item(window, "Undo1")->trigger();
        QCOMPARE(liveTasks(window), before);
        item(window, "Redo1")->trigger();
        QCOMPARE(liveTasks(window), changed);
        QCOMPARE(messages.shown(), QList<ScriptedMessages::Shown>());
    }

    void cancelledChangesNothing()
    {
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        ScriptedMessages messages;
        const QString file = m_dir + "other.ics";
        writeFile(file, kOtherProgram);
        const QStringList before = liveTasks(window);
        // The file dialog cancelled, then the preview.
        {
            ScriptedFileDialogs files;
            item(window, "ImportICalendar1")->trigger();
            QCOMPARE(files.openRequests.size(), 1);
            QCOMPARE(files.openRequests[0].filter, QStringLiteral("iCalendar File|*.ics"));
        }
        const Shown shown = runImport(window, file, QDialog::Rejected);
        QCOMPARE(shown.added.size(), 2);
        QCOMPARE(liveTasks(window), before);
        QCOMPARE(window.undoStack()->count(), 0);
        QCOMPARE(messages.shown(), QList<ScriptedMessages::Shown>());
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // none: the file is not there
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("info");
        QTest::newRow("no such file") << QByteArray() << "The file \"%1\" could not be read.\r"
                                      << "";
        QTest::newRow("not iCalendar") << QByteArray("just some text\r\n")
                                       << "The file \"%1\" could not be imported: not an iCalendar file."
                                       << "";
        QTest::newRow("only events")
            << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//X//X//EN\r\nBEGIN:VEVENT\r\nUID:e\r\n"
                          "DTSTAMP:20250101T000000Z\r\nDTSTART:20250101T100000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
            << ""
            << "The file \"%1\" holds no to-dos to import.\rSkipped: 1 event, 0 repeating to-dos, 0 other components.";
    }

    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(QString, info);
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        ScriptedMessages messages;
        const QString file = m_dir + "import.ics";
        if (!bytes.isEmpty())
            writeFile(file, bytes);
        const QStringList before = liveTasks(window);
        const Shown shown = runImport(window, file);
        QCOMPARE(shown.skipped, QString()); // the preview was not shown
        QCOMPARE(liveTasks(window), before);
        QCOMPARE(window.undoStack()->count(), 0);
        const QString name = QDir::toNativeSeparators(file);
        if (error.isEmpty()) {
            QCOMPARE(messages.errors(), QStringList());
        } else {
            QCOMPARE(messages.errors().size(), 1);
            // The system's reason follows a failed read.
            QVERIFY2(messages.errors()[0].startsWith(error.arg(name)), qPrintable(messages.errors()[0]));
            if (!error.endsWith('\r'))
                QCOMPARE(messages.errors()[0], error.arg(name));
        }
        QCOMPARE(messages.infos(), info.isEmpty() ? QStringList() : QStringList(info.arg(name)));
    }
};

QTEST_MAIN(TestMainScreenImport)
#include "TestMainScreenImport.moc"
