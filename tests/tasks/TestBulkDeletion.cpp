// The File > Delete walks over real task files: exactly the right tasks flagged deleted, counted, the index
// still sound, the order and query as they were; a task another program holds is skipped; a crash at any
// point of the walk's one transaction leaves all of its deletions or none.
#include "datetime/DateFormats.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/TaskFilterOracle.h"
#include "support/TaskTableFixture.h"
#include "support/xbase/FailingFileSystem.h"
#include "tasks/BulkDeletion.h"
#include "tasks/FilterExpression.h"

#include <QtTest>

#include <set>

using namespace quorvo;
using Command = BulkDeletion::Command;

namespace {

const QDate kToday(2024, 1, 5);

std::set<std::uint32_t> deletedRecords(xbase::Table& table)
{
    std::set<std::uint32_t> deleted;
    (void)table.scan([&](std::uint32_t recno, std::string_view record) {
        if (record[0] == '*')
            deleted.insert(recno);
        return true;
    });
    return deleted;
}

bool datedBeforeToday(const TaskSpec& task)
{
    const QDate date = QDate::fromString(QString::fromStdString(task.date), "yyyyMMdd");
    return task.date.size() == 8 && date.isValid() && date < kToday;
}

} // namespace

class TestBulkDeletion : public QObject
{
    Q_OBJECT

    FixedClock m_clock{kToday, QTime(9, 30)};
    // A day-month-year user: the walk must read stored dates through the working settings regardless.
    DateFormats m_formats{RegionalFixtures::dayMonthYear(), m_clock};

    BulkDeletion::Outcome run(xbase::Table& table, Command command)
    {
        return BulkDeletion::run(table, command, m_formats, *DateTime::fromQDate(kToday));
    }

private slots:
    void init()
    {
        m_formats.SaveUserDateFormats();
        m_formats.UseUserDateFormats();
    }

