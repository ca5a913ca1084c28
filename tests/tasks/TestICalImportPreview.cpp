// An iCalendar import held against a task table before it is made: which to-dos add tasks and which update
// the ones this table exported, what is skipped, and the import made as one step that undo takes back whole
// and redo makes again.
#include "datetime/DateFormats.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/TaskTableFixture.h"
#include "tasks/ICalImportPreview.h"
#include "tasks/TaskUid.h"

#include <QtTest>

#include <map>

using namespace quorvo;
using Direction = TaskUndoStep::Direction;

namespace {

// Every record: its bytes without the memo pointer, and its notes.
using Snapshot = std::map<std::uint32_t, std::pair<std::string, std::string>>;

Snapshot snapshot(xbase::Table& table)
{
    Snapshot all;
    const xbase::FieldInfo& memo = table.field(TaskField::NOTE);
    for (std::uint32_t recno = 1; table.go(recno).ok() && !table.eof(); ++recno) {
        std::string record(table.record());
        record.replace(memo.offset, memo.width, memo.width, ' ');
        auto note = table.getMemo(TaskField::NOTE);
        all[recno] = {record, note ? *note : std::string("?")};
    }
    return all;
}

const std::vector<TaskSpec> kTasks{
    {"20240104", "", "first", "home", "A", false, "first note"},
    {"20240105", "10:30", "second", "work", "B", true, ""},
    {"", "", "third, deleted", "", "", false, ""},
};

QByteArray todo(const QByteArray& uid, const QByteArray& summary, const QByteArray& extra = {})
{
    return "BEGIN:VTODO\r\nUID:" + uid + "\r\nDTSTAMP:20250101T000000Z\r\nSUMMARY:" + summary + "\r\n" + extra +
           "END:VTODO\r\n";
}

QByteArray calendar(const QByteArray& components)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n" + components + "END:VCALENDAR\r\n";
}

} // namespace

class TestICalImportPreview : public QObject
{
    Q_OBJECT

    FixedClock m_clock{QDate(2025, 1, 5)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};

    // The fixture's table with its third task deleted.
    static bool prepare(TaskTableFixture& fixture)
    {
        return fixture.create(kTasks) && fixture.engine().go(3).ok() && fixture.engine().setDeleted(true).ok() &&
               fixture.engine().post().ok();
    }

    static QStringList texts(const std::vector<ICalImportPreview::Entry>& entries)
    {
        QStringList all;
        for (const auto& entry : entries)
            all << entry.text + (entry.recno ? QStringLiteral(" @%1").arg(entry.recno) : QString());
        return all;
    }

private slots:
    void whatEachToDoBecomes_data()
    {
        QTest::addColumn<QByteArray>("uid"); // "%1" stands for this table's tag
        QTest::addColumn<bool>("updates");
        QTest::newRow("a live task this table exported") << QByteArray("2-%1@quorvo") << true;
        QTest::newRow("a task deleted since") << QByteArray("3-%1@quorvo") << false;
        QTest::newRow("a record the table does not have") << QByteArray("9-%1@quorvo") << false;
        QTest::newRow("another table's task") << QByteArray("2-0123456789ABCDEF@quorvo") << false;
        QTest::newRow("another program's to-do") << QByteArray("2@elsewhere") << false;
    }

    void whatEachToDoBecomes()
    {
        QFETCH(QByteArray, uid);
        QFETCH(bool, updates);
        TaskTableFixture fixture;
        QVERIFY(prepare(fixture));
        const QByteArray tag = TaskUid::tableTag(fixture.path());
        const QByteArray file = calendar(todo(uid.replace("%1", tag), "Imported", "DUE:20250115T143000\r\n") +
                                         todo("new@elsewhere", "Plain new"));
        QString error;
        auto plan = ICalImport::read(file, tag, &error);
        QVERIFY2(plan, qPrintable(error));
        auto preview = ICalImportPreview::of(fixture.engine(), std::move(*plan), m_formats);
        QVERIFY(preview.ok());
        const QString imported = QStringLiteral("15 Jan 2025 02:30pm  Imported");
        QCOMPARE(texts(preview->added()),
                 updates ? QStringList("Plain new") : QStringList({imported, QStringLiteral("Plain new")}));
        QCOMPARE(texts(preview->updated()), updates ? QStringList(imported + " @2") : QStringList());
        QCOMPARE(preview->addedText(), updates ? "1 task will be added." : "2 tasks will be added.");
        QCOMPARE(preview->updatedText(), updates ? "1 task exported from this list will be updated."
                                                 : "0 tasks exported from this list will be updated.");

        const ICalImportPreview::Made made = preview->make(fixture.engine());
        QVERIFY(made.outcome.status.ok());
        QCOMPARE(made.outcome.updated, updates ? 1 : 0);
        QCOMPARE(made.outcome.added, updates ? 1 : 2);
        QVERIFY(made.step);
        QCOMPARE(made.step->text(), QStringLiteral("Import iCalendar"));
        QCOMPARE(made.step->taskCount(), std::size_t(2));
    }

