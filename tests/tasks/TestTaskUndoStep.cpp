// Undo and redo of task changes over real task files, checked against snapshots of the whole table: every
// kind of step, interleaved at random; a refusal when another program changed a task; a crash in the middle
// of an undo leaves the step whole or not at all.
#include "datetime/DateFormats.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/TaskTableFixture.h"
#include "support/xbase/FailingFileSystem.h"
#include "tasks/BulkDeletion.h"
#include "tasks/KeyWordList.h"
#include "tasks/TaskCommands.h"
#include "tasks/TaskUndoStep.h"

#include <QRandomGenerator>
#include <QtTest>

#include <functional>
#include <map>

using namespace quorvo;
using Direction = TaskUndoStep::Direction;

namespace {

// Every record of the table: its bytes without the memo pointer, and its notes.
using Snapshot = std::map<std::uint32_t, std::pair<std::string, std::string>>;

Snapshot snapshot(xbase::Table& table)
{
    Snapshot all;
    const std::uint32_t at = table.eof() ? 0 : table.recNo();
    const xbase::FieldInfo& memo = table.field(TaskField::NOTE);
    for (std::uint32_t recno = 1;; ++recno) {
        if (!table.go(recno) || table.eof())
            break;
        std::string record(table.record());
        record.replace(memo.offset, memo.width, memo.width, ' ');
        auto note = table.getMemo(TaskField::NOTE);
        all[recno] = {record, note ? *note : std::string("?")};
    }
    (void)table.go(at);
    return all;
}

// A command of the program over the current task, with the step it makes.
struct Command
{
    const char* name;
    std::function<xbase::Status(TaskCommands&)> run;
    enum Kind
    {
        Change,
        Add,
    } kind = Change;
};

const std::vector<Command>& commands()
{
    static const std::vector<Command> all = {
        {"Change Date", [](TaskCommands& c) { return c.setDate("20250317"); }},
        {"Clear Date", [](TaskCommands& c) { return c.setDate({}); }},
        {"Change Time", [](TaskCommands& c) { return c.setTime("07:45"); }},
        {"Change Priority", [](TaskCommands& c) { return c.setPriority("A"); }},
        {"Change Key Words", [](TaskCommands& c) { return c.appendKeyWord("garden"); }},
        {"Mark Done", [](TaskCommands& c) { return c.toggleDone(); }},
        {"Edit Task",
         [](TaskCommands& c) {
             TaskValues v{"Rewritten", "one two", "first line\r\nsecond line", "20240102", "09:00", "C", false};
             return c.edit(v);
         }},
        {"Clone Task", [](TaskCommands& c) { return c.cloneCurrent(); }, Command::Add},
        {"Delete Task", [](TaskCommands& c) { return c.deleteCurrent(); }},
    };
    return all;
}

// Runs a command on the current task as the window does: the image before, the command, the step.
std::optional<TaskUndoStep> runCommand(TodoTable& table, TaskCommands& tasks, const Command& command)
{
    xbase::Table& engine = table.engine();
    if (engine.eof())
        return std::nullopt;
    const std::uint32_t recno = engine.recNo();
    auto before = TaskImage::capture(engine, recno, true);
    if (!before)
        return std::nullopt;
    (void)engine.go(recno);
    if (!command.run(tasks))
        return std::nullopt;
    if (command.kind == Command::Add)
        return TaskUndoStep::added(engine, QString::fromLatin1(command.name));
    return TaskUndoStep::change(engine, *before);
}

} // namespace

class TestTaskUndoStep : public QObject
{
    Q_OBJECT

    FixedClock m_clock{QDate(2026, 1, 5), QTime(9, 30)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};

private slots:
    void eachKindOfStepGoesBackAndForth_data()
    {
        QTest::addColumn<int>("command");
        for (std::size_t i = 0; i < commands().size(); ++i)
            QTest::newRow(commands()[i].name) << int(i);
    }

