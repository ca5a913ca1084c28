// The single-task commands and the sort orders over a real task table, without a window.
#include "datetime/DateFormats.h"
#include "datetime/ShortDateNarrowing.h"
#include "store/TaskRecord.h"
#include "tasks/KeyWordList.h"
#include "tasks/SortOrders.h"
#include "tasks/TaskCommands.h"
#include "tasks/TaskEditorFields.h"

#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/TaskTableFixture.h"

#include <QtTest>

using namespace quorvo;

namespace {

// A task with the fields a test leaves out empty.
TaskSpec task(std::string date, std::string time, std::string descript, std::string keys = {},
              std::string priority = {}, bool done = false, std::string note = {})
{
    return {std::move(date), std::move(time), std::move(descript), std::move(keys), std::move(priority), done,
            std::move(note)};
}

using Tasks = std::vector<TaskSpec>;

QStringList descriptionsInOrder(TodoTable& table)
{
    QStringList seen;
    xbase::Table& engine = table.engine();
    for (auto walk = engine.goTop(); walk && !engine.eof(); walk = engine.skip(1))
        seen << table.text(TaskField::DESCRIPT);
    return seen;
}

bool standOn(TodoTable& table, const QString& descript)
{
    xbase::Table& engine = table.engine();
    for (auto walk = engine.goTop(); walk && !engine.eof(); walk = engine.skip(1)) {
        if (table.text(TaskField::DESCRIPT) == descript)
            return true;
    }
    return false;
}

} // namespace

class TestTaskCommands : public QObject
{
    Q_OBJECT