    void skippedCounts_data()
    {
        QTest::addColumn<QByteArray>("components");
        QTest::addColumn<QString>("skipped");
        QTest::addColumn<bool>("nothing");
        const QByteArray event = "BEGIN:VEVENT\r\nUID:e\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20250101T100000Z\r\n"
                                 "END:VEVENT\r\n";
        const QByteArray journal = "BEGIN:VJOURNAL\r\nUID:j\r\nDTSTAMP:20250101T000000Z\r\nEND:VJOURNAL\r\n";
        QTest::newRow("nothing skipped") << todo("a", "A")
                                         << "Skipped: 0 events, 0 repeating to-dos, 0 other components." << false;
        QTest::newRow("one of each") << event + todo("r", "R", "RRULE:FREQ=DAILY\r\n") + journal + todo("a", "A")
                                     << "Skipped: 1 event, 1 repeating to-do, 1 other component." << false;
        QTest::newRow("only what is skipped")
            << event + event << "Skipped: 2 events, 0 repeating to-dos, 0 other components." << true;
    }

    void skippedCounts()
    {
        QFETCH(QByteArray, components);
        QFETCH(QString, skipped);
        QFETCH(bool, nothing);
        TaskTableFixture fixture;
        QVERIFY(prepare(fixture));
        auto plan = ICalImport::read(calendar(components), "TAG", nullptr);
        QVERIFY(plan);
        auto preview = ICalImportPreview::of(fixture.engine(), std::move(*plan), m_formats);
        QVERIFY(preview.ok());
        QCOMPARE(preview->skippedText(), skipped);
        QCOMPARE(preview->nothingToImport(), nothing);
    }

    void undoTakesTheWholeImportBackAndRedoMakesItAgain()
    {
        TaskTableFixture fixture;
        QVERIFY(prepare(fixture));
        xbase::Table& table = fixture.engine();
        const QByteArray tag = TaskUid::tableTag(fixture.path());
        // The first task rewritten twice (the later to-do wins), the second once, and three tasks added.
        const QByteArray file =
            calendar(todo("1-" + tag + "@quorvo", "first, once", "DESCRIPTION:rewritten note\r\n") +
                     todo("added-1", "one added", "CATEGORIES:garden\r\nDESCRIPTION:a new note\r\n") +
                     todo("2-" + tag + "@quorvo", "second, rewritten", "STATUS:NEEDS-ACTION\r\n") +
                     todo("1-" + tag + "@quorvo", "first, twice", "PRIORITY:9\r\n") + todo("added-2", "two added") +
                     todo("added-3", "three added"));
        auto plan = ICalImport::read(file, tag, nullptr);
        QVERIFY(plan);
        auto preview = ICalImportPreview::of(table, std::move(*plan), m_formats);
        QVERIFY(preview.ok());
        QCOMPARE(preview->updated().size(), std::size_t(3));
        QCOMPARE(preview->added().size(), std::size_t(3));

        QVERIFY(table.go(2).ok());
        const Snapshot before = snapshot(table);
        QVERIFY(table.go(2).ok());
        ICalImportPreview::Made made = preview->make(table);
        QCOMPARE(table.recNo(), 2u);
        QVERIFY(made.outcome.status.ok());
        QCOMPARE(made.outcome.updated, 3);
        QCOMPARE(made.outcome.added, 3);
        QVERIFY(made.step);
        // Two tasks rewritten (the first once, however many to-dos named it) and three added.
        QCOMPARE(made.step->taskCount(), std::size_t(5));
        const Snapshot after = snapshot(table);
        QCOMPARE(after.size(), std::size_t(6));
        QCOMPARE(QString::fromLatin1(after.at(1).first.substr(table.field(TaskField::DESCRIPT).offset, 12)),
                 QStringLiteral("first, twice"));
        QCOMPARE(after.at(1).second, std::string());
        QCOMPARE(after.at(4).second, std::string("a new note"));

        QVERIFY(made.step->apply(table, Direction::Undo).ok());
        Snapshot undone = snapshot(table);
        for (std::uint32_t recno = 4; recno <= 6; ++recno) {
            QVERIFY2(undone.at(recno).first[0] == '*', "an added task is not flagged deleted");
            QCOMPARE(undone.at(recno).first.substr(1), after.at(recno).first.substr(1));
            undone.erase(recno);
        }
        QVERIFY(undone == before);

        QVERIFY(made.step->apply(table, Direction::Redo).ok());
        QVERIFY(snapshot(table) == after);
        QVERIFY(made.step->apply(table, Direction::Undo).ok());
        QCOMPARE(snapshot(table).at(1), before.at(1));
    }