    void deletesExactlyWhatTheRulesSelect_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("seed");
        for (int seed : {1, 2, 3, 4}) {
            QTest::addRow("marked done %d", seed) << int(Command::AllMarkedDone) << seed;
            QTest::addRow("before today %d", seed) << int(Command::AllWithDatesBeforeToday) << seed;
            QTest::addRow("matching %d", seed) << int(Command::AllTasksMatchingFilter) << seed;
            QTest::addRow("not matching %d", seed) << int(Command::AllTasksNotMatchingFilter) << seed;
        }
    }

    void deletesExactlyWhatTheRulesSelect()
    {
        QFETCH(int, command);
        QFETCH(int, seed);
        QRandomGenerator rng{quint32(seed)};
        std::vector<TaskSpec> tasks = oracle::randomTasks(rng, 250, kToday);
        tasks.push_back({"20240230", "", "impossible date", "", "", true, ""});
        tasks.push_back({"2023", "", "short date", "", "", false, ""});
        TaskTableFixture fixture;
        QVERIFY(fixture.create(tasks));
        xbase::Table& table = fixture.engine();
        // A few tasks deleted before: neither visited again nor counted.
        std::set<std::uint32_t> before{3, 50, 120};
        for (std::uint32_t r : before) {
            QVERIFY(table.go(r).ok() && table.setDeleted(true).ok() && table.post().ok());
        }
        FilterCriteria criteria;
        std::optional<QString> filter;
        while (!(filter = FilterExpression::build(criteria, kToday)) || filter->isEmpty())
            criteria = oracle::randomCriteria(rng);
        QVERIFY(FilterExpression::apply(table, *filter).ok());
        const int order = 1 + int(rng.bounded(5));
        QVERIFY(table.setOrder(order).ok());

        const BulkDeletion::Outcome outcome = run(table, Command(command));
        QVERIFY(outcome.status.ok());

        std::set<std::uint32_t> expected = before;
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            const std::uint32_t recno = std::uint32_t(i + 1);
            if (before.count(recno))
                continue;
            bool selected = false;
            switch (Command(command)) {
            case Command::AllMarkedDone:
                selected = tasks[i].done;
                break;
            case Command::AllWithDatesBeforeToday:
                selected = datedBeforeToday(tasks[i]);
                break;
            case Command::AllTasksMatchingFilter:
                selected = oracle::passes(tasks[i], criteria, kToday);
                break;
            case Command::AllTasksNotMatchingFilter:
                selected = !oracle::passes(tasks[i], criteria, kToday);
                break;
            }
            if (selected)
                expected.insert(recno);
        }
        QCOMPARE(deletedRecords(table), expected);
        QCOMPARE(outcome.deleted, int(expected.size() - before.size()));
        QVERIFY(outcome.deleted > 0);
        QCOMPARE(table.order(), order);
        QCOMPARE(QString::fromStdString(table.query()), *filter);
        QVERIFY(table.verifyIndex().ok());
    }

    void aTaskAnotherProgramHoldsIsSkipped()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{"", "", "one", "", "", true, ""},
                                {"", "", "two", "", "", true, ""},
                                {"", "", "three", "", "", true, ""}}));
        auto other = xbase::Table::open(fixture.path().toStdString(), xbase::OpenMode::Shared, fixture.options());
        QVERIFY(other.ok());
        // The other program is changing task 2 and holds its lock.
        QVERIFY((*other)->go(2).ok() && (*other)->replace(TaskField::KEYS, "mine").ok());

        const BulkDeletion::Outcome outcome = run(fixture.engine(), Command::AllMarkedDone);
        QVERIFY(outcome.status.ok());
        QCOMPARE(outcome.deleted, 2);
        QCOMPARE(deletedRecords(fixture.engine()), (std::set<std::uint32_t>{1, 3}));
        (*other)->cancel();
    }

    void aCrashLeavesAllOrNone()
    {
        for (int crashAt = 1;; ++crashAt) {
            QTemporaryDir dir;
            const std::string path = dir.filePath("QVTSK.DBF").toStdString();
            QVERIFY(TaskGenerator::createTable(path, 200, {}).ok());
            xbase::test::FailingFileSystem failing(xbase::diskFileSystem());
            xbase::TableOptions options;
            options.fileSystem = &failing;
            int done = 0;
            {
                auto table = xbase::Table::open(path, xbase::OpenMode::Shared, options);
                QVERIFY(table.ok());
                auto isDone = (*table)->compile("DONE");
                QVERIFY(isDone.ok());
                QVERIFY((*table)
                            ->scan([&](std::uint32_t, std::string_view record) {
                                done += isDone->evaluateLogical(record);
                                return true;
                            })
                            .ok());
                failing.failAt(crashAt, true);
                const BulkDeletion::Outcome outcome = run(**table, Command::AllMarkedDone);
                if (outcome.status.ok()) {
                    // Past the last change of the walk: it finished and counted every done task.
                    QCOMPARE(outcome.deleted, done);
                    QVERIFY(crashAt > 1);
                    return;
                }
                QCOMPARE(outcome.deleted, 0);
            }
            // After the power cut the next open rolls back what the journal holds.
            auto reopened = xbase::Table::open(path, xbase::OpenMode::Exclusive);
            QVERIFY2(reopened.ok(), qPrintable(QString::number(crashAt)));
            const std::size_t deleted = deletedRecords(**reopened).size();
            QVERIFY2(deleted == 0 || deleted == std::size_t(done), qPrintable(QString::number(crashAt)));
            QVERIFY((*reopened)->verifyIndex().ok());
        }
    }

    // Flagging many records in one step inside a batch that already holds an edit of one of them: the
    // records' bytes between the flags are rewritten as they are, and a power cut at any write leaves the
    // edit and every flag, or none of them, with the edited task as it was before.
    void bulkFlagsAndAnEarlierEditAreWholeOrNothing_data()
    {
        QTest::addColumn<bool>("exclusive");
        QTest::newRow("shared") << false;
        QTest::newRow("exclusive") << true;
    }

    void bulkFlagsAndAnEarlierEditAreWholeOrNothing()
    {
        QFETCH(bool, exclusive);
        const xbase::OpenMode mode = exclusive ? xbase::OpenMode::Exclusive : xbase::OpenMode::Shared;
        const std::vector<std::uint32_t> flags{4, 5, 6, 40, 41, 150};
        for (int crashAt = 1;; ++crashAt) {
            QTemporaryDir dir;
            const std::string path = dir.filePath("QVTSK.DBF").toStdString();
            QVERIFY(TaskGenerator::createTable(path, 200, {}).ok());
            std::string before5;
            {
                auto table = xbase::Table::open(path, mode);
                QVERIFY(table.ok() && (*table)->go(5).ok());
                before5 = (*table)->getTrimString(TaskField::DESCRIPT);
            }
            xbase::test::FailingFileSystem failing(xbase::diskFileSystem());
            xbase::TableOptions options;
            options.fileSystem = &failing;
            {
                auto table = xbase::Table::open(path, mode, options);
                QVERIFY(table.ok());
                failing.failAt(crashAt, true);
                xbase::Table& t = **table;
                std::vector<std::uint32_t> flagged;
                xbase::Status status = t.beginBatch();
                if (status)
                    (void)t.lockAllRecords();
                if (status)
                    status = t.go(5);
                if (status)
                    status = t.replace(TaskField::DESCRIPT, "edited in the batch");
                if (status)
                    status = t.post();
                if (status)
                    status = t.setDeletedMany(
                        flags, true, [](std::uint32_t, std::string_view) { return true; }, flagged);
                if (status)
                    status = t.commitBatch();
                if (status) {
                    QCOMPARE(flagged, flags);
                    QVERIFY(crashAt > 1);
                    QVERIFY(t.verifyIndex().ok());
                    return;
                }
            }
            auto reopened = xbase::Table::open(path, xbase::OpenMode::Exclusive);
            QVERIFY2(reopened.ok(), qPrintable(QString::number(crashAt)));
            const std::set<std::uint32_t> deleted = deletedRecords(**reopened);
            QVERIFY((*reopened)->go(5).ok());
            const std::string descript = (*reopened)->getTrimString(TaskField::DESCRIPT);
            if (deleted.empty())
                QCOMPARE(descript, before5);
            else
                QVERIFY2(deleted == std::set<std::uint32_t>(flags.begin(), flags.end()) &&
                             descript == "edited in the batch",
                         qPrintable(QString::number(crashAt)));
            QVERIFY((*reopened)->verifyIndex().ok());
        }
    }
};

QTEST_GUILESS_MAIN(TestBulkDeletion)
#include "TestBulkDeletion.moc"