    FixedClock m_clock{QDate(2024, 1, 8), QTime(10, 15, 42)}; // a Monday

private slots:
    void editorFieldsFromATask_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("shown"); // TaskEditorFields::Priority
        QTest::addColumn<QString>("saved");
        QTest::newRow("A") << "A" << int(TaskEditorFields::Priority::High) << "A";
        QTest::newRow("B") << "B" << int(TaskEditorFields::Priority::Medium) << "B";
        QTest::newRow("C") << "C" << int(TaskEditorFields::Priority::Low) << "C";
        QTest::newRow("lower-case b shows the default") << "b" << int(TaskEditorFields::Priority::Medium) << "B";
        QTest::newRow("lower-case a is not high") << "a" << int(TaskEditorFields::Priority::Medium) << "B";
        QTest::newRow("none") << "" << int(TaskEditorFields::Priority::Medium) << "B";
    }

    void editorFieldsFromATask()
    {
        QFETCH(QString, stored);
        QFETCH(int, shown);
        QFETCH(QString, saved);
        DateFormats formats(RegionalFixtures::monthDayYear(), m_clock);
        formats.SaveUserDateFormats();
        TaskValues task{"Call", "home", "ab\r\nc", "20240105", "14:30", stored, true};
        const TaskEditorFields fields = TaskEditorFields::forEdit(task, formats);
        QCOMPARE(int(fields.priority), shown);
        QCOMPARE(fields.taskLabel, QStringLiteral("Editing Task"));
        QVERIFY(fields.isDone);
        const TaskValues back = fields.collect(formats);
        QCOMPARE(back.priority, saved);
        task.priority = saved;
        QCOMPARE(back, task);
    }

    void newTaskDefaults()
    {
        DateFormats formats(RegionalFixtures::monthDayYear(), m_clock);
        const TaskEditorFields fields = TaskEditorFields::forAdd();
        QCOMPARE(fields.taskLabel, QStringLiteral("Adding Task"));
        QCOMPARE(fields.collect(formats), (TaskValues{"{Task description}", "", "", "", "", "B", false}));
    }

    void editorDatesAndNotes_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("dateEdit");
        QTest::addColumn<QString>("notes");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("note");
        QTest::newRow("day first, day first typed") << "dd/mm/yyyy"
                                                    << "13/01/2024"
                                                    << "abcd"
                                                    << "20240113"
                                                    << "abcd ";
        QTest::newRow("day first, month first typed") << "dd/mm/yyyy"
                                                      << "01/13/2024"
                                                      << "abc"
                                                      << "20240113"
                                                      << "abc";
        QTest::newRow("not a date either way") << "dd/mm/yyyy"
                                               << "13/13/2024"
                                               << "ab\r\nc"
                                               << ""
                                               << "ab\r\nc";
        QTest::newRow("narrowed month names") << "dd-mmm-yy"
                                              << "05-01-2024"
                                              << ""
                                              << "20240105"
                                              << "";
    }

    void editorDatesAndNotes()
    {
        QFETCH(QString, system);
        QFETCH(QString, dateEdit);
        QFETCH(QString, notes);
        QFETCH(QString, date);
        QFETCH(QString, note);
        DateFormats formats(system == u"dd/mm/yyyy"
                                ? RegionalFixtures::dayMonthYear()
                                : RegionalFixtures::withShortDate(QStringLiteral("dd-mmm-yy"), u'-'),
                            m_clock);
        formats.SaveUserDateFormats();
        const QString fullPattern = formats.user().shortDatePattern;
        {
            ShortDateNarrowing narrowed(formats);
            if (system == u"dd-mmm-yy")
                QCOMPARE(TaskEditorFields::forEdit({"", "", "", "20240105", "", "", false}, formats).dateEdit,
                         dateEdit);
            TaskEditorFields fields = TaskEditorFields::forAdd();
            fields.dateEdit = dateEdit;
            fields.notes = notes;
            const TaskValues values = fields.collect(formats);
            QCOMPARE(values.date, date);
            QCOMPARE(values.note, note);
        }
        QCOMPARE(formats.user().shortDatePattern, fullPattern);
    }

    void editAndAddWriteEveryFieldAndTheKeyWords()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({task("20240105", "", "one", "Work", "A", false, "")}));
        KeyWordList words;
        TaskCommands commands(fixture.table(), words);
        QVERIFY(fixture.engine().goTop().ok());
        const TaskValues edited{"first", "work home", "notes\r\nhere", "20240201", "09:05", "C", true};
        QVERIFY(commands.edit(edited).ok());
        QCOMPARE(*commands.current(), edited);
        const TaskValues added{"second", "Home school", "", "", "", "B", false};
        QVERIFY(commands.add(added).ok());
        QCOMPARE(*commands.current(), added);
        QCOMPARE(fixture.engine().recNo(), 2u);
        QCOMPARE(words.words(), (QStringList{"work", "home", "school"}));
        QVERIFY(fixture.engine().verifyIndex().ok());
    }

    void cloneKeepsThePriority()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({task("20240105", "08:00", "high", "k1 k2", "A", true, "the note")}));
        KeyWordList words;
        TaskCommands commands(fixture.table(), words);
        QVERIFY(fixture.engine().goTop().ok());
        QVERIFY(commands.cloneCurrent().ok());
        QCOMPARE(fixture.engine().recNo(), 2u);
        QCOMPARE(*commands.current(), (TaskValues{"high", "k1 k2", "the note", "20240105", "08:00", "A", false}));
        QCOMPARE(*fixture.engine().queryRecCount(), 2u);
        QVERIFY(fixture.engine().verifyIndex().ok());
    }

    void deleteStandsOnTheNextTaskOfTheView_data()
    {
        QTest::addColumn<int>("tasks");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("current"); // "" for the view's end
        QTest::newRow("first of three") << 3 << "t1"
                                        << "t2";
        QTest::newRow("middle") << 3 << "t2"
                                << "t3";
        QTest::newRow("last") << 3 << "t3"
                              << "";
        QTest::newRow("the only task") << 1 << "t1"
                                       << "";
    }

    void deleteStandsOnTheNextTaskOfTheView()
    {
        QFETCH(int, tasks);
        QFETCH(QString, deleted);
        QFETCH(QString, current);
        TaskTableFixture fixture;
        Tasks specs;
        // Record order is the reverse of the date order, so the next task is found in the order, not by number.
        for (int i = tasks; i >= 1; --i)
            specs.push_back(task("2024010" + std::to_string(i), "", "t" + std::to_string(i)));
        QVERIFY(fixture.create(specs));
        QVERIFY(fixture.engine().setOrder(fixture.engine().tagOrder("DATETIME")).ok());
        KeyWordList words;
        TaskCommands commands(fixture.table(), words);
        QVERIFY(standOn(fixture.table(), deleted));
        QVERIFY(commands.deleteCurrent().ok());
        if (current.isEmpty())
            QVERIFY(fixture.engine().eof());
        else
            QCOMPARE(fixture.table().text(TaskField::DESCRIPT), current);
        QVERIFY(!descriptionsInOrder(fixture.table()).contains(deleted));
        QCOMPARE(*fixture.engine().queryRecCount(), std::uint32_t(tasks - 1));
        QVERIFY(fixture.engine().verifyIndex().ok());
    }

    void columnMenuChanges_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("stored");
        QTest::newRow("key word on one word") << "word"
                                              << "home" << TaskField::KEYS << "home home";
        QTest::newRow("key word on none") << "word"
                                          << "home" << -TaskField::KEYS << "home";
        QTest::newRow("key word cut to the field")
            << "word" << QString(57, u'x') << TaskField::KEYS << "home " + QString(55, u'x');
        QTest::newRow("clear entry") << "clear"
                                     << "" << TaskField::KEYS << "";
        QTest::newRow("priority") << "priority"
                                  << "C" << TaskField::PRIORITY << "C";
        QTest::newRow("date") << "date"
                              << "20240118" << TaskField::DATE << "20240118";
        QTest::newRow("clear date") << "date"
                                    << "" << TaskField::DATE << "";
        QTest::newRow("time") << "time"
                              << "23:59" << TaskField::TIME << "23:59";
    }

    void columnMenuChanges()
    {
        QFETCH(QString, command);
        QFETCH(QString, argument);
        QFETCH(int, field);
        QFETCH(QString, stored);
        TaskTableFixture fixture;
        // A negative field: the task starts without key words.
        QVERIFY(fixture.create({task("20240105", "08:00", "t", field < 0 ? "" : "home", "A")}));
        field = std::abs(field);
        KeyWordList words;
        TaskCommands commands(fixture.table(), words);
        QVERIFY(fixture.engine().goTop().ok());
        xbase::Status status;
        if (command == u"word")
            status = commands.appendKeyWord(argument);
        else if (command == u"clear")
            status = commands.clearKeys();
        else if (command == u"priority")
            status = commands.setPriority(argument);
        else if (command == u"date")
            status = commands.setDate(argument);
        else
            status = commands.setTime(argument);
        QVERIFY(status.ok());
        QVERIFY(fixture.engine().skip(0).ok());
        QCOMPARE(fixture.table().text(field), stored);
        QVERIFY(fixture.engine().verifyIndex().ok());
    }

    void toggleDoneFlipsAndLeavesTheCalculationOn()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({task("20240105", "", "t")}));
        KeyWordList words;
        TaskCommands commands(fixture.table(), words);
        QVERIFY(fixture.engine().goTop().ok());
        QVERIFY(commands.toggleDone().ok());
        QVERIFY(fixture.engine().getLogical(TaskField::DONE));
        QVERIFY(!fixture.table().CalcSuspended());
        QVERIFY(commands.toggleDone().ok());
        QVERIFY(!fixture.engine().getLogical(TaskField::DONE));
    }

    // Another program holds the task's record lock: each command fails with nothing written, and the
    // calculated fields work again after a failed done toggle.
    void aLockedTaskKeepsItsStoredValues_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* command : {"edit", "clone", "delete", "done", "date", "priority", "word"})
            QTest::newRow(command) << command;
    }

    void aLockedTaskKeepsItsStoredValues()
    {
        QFETCH(QString, command);
        TaskTableFixture fixture;
        QVERIFY(fixture.create({task("20240105", "08:00", "t", "home", "A", false, "note")}));
        TodoTable other;
        QVERIFY(other.open(fixture.path(), false, TaskTableFixture::options()).ok());
        QVERIFY(other.engine().goTop().ok());
        QVERIFY(other.setText(TaskField::DESCRIPT, QStringLiteral("theirs")).ok()); // holds the record lock
        KeyWordList words;
        TaskCommands commands(fixture.table(), words);
        QVERIFY(fixture.engine().goTop().ok());
        const TaskValues before = *commands.current();
        xbase::Status status;
        if (command == u"edit")
            status = commands.edit({"mine", "", "", "", "", "C", true});
        else if (command == u"clone")
            status = commands.cloneCurrent();
        else if (command == u"delete")
            status = commands.deleteCurrent();
        else if (command == u"done")
            status = commands.toggleDone();
        else if (command == u"date")
            status = commands.setDate(QStringLiteral("20240301"));
        else if (command == u"priority")
            status = commands.setPriority(QStringLiteral("C"));
        else
            status = commands.appendKeyWord(QStringLiteral("x"));
        other.engine().cancel();
        if (command == u"clone") {
            // Appending needs no lock on the task copied: the clone is made.
            QVERIFY(status.ok());
            return;
        }
        QVERIFY(!status.ok());
        QCOMPARE(status.error().code, xbase::ErrorCode::Locked);
        QVERIFY(!fixture.table().CalcSuspended());
        QVERIFY(fixture.engine().goTop().ok());
        QCOMPARE(*commands.current(), before);
        QCOMPARE(*fixture.engine().recCount(), 1u);
        QVERIFY(fixture.engine().verifyIndex().ok());
    }

    void keyWordListFollowsTheCurrentOrder_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("record order") << "" << QStringList{"Home,work", "home", "school"};
        QTest::newRow("by description") << "DESCRIPT" << QStringList{"HOME", "Home,work", "school"};
    }

    void keyWordListFollowsTheCurrentOrder()
    {
        QFETCH(QString, tag);
        QFETCH(QStringList, expected);
        TaskTableFixture fixture;
        QVERIFY(fixture.create({task("", "", "c", "Home,work"), task("", "", "d", "home  school"),
                                task("", "", "a", "HOME"), task("", "", "b", "  ")}));
        QVERIFY(fixture.engine().setOrder(fixture.engine().tagOrder(tag.toStdString())).ok());
        KeyWordList words;
        words.breakStringIntoWords(QStringLiteral("stale"));
        TaskCommands commands(fixture.table(), words);
        int keptAlive = 0;
        QVERIFY(commands.buildKeyWordList([&] { ++keptAlive; }).ok());
        QCOMPARE(words.words(), expected);
        QVERIFY(fixture.engine().eof());
    }

    void pickerStarts()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({task("20240105", "14:30", "timed"), task("2024133", "25:00", "damaged")}));
        DateFormats formats(RegionalFixtures::monthDayYear(), m_clock);
        KeyWordList words;
        TaskCommands commands(fixture.table(), words);
        const DateTime today = *DateTime::fromDate(2024, 1, 8);
        const DateTime now = *DateTime::fromTime(10, 15, 42);
        QVERIFY(fixture.engine().go(1).ok());
        QCOMPARE(commands.datePickerStart(today), *DateTime::fromDate(2024, 1, 5));
        QCOMPARE(commands.timePickerStart(formats, now), *DateTime::fromTime(14, 30));
        QVERIFY(fixture.engine().go(2).ok());
        QCOMPARE(commands.datePickerStart(today), today);
        QCOMPARE(commands.timePickerStart(formats, now), now);
        QCOMPARE(TaskCommands::storedPickedTime(now, formats), QStringLiteral("10:15"));
    }

    void sortOrders_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("checked");
        QTest::newRow("date and time") << "DATETIME" << QStringList{"none", "b", "C", "a", "d"} << 0;
        QTest::newRow("description without regard to case")
            << "DESCRIPT" << QStringList{"a", "b", "C", "d", "none"} << 1;
        QTest::newRow("priority: none first, then by date")
            << "PRIORITY" << QStringList{"none", "C", "a", "b", "d"} << 2;
        QTest::newRow("done tag checks nothing") << "DONE" << QStringList{"b", "C", "d", "none", "a"} << -1;
    }

    void sortOrders()
    {
        QFETCH(QString, tag);
        QFETCH(QStringList, expected);
        QFETCH(int, checked);
        TaskTableFixture fixture;
        QVERIFY(fixture.create({task("20240103", "", "a", "", "A", true), task("20240101", "09:00", "b", "", "B"),
                                task("20240102", "", "C", "", "A"), task("20240104", "", "d", "", "C"),
                                task("", "", "none", "", "")}));
        QVERIFY(fixture.engine().go(4).ok());
        QVERIFY(SortOrders::sortBy(fixture.table(), tag.toStdString()).ok());
        QCOMPARE(fixture.table().text(TaskField::DESCRIPT), expected.first());
        QCOMPARE(descriptionsInOrder(fixture.table()), expected);
        QCOMPARE(SortOrders::current(fixture.table()), checked);
        QVERIFY(fixture.engine().setOrder(0).ok());
        QCOMPARE(SortOrders::current(fixture.table()), -1);
        QVERIFY(!SortOrders::sortBy(fixture.table(), "NOSUCH").ok());
    }
};

QTEST_GUILESS_MAIN(TestTaskCommands)
#include "TestTaskCommands.moc"
