#include "datetime/DateFormats.h"
#include "mainwindow/TaskViewModel.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace quorvo;
using namespace Qt::StringLiterals;

namespace {

// The texts of one row, left to right.
QStringList rowTexts(const TaskViewModel& model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts.append(model.index(row, column).data().toString());
    return texts;
}

QStringList columnTexts(const TaskViewModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.append(model.index(row, column).data().toString());
    return texts;
}

std::string storedField(TaskTableFixture& fixture, std::uint32_t recno, int field)
{
    auto reader = xbase::Table::open(fixture.path().toStdString(), xbase::OpenMode::Shared, fixture.options());
    if (!reader || !(*reader)->go(recno))
        return "<unreadable>";
    return (*reader)->getTrimString(field);
}

const std::vector<TaskSpec> kFiveTasks{
    {"20240110", "09:00", "Write report", "work", "B", false, ""},
    {"20240105", "14:30", "buy milk", "home errands", "A", false, ""},
    {"", "", "Call plumber", "home", "C", true, ""},
    {"20240105", "08:15", "Answer mail", "work", "b", false, ""},
    {"20230301", "", "Tidy garage", "", "", true, ""},
};

} // namespace

class TestTaskViewModel : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2024, 1, 5), QTime(10, 0)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};

private slots:
    void columnTitles()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({}));
        TaskViewModel model(fixture.table(), m_formats);
        QStringList titles;
        for (int column = 0; column < model.columnCount(); ++column)
            titles.append(model.headerData(column, Qt::Horizontal).toString());
        QCOMPARE(titles, (QStringList{"Priority", "Date", "Time", "Task", "Done?", "Key words"}));
    }

    void displayTexts_data()
    {
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<QByteArray>("time");
        QTest::addColumn<QByteArray>("priority");
        QTest::addColumn<bool>("done");
        QTest::addColumn<QByteArray>("descript");
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QStringList>("texts");

        QTest::newRow("afternoon") << QByteArray("20240105") << QByteArray("14:30") << QByteArray("B") << false
                                   << QByteArray("Pay the bill") << QByteArray("home money")
                                   << QStringList{"Medium",       "05 Jan 2024", " 02:30pm",
                                                  "Pay the bill", "N",           "home money"};
        QTest::newRow("just after midnight")
            << QByteArray("20241231") << QByteArray("00:05") << QByteArray("C") << true << QByteArray("x")
            << QByteArray("") << QStringList{"Low", "31 Dec 2024", " 12:05am", "x", "Y", ""};
        QTest::newRow("noon, lower-case a")
            << QByteArray("20240229") << QByteArray("12:00") << QByteArray("a") << false << QByteArray("x")
            << QByteArray("") << QStringList{"High", "29 Feb 2024", " 12:00pm", "x", "N", ""};
        QTest::newRow("no date, no time, no priority")
            << QByteArray("") << QByteArray("") << QByteArray("") << false << QByteArray("x") << QByteArray("")
            << QStringList{"", "", "", "x", "N", ""};
        QTest::newRow("not a date, not a time, unknown priority")
            << QByteArray("20241340") << QByteArray("25:00") << QByteArray("X") << false << QByteArray("x")
            << QByteArray("") << QStringList{"", "", "", "x", "N", ""};
        QTest::newRow("Windows-1252 text")
            << QByteArray("") << QByteArray("") << QByteArray("b") << false << QByteArray("Caf\xE9 bill \x80 5")
            << QByteArray("\x93quoted\x94")
            << QStringList{"Medium", "", "", u"Café bill € 5"_s, "N", u"\u201Cquoted\u201D"_s};
    }

    void displayTexts()
    {
        QFETCH(QByteArray, date);
        QFETCH(QByteArray, time);
        QFETCH(QByteArray, priority);
        QFETCH(bool, done);
        QFETCH(QByteArray, descript);
        QFETCH(QByteArray, keys);
        QFETCH(QStringList, texts);
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{date.toStdString(), time.toStdString(), descript.toStdString(), keys.toStdString(),
                                 priority.toStdString(), done, ""}}));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(rowTexts(model, 0), texts);
    }

    void calculatedFieldsEmptyWhileSuspended()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        TaskViewModel model(fixture.table(), m_formats);
        fixture.table().setCalcSuspended(true);
        QVERIFY(model.refresh().ok());
        QCOMPARE(rowTexts(model, 0), (QStringList{"", "", "", "Write report", "", "work"}));
        // Rows read while suspended are calculated once it is lifted, without reading the task again.
        fixture.table().setCalcSuspended(false);
        QCOMPARE(rowTexts(model, 0), (QStringList{"Medium", "10 Jan 2024", " 09:00am", "Write report", "N", "work"}));
        fixture.table().setCalcSuspended(true);
        QCOMPARE(rowTexts(model, 1), (QStringList{"", "", "", "buy milk", "", "home errands"}));
    }

    void viewFollowsQueryAndOrder_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<quint32>>("recnos");

        QTest::newRow("record order") << 0 << "" << QList<quint32>{1, 2, 3, 4, 5};
        // Blank dates first, then date and time.
        QTest::newRow("date and time") << 1 << "" << QList<quint32>{3, 5, 4, 2, 1};
        QTest::newRow("description, letter case ignored") << 2 << "" << QList<quint32>{4, 2, 3, 5, 1};
        QTest::newRow("priority") << 5 << "" << QList<quint32>{5, 2, 4, 1, 3};
        QTest::newRow("not done, by date") << 1 << "not DONE" << QList<quint32>{4, 2, 1};
        QTest::newRow("key word in record order") << 0 << "\"HOME\" $ upper(KEYS)" << QList<quint32>{2, 3};
        QTest::newRow("nothing passes") << 1 << "DATE = \"1999\"" << QList<quint32>{};
    }

    void viewFollowsQueryAndOrder()
    {
        QFETCH(int, order);
        QFETCH(QString, query);
        QFETCH(QList<quint32>, recnos);
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        xbase::Table& engine = fixture.engine();
        QVERIFY(engine.setOrder(order).ok());
        QVERIFY(engine.setQuery(query.toStdString()).ok());
        QVERIFY(engine.go(5).ok());
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        QList<quint32> shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown.append(model.index(row, 0).data(TaskViewModel::RecNoRole).value<quint32>());
        QCOMPARE(shown, recnos);
        for (int row = 0; row < model.rowCount(); ++row)
            QCOMPARE(model.rowOfRecord(recnos[row]), row);
        // Building the view and reading its rows leaves the table on its current task.
        (void)columnTexts(model, TaskViewModel::TaskColumn);
        QCOMPARE(engine.recNo(), 5u);
        QVERIFY(!engine.eof());
    }

    void deletedTaskLeavesTheView()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        xbase::Table& engine = fixture.engine();
        QVERIFY(engine.setOrder(1).ok());
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        QCOMPARE(model.rowCount(), 5);
        QVERIFY(engine.go(2).ok());
        QVERIFY(engine.setDeleted(true).ok());
        QVERIFY(engine.post().ok());
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QVERIFY(model.refresh().ok());
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.rowOfRecord(2), -1);
    }

    void tableAtItsEndStaysThere()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        xbase::Table& engine = fixture.engine();
        QVERIFY(engine.setOrder(1).ok());
        QVERIFY(engine.seek("2025", true).ok());
        QVERIFY(engine.eof());
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        (void)columnTexts(model, TaskViewModel::DateColumn);
        QVERIFY(engine.eof());
    }

    void unchangedViewIsReadAgainWithoutReset()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        QCOMPARE(model.index(0, TaskViewModel::TaskColumn).data().toString(), QString("Write report"));
        // Another writer changes a task the grid has shown.
        auto other = xbase::Table::open(fixture.path().toStdString(), xbase::OpenMode::Shared, fixture.options());
        QVERIFY(other.ok());
        QVERIFY((*other)->go(1).ok());
        QVERIFY((*other)->replace(TaskField::DESCRIPT, "Write the report").ok());
        QVERIFY((*other)->replaceLogical(TaskField::DONE, true).ok());
        QVERIFY((*other)->post().ok());
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.refresh().ok());
        QCOMPARE(reset.count(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(rowTexts(model, 0),
                 (QStringList{"Medium", "10 Jan 2024", " 09:00am", "Write the report", "Y", "work"}));
    }

    void pendingChangeIsNeitherPostedNorDisturbed()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        xbase::Table& engine = fixture.engine();
        QVERIFY(engine.go(3).ok());
        QVERIFY(engine.replace(TaskField::DESCRIPT, "half typed").ok());
        // Painting in the middle of a command must not post what the command has not finished.
        QVERIFY(!model.index(0, TaskViewModel::TaskColumn).data().isValid());
        QVERIFY(engine.pending());
        QCOMPARE(engine.recNo(), 3u);
        engine.cancel();
        QCOMPARE(storedField(fixture, 3, TaskField::DESCRIPT), std::string("Call plumber"));
        QCOMPARE(model.index(2, TaskViewModel::TaskColumn).data().toString(), QString("Call plumber"));
    }

    void closedTableGivesEmptyView()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        QCOMPARE(model.rowCount(), 5);
        QVERIFY(fixture.table().close().ok());
        QVERIFY(!model.index(4, 0).data().isValid());
        QVERIFY(model.refresh().ok());
        QCOMPARE(model.rowCount(), 0);
    }

    void inPlaceEdit_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");

        QTest::newRow("task") << int(TaskViewModel::TaskColumn) << "Call the plumber" << QByteArray("Call the plumber");
        QTest::newRow("task cut to 50") << int(TaskViewModel::TaskColumn) << QString(60, u'x') << QByteArray(50, 'x');
        QTest::newRow("task in Windows-1252") << int(TaskViewModel::TaskColumn) << u"Caf\u00E9 \u20AC5 \u2013 ok"_s
                                              << QByteArray("Caf\xE9 \x80"
                                                            "5 \x96 ok");
        QTest::newRow("task emptied") << int(TaskViewModel::TaskColumn) << "" << QByteArray();
        QTest::newRow("key words") << int(TaskViewModel::KeysColumn) << "home urgent" << QByteArray("home urgent");
        QTest::newRow("key words cut to 60")
            << int(TaskViewModel::KeysColumn) << QString(70, u'k') << QByteArray(60, 'k');
    }

    void inPlaceEdit()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        ScriptedMessages messages;
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        xbase::Table& engine = fixture.engine();
        QVERIFY(engine.setOrder(1).ok());
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        const int row = model.rowOfRecord(3);
        QVERIFY(engine.go(3).ok());
        QSignalSpy posted(&model, &TaskViewModel::taskPosted);
        QSignalSpy keys(&model, &TaskViewModel::keysStored);

        const QModelIndex index = model.index(row, column);
        QVERIFY(index.flags() & Qt::ItemIsEditable);
        QVERIFY(model.setData(index, typed));

        const int field = column == TaskViewModel::TaskColumn ? TaskField::DESCRIPT : TaskField::KEYS;
        QCOMPARE(QByteArray::fromStdString(storedField(fixture, 3, field)), stored);
        QVERIFY(!engine.pending());
        QCOMPARE(engine.recNo(), 3u);
        QCOMPARE(posted.count(), 1);
        QCOMPARE(keys.count(), column == TaskViewModel::KeysColumn ? 1 : 0);
        if (column == TaskViewModel::KeysColumn)
            QCOMPARE(keys.first().first().toString(), QString::fromLatin1(stored));
        // The grid shows what was stored, not what was typed.
        QCOMPARE(index.data().toString(), fixture.table().text(field));
        QVERIFY(messages.shown().isEmpty());
    }

    void calculatedCellsAreNotEditable()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        for (int column : {TaskViewModel::PriorityColumn, TaskViewModel::DateColumn, TaskViewModel::TimeColumn,
                           TaskViewModel::DoneColumn}) {
            QVERIFY(!(model.index(0, column).flags() & Qt::ItemIsEditable));
            QVERIFY(!model.setData(model.index(0, column), QStringLiteral("A")));
        }
        QCOMPARE(storedField(fixture, 1, TaskField::PRIORITY), std::string("B"));
    }

    void unstorableTextIsRefused()
    {
        ScriptedMessages messages;
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        QSignalSpy posted(&model, &TaskViewModel::taskPosted);
        QVERIFY(!model.setData(model.index(0, TaskViewModel::TaskColumn), u"Pay \u03A9 bill"_s));
        QCOMPARE(messages.infos().size(), 1);
        QCOMPARE(storedField(fixture, 1, TaskField::DESCRIPT), std::string("Write report"));
        QVERIFY(!fixture.engine().pending());
        QCOMPARE(posted.count(), 0);
    }

    void failedPostIsReportedAndDropped()
    {
        ScriptedMessages messages;
        TaskTableFixture fixture;
        QVERIFY(fixture.create(kFiveTasks));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        QVERIFY(fixture.engine().go(2).ok());
        // Another program is editing the same task and holds its record lock.
        auto other = xbase::Table::open(fixture.path().toStdString(), xbase::OpenMode::Shared, fixture.options());
        QVERIFY(other.ok());
        QVERIFY((*other)->go(2).ok());
        QVERIFY((*other)->replace(TaskField::KEYS, "theirs").ok());

        QVERIFY(!model.setData(model.index(1, TaskViewModel::KeysColumn), QStringLiteral("mine")));
        QCOMPARE(messages.infos().size(), 1);
        QVERIFY(messages.infos().first().startsWith("Error:Unable to save changes\r"));
        QVERIFY(!fixture.engine().pending());
        QCOMPARE(fixture.engine().recNo(), 2u);
        QCOMPARE(model.index(1, TaskViewModel::KeysColumn).data().toString(), QString("home errands"));
        (*other)->cancel();
        QCOMPARE(storedField(fixture, 2, TaskField::KEYS), std::string("home errands"));
    }

    void modelTesterOverRealTable()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.generate(500));
        TaskViewModel model(fixture.table(), m_formats);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        xbase::Table& engine = fixture.engine();
        QVERIFY(engine.setOrder(1).ok());
        QVERIFY(model.refresh().ok());
        QCOMPARE(model.rowCount(), 500);
        QVERIFY(engine.setQuery("not DONE").ok());
        QVERIFY(model.refresh().ok());
        QVERIFY(model.rowCount() > 0 && model.rowCount() < 500);
        QVERIFY(model.refresh().ok());
        QVERIFY(engine.goTop().ok());
        QVERIFY(model.setData(model.index(0, TaskViewModel::TaskColumn), QStringLiteral("Edited")));
        QVERIFY(engine.setQuery("DATE = \"1999\"").ok());
        QVERIFY(model.refresh().ok());
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(TestTaskViewModel)
#include "TestTaskViewModel.moc"
