// The main window's filter and File > Delete commands over real task files: what the list shows, the two
// filter buttons, the filter window's answers, and each deletion's question, result and aftermath.
#include "mainwindow/TFilterForm.h"
#include "mainwindow/TMainScreen.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quorvo;

namespace {

// Dated around 2024-01-05: two done, one yesterday, one without a date.
const std::vector<TaskSpec> kTasks{
    {"20240104", "", "yesterday", "home", "A", false, ""},  {"20240105", "", "today", "work", "B", true, ""},
    {"", "", "no date", "homework", "", false, ""},         {"20240110", "", "next week", "car", "C", true, ""},
    {"20240301", "", "spring", "home car", "A", false, ""},
};

void writeTasks(const QString& dir, const std::vector<TaskSpec>& tasks)
{
    const std::string path = (dir + "QVTSK.DBF").toStdString();
    QVERIFY(TaskGenerator::createTable(path, 0, {}).ok());
    auto table = xbase::Table::open(path, xbase::OpenMode::Exclusive);
    QVERIFY(table.ok());
    xbase::Table& t = **table;
    for (const TaskSpec& task : tasks) {
        QVERIFY(t.appendBlank().ok() && t.replace(TaskField::DATE, task.date).ok() &&
                t.replace(TaskField::DESCRIPT, task.descript).ok() && t.replace(TaskField::KEYS, task.keys).ok() &&
                t.replace(TaskField::PRIORITY, task.priority).ok() &&
                t.replaceLogical(TaskField::DONE, task.done).ok() && t.post().ok());
    }
}

void writeIni(const QString& dir, const QByteArray& extra = {})
{
    QFile ini(dir + "TODO.INI");
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Reindex]\r\nNeeded=0\r\n[Preferences]\r\nOrder=1\r\n" + extra);
}

// Runs when the next modal window opens.
void whenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        act(modal);
    });
}

} // namespace

class TestMainScreenFilter : public QObject
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

    static int rows(TMainScreen& window) { return window.activeGrid()->model()->rowCount(); }
    static QPushButton* button(TMainScreen& window, const char* name) { return window.findChild<QPushButton*>(name); }
    static QString query(TMainScreen& window) { return QString::fromStdString(window.todoTable().engine().query()); }
    static void clickDelete(TMainScreen& window, const char* item) { window.findChild<QAction*>(item)->trigger(); }