    // Another program holds one of the imported tasks: the undo of the whole import fails with nothing
    // written, and goes through once the task is let go.
    void undoWaitsForATaskAnotherProgramHolds()
    {
        TaskTableFixture fixture;
        QVERIFY(prepare(fixture));
        xbase::Table& table = fixture.engine();
        auto plan =
            ICalImport::read(calendar(todo("a", "one") + todo("b", "two") + todo("c", "three")), "TAG", nullptr);
        QVERIFY(plan);
        auto preview = ICalImportPreview::of(table, std::move(*plan), m_formats);
        QVERIFY(preview.ok());
        ICalImportPreview::Made made = preview->make(table);
        QVERIFY(made.outcome.status.ok() && made.step);
        const Snapshot after = snapshot(table);

        TodoTable other;
        QVERIFY(other.open(fixture.path(), false, TaskTableFixture::options()).ok());
        QVERIFY(other.engine().go(5).ok());
        QVERIFY(other.setText(TaskField::DESCRIPT, QStringLiteral("theirs")).ok()); // holds the record lock
        const TaskUndoStep::Outcome refused = made.step->apply(table, Direction::Undo);
        QVERIFY(!refused.status.ok());
        QCOMPARE(refused.status.error().code, xbase::ErrorCode::Locked);
        QVERIFY(snapshot(table) == after);

        other.engine().cancel();
        QVERIFY(made.step->apply(table, Direction::Undo).ok());
        const Snapshot undone = snapshot(table);
        for (std::uint32_t recno = 4; recno <= 6; ++recno)
            QVERIFY(undone.at(recno).first[0] == '*');
        QVERIFY(table.verifyIndex().ok());
    }

    void anImportThatChangesNothingIsNoStep()
    {
        TaskTableFixture fixture;
        QVERIFY(prepare(fixture));
        const QByteArray tag = TaskUid::tableTag(fixture.path());
        // The second task exactly as it is stored.
        auto plan = ICalImport::read(calendar(todo("2-" + tag + "@quorvo", "second",
                                                   "DUE:20240105T103000\r\nPRIORITY:5\r\nSTATUS:COMPLETED\r\n"
                                                   "CATEGORIES:work\r\n")),
                                     tag, nullptr);
        QVERIFY(plan);
        auto preview = ICalImportPreview::of(fixture.engine(), std::move(*plan), m_formats);
        QVERIFY(preview.ok());
        const Snapshot before = snapshot(fixture.engine());
        const ICalImportPreview::Made made = preview->make(fixture.engine());
        QVERIFY(made.outcome.status.ok());
        QCOMPARE(made.outcome.updated, 1);
        QVERIFY(snapshot(fixture.engine()) == before);
        QVERIFY(!made.step);
    }
};

QTEST_MAIN(TestICalImportPreview)
#include "TestICalImportPreview.moc"