    void eachKindOfStepGoesBackAndForth()
    {
        QFETCH(int, command);
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{"20240105", "", "Water plants", "home", "B", false, "note"},
                                {"20240106", "10:00", "Pay rent", "", "", false, ""},
                                {"", "", "Third", "x", "C", true, "more"}}));
        KeyWordList words;
        TaskCommands tasks(fixture.table(), words);
        xbase::Table& engine = fixture.engine();
        QVERIFY(engine.go(1).ok());
        const Snapshot before = snapshot(engine);
        auto step = runCommand(fixture.table(), tasks, commands()[std::size_t(command)]);
        QVERIFY(step.has_value());
        QCOMPARE(step->text(), QString::fromLatin1(commands()[std::size_t(command)].name));
        const Snapshot after = snapshot(engine);
        QVERIFY(after != before);

        QVERIFY(step->apply(engine, Direction::Undo).ok());
        // An appended task stays in the file, flagged deleted; everything else is as it was.
        Snapshot undone = snapshot(engine);
        if (undone.size() > before.size()) {
            QCOMPARE(undone.rbegin()->second.first[0], '*');
            undone.erase(std::prev(undone.end()));
        }
        QCOMPARE(undone, before);
        QVERIFY(step->apply(engine, Direction::Redo).ok());
        QCOMPARE(snapshot(engine), after);
        QVERIFY(engine.verifyIndex().ok());
    }

    void aNoOpCommandMakesNoStep()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{"20240105", "", "Water plants", "", "B", false, ""}}));
        xbase::Table& engine = fixture.engine();
        auto before = TaskImage::capture(engine, 1, true);
        QVERIFY(before.ok());
        QVERIFY(!TaskUndoStep::change(engine, *before).has_value());
    }

    // Random commands, undos and redos against the snapshots the stack stands for.
    void interleavedStepsMatchTheModel()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.generate(40));
        KeyWordList words;
        TaskCommands tasks(fixture.table(), words);
        xbase::Table& engine = fixture.engine();
        QRandomGenerator random(4711);
        std::vector<TaskUndoStep> steps;
        std::vector<Snapshot> states{snapshot(engine)};
        std::size_t index = 0;
        for (int round = 0; round < 120; ++round) {
            const int action = random.bounded(10);
            if (action < 3 && index > 0) {
                --index;
                QVERIFY(steps[index].apply(engine, Direction::Undo).ok());
            } else if (action < 5 && index < steps.size()) {
                QVERIFY(steps[index].apply(engine, Direction::Redo).ok());
                ++index;
            } else if (action < 6) {
                const BulkDeletion::Outcome outcome = BulkDeletion::run(
                    engine, BulkDeletion::Command::AllMarkedDone, m_formats, *DateTime::fromQDate(QDate(2026, 1, 5)));
                QVERIFY(outcome.status.ok());
                auto step = TaskUndoStep::deletion(engine, outcome.records);
                if (!step)
                    continue;
                QCOMPARE(step->text(), outcome.deleted == 1 ? QString("Delete 1 Task")
                                                            : QString("Delete %1 Tasks").arg(outcome.deleted));
                steps.erase(steps.begin() + std::ptrdiff_t(index), steps.end());
                states.resize(index + 1);
                steps.push_back(std::move(*step));
                states.push_back(snapshot(engine));
                ++index;
            } else {
                QVERIFY(engine.go(std::uint32_t(random.bounded(1, 41))).ok());
                if (engine.deleted())
                    continue;
                const Command& command = commands()[random.bounded(int(commands().size()))];
                auto step = runCommand(fixture.table(), tasks, command);
                if (!step)
                    continue;
                steps.erase(steps.begin() + std::ptrdiff_t(index), steps.end());
                states.resize(index + 1);
                steps.push_back(std::move(*step));
                states.push_back(snapshot(engine));
                ++index;
            }
            // A task appended and undone stays in the file as a deleted record: compare what the state knew.
            Snapshot now = snapshot(engine);
            for (auto it = now.begin(); it != now.end();) {
                if (!states[index].count(it->first) && it->second.first[0] == '*')
                    it = now.erase(it);
                else
                    ++it;
            }
            QVERIFY2(now == states[index], qPrintable(QString("round %1").arg(round)));
        }
        QVERIFY(engine.verifyIndex().ok());
    }

    void refusedWhenAnotherProgramChangedTheTask()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(
            {{"20240105", "", "Water plants", "", "B", false, ""}, {"20240106", "", "Pay rent", "", "", false, ""}}));
        KeyWordList words;
        TaskCommands tasks(fixture.table(), words);
        xbase::Table& engine = fixture.engine();
        QVERIFY(engine.go(2).ok());
        auto step = runCommand(fixture.table(), tasks, commands()[0]);
        QVERIFY(step.has_value());
        {
            auto other =
                xbase::Table::open(fixture.path().toStdString(), xbase::OpenMode::Shared, TaskTableFixture::options());
            QVERIFY(other.ok());
            QVERIFY((*other)->go(2).ok());
            QVERIFY((*other)->replace(TaskField::TIME, "23:59").ok());
            QVERIFY((*other)->post().ok());
        }
        const Snapshot changed = snapshot(engine);
        const TaskUndoStep::Outcome outcome = step->apply(engine, Direction::Undo);
        QVERIFY(outcome.status.ok());
        QCOMPARE(outcome.changedTask.value_or(QString()), QString("Pay rent"));
        QCOMPARE(snapshot(engine), changed);
        QCOMPARE(TaskUndoStep::refusalText(step->text(), Direction::Undo, *outcome.changedTask),
                 QString("Undo \"Change Date\" is not possible: the task \"Pay rent\" has been changed by another "
                         "program since.\rNothing has been changed."));
    }

    void aBulkStepIsRefusedWhenOneOfItsTasksChanged()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.generate(400));
        xbase::Table& engine = fixture.engine();
        const BulkDeletion::Outcome outcome = BulkDeletion::run(engine, BulkDeletion::Command::AllMarkedDone, m_formats,
                                                                *DateTime::fromQDate(QDate(2026, 1, 5)));
        QVERIFY(outcome.deleted > 100);
        auto step = TaskUndoStep::deletion(engine, outcome.records);
        QVERIFY(step.has_value());
        const std::uint32_t recalled = outcome.records[std::size_t(outcome.deleted / 2)];
        {
            auto other =
                xbase::Table::open(fixture.path().toStdString(), xbase::OpenMode::Shared, TaskTableFixture::options());
            QVERIFY(other.ok());
            QVERIFY((*other)->go(recalled).ok());
            QVERIFY((*other)->setDeleted(false).ok());
            QVERIFY((*other)->post().ok());
        }
        QVERIFY(engine.go(recalled).ok());
        const QString name = fixture.table().text(TaskField::DESCRIPT);
        const Snapshot changed = snapshot(engine);
        const TaskUndoStep::Outcome refused = step->apply(engine, Direction::Undo);
        QVERIFY(refused.status.ok());
        QCOMPARE(refused.changedTask.value_or(QString()), name);
        QCOMPARE(snapshot(engine), changed);
    }

    // A task that another program holds locked, unchanged, cannot be recalled now: the undo is refused
    // naming it and nothing is written; once the lock is gone it goes through.
    void aBulkUndoIsRefusedWhileOneOfItsTasksIsLocked()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.generate(400));
        xbase::Table& engine = fixture.engine();
        const BulkDeletion::Outcome outcome = BulkDeletion::run(engine, BulkDeletion::Command::AllMarkedDone, m_formats,
                                                                *DateTime::fromQDate(QDate(2026, 1, 5)));
        QVERIFY(outcome.deleted > 100);
        auto step = TaskUndoStep::deletion(engine, outcome.records);
        QVERIFY(step.has_value());
        const Snapshot deleted = snapshot(engine);
        const std::uint32_t held = outcome.records[std::size_t(outcome.deleted / 3)];
        QVERIFY(engine.go(held).ok());
        const QString name = fixture.table().text(TaskField::DESCRIPT);
        {
            auto other =
                xbase::Table::open(fixture.path().toStdString(), xbase::OpenMode::Shared, TaskTableFixture::options());
            QVERIFY(other.ok());
            QVERIFY((*other)->go(held).ok());
            QVERIFY((*other)->replace(TaskField::KEYS, (*other)->getTrimString(TaskField::KEYS)).ok());
            const TaskUndoStep::Outcome refused = step->apply(engine, Direction::Undo);
            QVERIFY(refused.status.ok());
            QCOMPARE(refused.changedTask.value_or(QString()), name);
            QCOMPARE(snapshot(engine), deleted);
            (*other)->cancel();
        }
        QVERIFY(step->apply(engine, Direction::Undo).ok());
        for (std::uint32_t recno : outcome.records) {
            QVERIFY(engine.go(recno).ok());
            QVERIFY(!engine.deleted());
        }
        QVERIFY(engine.verifyIndex().ok());
    }

    void aCrashDuringAnUndoLeavesTheStepWholeOrNotAtAll()
    {
        for (int crashAt = 1;; ++crashAt) {
            QTemporaryDir dir;
            const std::string path = dir.filePath("QVTSK.DBF").toStdString();
            QVERIFY(TaskGenerator::createTable(path, 120, {}).ok());
            xbase::test::FailingFileSystem failing(xbase::diskFileSystem());
            xbase::TableOptions options;
            options.fileSystem = &failing;
            Snapshot deleted;
            Snapshot recalled;
            {
                auto table = xbase::Table::open(path, xbase::OpenMode::Shared, options);
                QVERIFY(table.ok());
                recalled = snapshot(**table);
                const BulkDeletion::Outcome outcome = BulkDeletion::run(
                    **table, BulkDeletion::Command::AllMarkedDone, m_formats, *DateTime::fromQDate(QDate(2026, 1, 5)));
                QVERIFY(outcome.deleted > 1);
                auto step = TaskUndoStep::deletion(**table, outcome.records);
                QVERIFY(step.has_value());
                deleted = snapshot(**table);
                failing.failAt(crashAt, true);
                if (step->apply(**table, Direction::Undo).ok()) {
                    QVERIFY(crashAt > 1);
                    return;
                }
            }
            auto reopened = xbase::Table::open(path, xbase::OpenMode::Exclusive);
            QVERIFY2(reopened.ok(), qPrintable(QString::number(crashAt)));
            const Snapshot now = snapshot(**reopened);
            QVERIFY2(now == deleted || now == recalled, qPrintable(QString::number(crashAt)));
            QVERIFY((*reopened)->verifyIndex().ok());
        }
    }
};

QTEST_GUILESS_MAIN(TestTaskUndoStep)
#include "TestTaskUndoStep.moc"