private slots:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        m_dir = m_temp->path() + "/";
        writeTasks(m_dir, kTasks);
        writeIni(m_dir);
    }

    void defaultStartHidesDoneTasks()
    {
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        QCOMPARE(query(window), QString("(.not.DONE)"));
        QCOMPARE(rows(window), 3);
        QVERIFY(!button(window, "FilterClearbutton")->isVisible());
        QCOMPARE(button(window, "ShowDone")->text(), QString("Show DONE"));
    }

    void showDoneIsRememberedAndToggled()
    {
        writeIni(m_dir, "ShowDone=1\r\n");
        {
            TMainScreen window(m_help, m_clock, m_dir);
            start(window);
            QCOMPARE(query(window), QString());
            QCOMPARE(rows(window), 5);
            QCOMPARE(button(window, "ShowDone")->text(), QString("Hide DONE"));
            button(window, "ShowDone")->click();
            QCOMPARE(button(window, "ShowDone")->text(), QString("Show DONE"));
            QCOMPARE(rows(window), 3);
            // The done setting alone is no filter the user must clear.
            QVERIFY(!button(window, "FilterClearbutton")->isVisible());
            window.close();
        }
        QFile ini(m_dir + "TODO.INI");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("ShowDone=0"));
    }

    void theFilterWindowSetsTheCriteria()
    {
        ScriptedMessages messages;
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        whenModal([](QWidget* modal) {
            auto* form = qobject_cast<TFilterForm*>(modal);
            QVERIFY(form);
            form->findChild<QLineEdit*>("KeyWords")->setText("work");
            form->OKButtonClick();
        });
        button(window, "Filterbutton")->click();
        // "work" is found in "homework" too.
        QCOMPARE(query(window), QString("(.not.DONE).and.(\"WORK\"$UPPER(KEYS))"));
        QCOMPARE(rows(window), 1);
        QVERIFY(button(window, "FilterClearbutton")->isVisible());

        whenModal([](QWidget* modal) {
            modal->findChild<QLineEdit*>("KeyWords")->setText("car");
            static_cast<TFilterForm*>(modal)->CancelButtonClick();
        });
        button(window, "Filterbutton")->click();
        QCOMPARE(window.filterCriteria().keysFilterText, QString("work"));

        // Reset with a task text: the text stays in force, and so does the button.
        whenModal([](QWidget* modal) {
            modal->findChild<QLineEdit*>("TaskFilter")->setText("Spring");
            static_cast<TFilterForm*>(modal)->ResetButtonClick();
        });
        button(window, "Filterbutton")->click();
        QCOMPARE(query(window), QString("(.not.DONE).and.(\"SPRING\"$upper(DESCRIPT))"));
        QVERIFY(button(window, "FilterClearbutton")->isVisible());

        // A text no delimiter can hold is refused and changes nothing.
        whenModal([](QWidget* modal) {
            modal->findChild<QLineEdit*>("TaskFilter")->setText("\"it's]\"");
            static_cast<TFilterForm*>(modal)->OKButtonClick();
        });
        button(window, "Filterbutton")->click();
        QCOMPARE(messages.infos().size(), 1);
        QCOMPARE(window.filterCriteria().taskFilterText, QString("Spring"));
        QCOMPARE(query(window), QString("(.not.DONE).and.(\"SPRING\"$upper(DESCRIPT))"));
    }

    void clearingKeepsDoneTasksShown()
    {
        writeIni(m_dir, "ShowDone=1\r\n");
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        FilterCriteria criteria = window.filterCriteria();
        criteria.priorityFilterIndex = 1;
        criteria.dateFilterIndex = 6;
        window.setFilterCriteria(criteria);
        window.FilterClearbuttonClick();
        QCOMPARE(query(window), QString());
        QVERIFY(!button(window, "FilterClearbutton")->isVisible());
        QCOMPARE(rows(window), 5);
    }

    void bulkDeletions_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("showDone");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("queryAfter");

        QTest::newRow("marked done, hidden or not")
            << "AllMarkedDone1" << false << "CONFIRM: Delete all tasks marked as done?"
            << "All tasks marked DONE have been deleted (2 records)" << QStringList{"yesterday", "no date", "spring"}
            << "(.not.DONE)";
        QTest::newRow("before today, hidden or not")
            << "AllWithDatesBeforeToday1" << true << "CONFIRM: Delete all with dates before today?"
            << "All tasks with dates before today have been deleted (1 records)"
            << QStringList{"today", "no date", "next week", "spring"} << "";
        QTest::newRow("matching the done clause deletes what is not done")
            << "AllTasksMatchingCurrentFilter1" << false
            << "CONFIRM: Delete all tasks matching the current filter?\r(i.e. all showing tasks)"
            << "All tasks matching filter have been deleted\r(3 records)\rFILTER WILL NOW BE CLEARED"
            << QStringList{"today", "next week"} << "(.not.DONE)";
        QTest::newRow("not matching deletes the done ones")
            << "AllTasksNOTMatchingCurrentFilter1" << false
            << "CONFIRM: Delete all tasks NOT matching the current filter?\r(i.e. all tasks not showing)"
            << "All tasks NOT matching filter have been deleted\r(2 records)"
            << QStringList{"yesterday", "no date", "spring"} << "(.not.DONE)";
    }

    void bulkDeletions()
    {
        QFETCH(QString, item);
        QFETCH(bool, showDone);
        QFETCH(QString, question);
        QFETCH(QString, result);
        QFETCH(QStringList, left);
        QFETCH(QString, queryAfter);
        writeIni(m_dir, showDone ? "ShowDone=1\r\n" : "");
        ScriptedMessages messages;
        messages.answer(true);
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        const int order = window.todoTable().engine().order();
        clickDelete(window, qPrintable(item));
        QCOMPARE(messages.questions(), QStringList{question});
        QCOMPARE(messages.infos(), QStringList{result});
        QCOMPARE(query(window), queryAfter);
        QCOMPARE(window.todoTable().engine().order(), order);
        QVERIFY(!button(window, "FilterClearbutton")->isVisible());
        QVERIFY(!window.todoTable().CalcSuspended());
        // What is left, seen without the filter.
        window.ShowDoneClick();
        if (!showDone)
            QCOMPARE(rows(window), int(left.size()));
        QStringList descriptions;
        xbase::Table& table = window.todoTable().engine();
        QVERIFY(table.setQuery("").ok() && table.setOrder(0).ok() && table.goTop().ok());
        while (!table.eof()) {
            if (!table.deleted())
                descriptions.append(window.todoTable().text(TaskField::DESCRIPT));
            QVERIFY(table.skip().ok());
        }
        QCOMPARE(descriptions, left);
    }

    void nothingDeletedSaysSo()
    {
        ScriptedMessages messages;
        messages.answer({true, true});
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        clickDelete(window, "AllMarkedDone1");
        clickDelete(window, "AllMarkedDone1");
        QCOMPARE(messages.infos().last(), QString("No tasks marked DONE have been deleted"));
    }

    void filterCommandsNeedAFilter_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("matching") << "AllTasksMatchingCurrentFilter1";
        QTest::newRow("not matching") << "AllTasksNOTMatchingCurrentFilter1";
    }

    void filterCommandsNeedAFilter()
    {
        QFETCH(QString, item);
        writeIni(m_dir, "ShowDone=1\r\n");
        ScriptedMessages messages;
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        clickDelete(window, qPrintable(item));
        QCOMPARE(messages.questions(), QStringList());
        QCOMPARE(messages.infos(), QStringList{"No Filter currently set"});
        QCOMPARE(rows(window), 5);
    }

    void allTasksEmptiesTheTable()
    {
        ScriptedMessages messages;
        messages.answer(true);
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        FilterCriteria criteria = window.filterCriteria();
        criteria.keysFilterText = "home";
        window.setFilterCriteria(criteria);
        QVERIFY(window.todoTable().engine().setOrder(window.todoTable().engine().tagOrder("DESCRIPT")).ok());
        clickDelete(window, "AllTasks1");
        QCOMPARE(messages.questions(), QStringList{"CONFIRM: Delete ALL tasks?"});
        QCOMPARE(messages.infos(), QStringList{"Done!"});
        QCOMPARE(rows(window), 0);
        QVERIFY(!button(window, "Editbutton")->isVisible());
        QCOMPARE(window.todoTable().engine().tagName(window.todoTable().engine().order()), std::string("DATETIME"));
        QVERIFY(!window.todoTable().exclusive());
        // The criteria survive the reopen.
        QCOMPARE(query(window), QString("(.not.DONE).and.(\"HOME\"$UPPER(KEYS))"));
        QCOMPARE(window.todoTable().engine().recCount().value(), 0u);
    }

    void allTasksWhileAnotherProgramHasTheTable()
    {
        ScriptedMessages messages;
        messages.answer(true);
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        auto other = xbase::Table::open((m_dir + "QVTSK.DBF").toStdString(), xbase::OpenMode::Shared);
        QVERIFY(other.ok());
        clickDelete(window, "AllTasks1");
        QCOMPARE(messages.infos(), QStringList{"Unable to open the Todo file (QVTSK.DBF) for reindexing.\rThe file may "
                                               "be in use by another user"});
        QVERIFY(window.todoTable().isOpen() && !window.todoTable().exclusive());
        QCOMPARE(rows(window), 3);
        QCOMPARE(query(window), QString("(.not.DONE)"));
    }

    void rebuildingIndexesKeepsTheFilter()
    {
        ScriptedMessages messages;
        messages.answer(true);
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        FilterCriteria criteria = window.filterCriteria();
        criteria.priorityFilterIndex = 1;
        window.setFilterCriteria(criteria);
        window.RebuildIndexes1Click();
        QCOMPARE(query(window), QString("(PRIORITY=\"A\").and.(.not.DONE)"));
        QCOMPARE(rows(window), 2);
        QVERIFY(button(window, "FilterClearbutton")->isVisible());
    }
};

QTEST_MAIN(TestMainScreenFilter)
#include "TestMainScreenFilter.moc"
