// The task commands, column menus, double-clicks and sort orders through the real main window over task
// files of its own: the task editor, pickers and pop-up menus are scripted, the stored fields are checked
// afterwards, and so are the index and the grid's rows.
#include "datetime/DateFormats.h"
#include "dialogs/TDateSelector.h"
#include "dialogs/TSetTimeDialog.h"
#include "dialogs/TTaskEditor.h"
#include "mainwindow/TMainScreen.h"
#include "mainwindow/TaskNotesBinding.h"
#include "mainwindow/TaskViewModel.h"
#include "store/IniFile.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "tasks/TaskEditorFields.h"
#include "ui/ModalRunner.h"

#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/RegionalFixtures.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"
#include "support/xbase/FileBytes.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <optional>

using namespace quorvo;

namespace {

// The main window with its dialogs and pop-up menus scripted.
class ScriptedMainScreen : public TMainScreen
{
public:
    using TMainScreen::TMainScreen;

    // The real task editor and pickers, run through the modal runner's script.
    bool realDialogs = false;
    // What the editor does with the fields it is shown; Cancel when unset.
    std::function<bool(TaskEditorFields&)> editor;
    void openMenu(const char* name) { popupMenu(findChild<QMenu*>(QLatin1String(name)), {}); }
    QList<TaskEditorFields> editorShown;
    std::optional<QDate> pickedDate;
    QList<QDate> dateStarts;
    std::optional<QTime> pickedTime;
    QList<QTime> timeStarts;
    // Items to choose in the menus as they open, by object name or caption; an empty queue closes the menu.
    QStringList choices;
    // Each menu opened: its object name, then its captions ("-" for a separator).
    QList<QStringList> menus;

protected:
    bool runTaskEditor(TaskEditorFields& fields) override
    {
        if (realDialogs)
            return TMainScreen::runTaskEditor(fields);
        editorShown.append(fields);
        return editor ? editor(fields) : false;
    }
    std::optional<QDate> pickDate(const QDate& start) override
    {
        if (realDialogs)
            return TMainScreen::pickDate(start);
        dateStarts.append(start);
        return pickedDate;
    }
    std::optional<QTime> pickTime(const QTime& start) override
    {
        if (realDialogs)
            return TMainScreen::pickTime(start);
        timeStarts.append(start);
        return pickedTime;
    }
    void popupMenu(QMenu* menu, const QPoint&) override
    {
        QStringList shown{menu->objectName()};
        for (QAction* action : menu->actions())
            shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
        menus.append(shown);
        if (choices.isEmpty())
            return;
        const QString choice = choices.takeFirst();
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && (action->objectName() == choice || action->text() == choice)) {
                action->trigger();
                return;
            }
        }
        QTest::qFail(qPrintable("no menu item " + choice), __FILE__, __LINE__);
    }
};

// A task with the fields a test leaves out empty.
TaskSpec task(std::string date, std::string time, std::string descript, std::string keys = {},
              std::string priority = {}, bool done = false, std::string note = {})
{
    return {std::move(date), std::move(time), std::move(descript), std::move(keys), std::move(priority), done,
            std::move(note)};
}

const QStringList kRecordBound{"DeleteButton", "Editbutton",     "DoneToggleButton",
                               "CloneButton",  "CalendarButton", "Printbutton"};

} // namespace

class TestMainScreenCommands : public QObject
{
    Q_OBJECT

    RecordingHelpService m_help;
    FixedClock m_clock{QDate(2024, 1, 8), QTime(10, 15, 42)}; // a Monday
    std::unique_ptr<DateFormats> m_formats;
    DateFormats* m_previousFormats = nullptr;
    std::unique_ptr<TaskTableFixture> m_fixture;
    std::unique_ptr<ScriptedMainScreen> m_window;
    std::unique_ptr<ScriptedMessages> m_messages;

    QString dir() const { return QFileInfo(m_fixture->path()).absolutePath() + "/"; }
    TodoTable& table() { return m_window->todoTable(); }
    xbase::Table& engine() { return m_window->todoTable().engine(); }
    QAbstractItemModel* model() { return m_window->activeGrid()->model(); }

    // The window over these tasks (record numbers 1, 2, ... in order), started with the saved order.
    void start(const std::vector<TaskSpec>& tasks, const QByteArray& order = "1")
    {
        m_fixture = std::make_unique<TaskTableFixture>();
        QVERIFY(m_fixture->create(tasks));
        QVERIFY(m_fixture->table().close().ok());
        startWindow(order);
    }

    // Done tasks are shown, so every task given is in the view.
    void startWindow(const QByteArray& order)
    {
        quorvo::test::writeFileBytes(dir() + "TODO.INI",
                                     "[Preferences]\r\nOrder=" + order + "\r\nShowDone=1\r\n[Reindex]\r\nNeeded=0\r\n");
        m_messages = std::make_unique<ScriptedMessages>();
        m_window = std::make_unique<ScriptedMainScreen>(m_help, m_clock, dir());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_VERIFY(!m_window->firstActivation());
        new QAbstractItemModelTester(model(), QAbstractItemModelTester::FailureReportingMode::QtTest, m_window.get());
    }

    // Makes the task of this description current through the grid, as a click would.
    void select(const QString& descript, int column = TaskViewModel::TaskColumn)
    {
        for (int row = 0; row < model()->rowCount(); ++row) {
            if (model()->index(row, TaskViewModel::TaskColumn).data().toString() == descript) {
                m_window->activeGrid()->setCurrentIndex(model()->index(row, column));
                QCOMPARE(table().text(TaskField::DESCRIPT), descript);
                return;
            }
        }
        QFAIL(qPrintable("no row " + descript));
    }

    void doubleClick(const QString& descript, int column)
    {
        select(descript, column);
        const int row = m_window->activeGrid()->currentIndex().row();
        const QPoint at = m_window->activeGrid()->visualRect(model()->index(row, column)).center();
        QTest::mouseDClick(m_window->activeGrid()->viewport(), Qt::LeftButton, {}, at);
    }

    QString stored(int field)
    {
        if (!engine().eof())
            (void)engine().skip(0);
        return table().text(field);
    }

    QStringList rows()
    {
        QStringList shown;
        for (int row = 0; row < model()->rowCount(); ++row)
            shown << model()->index(row, TaskViewModel::TaskColumn).data().toString();
        return shown;
    }

    // The view the engine gives for the current query and order, walked afresh.
    QStringList walkedView()
    {
        QStringList seen;
        const std::uint32_t at = engine().eof() ? 0 : engine().recNo();
        // Record order steps onto deleted tasks too; the grid drops a task as it is deleted.
        for (auto walk = engine().goTop(); walk && !engine().eof(); walk = engine().skip(1)) {
            if (!engine().deleted())
                seen << table().text(TaskField::DESCRIPT);
        }
        (void)engine().go(at);
        return seen;
    }

    bool shown(const QString& name) { return m_window->findChild<QPushButton*>(name)->isVisible(); }

    void checkIndex() { QVERIFY(engine().verifyIndex().ok()); }

private slots:
    void init()
    {
        m_formats = std::make_unique<DateFormats>(RegionalFixtures::monthDayYear(), m_clock);
        m_previousFormats = DateFormats::install(m_formats.get());
    }

    void cleanup()
    {
        m_window.reset();
        m_messages.reset();
        m_fixture.reset();
        DateFormats::install(m_previousFormats);
        m_formats.reset();
    }

    void startUpBuildsTheKeyWordList()
    {
        start({task("20240110", "", "a", "Home,work"), task("20240109", "", "b", "home school"),
               task("", "", "c", "HOME")});
        // In the saved order (by date and time): the undated task first.
        QCOMPARE(m_window->keyWordList().words(), (QStringList{"HOME", "school", "Home,work"}));
    }

    void newThenOkWithoutTyping()
    {
        start({task("20240105", "", "old"), task("20240110", "", "later")});
        m_window->editor = [](TaskEditorFields&) { return true; };
        QTest::keyClick(m_window->activeGrid(), Qt::Key_Insert);
        QCOMPARE(m_window->editorShown.size(), 1);
        QCOMPARE(m_window->editorShown[0].taskLabel, QStringLiteral("Adding Task"));
        QCOMPARE(*engine().recCount(), 3u);
        QCOMPARE(engine().recNo(), 3u);
        QCOMPARE(stored(TaskField::DESCRIPT), QStringLiteral("{Task description}"));
        QCOMPARE(stored(TaskField::PRIORITY), QStringLiteral("B"));
        QCOMPARE(stored(TaskField::DATE), QString());
        QCOMPARE(stored(TaskField::TIME), QString());
        QVERIFY(!engine().getLogical(TaskField::DONE));
        QCOMPARE(*table().note(), QString());
        // Undated, so first by date, and current in the grid.
        QCOMPARE(rows(), (QStringList{"{Task description}", "old", "later"}));
        QCOMPARE(m_window->activeGrid()->currentIndex().row(), 0);
        checkIndex();
    }

    void editWritesWhatTheEditorHolds()
    {
        start({task("20240105", "08:00", "mine", "home", "b", false, "abcd"), task("20240110", "", "later")});
        m_window->editor = [](TaskEditorFields& fields) {
            fields.task = QStringLiteral("renamed");
            fields.dateEdit = QStringLiteral("1/20/2024");
            fields.keyWords = QStringLiteral("home garden");
            return true;
        };
        select("mine");
        QTest::keyClick(m_window->activeGrid(), Qt::Key_Return);
        QCOMPARE(m_window->editorShown.size(), 1);
        const TaskEditorFields& shownFields = m_window->editorShown[0];
        QCOMPARE(shownFields.taskLabel, QStringLiteral("Editing Task"));
        QCOMPARE(shownFields.dateEdit, QStringLiteral("1/5/2024"));
        QCOMPARE(shownFields.timeEdit, QStringLiteral("8:00 AM"));
        QCOMPARE(int(shownFields.priority), int(TaskEditorFields::Priority::Medium));
        QCOMPARE(stored(TaskField::DESCRIPT), QStringLiteral("renamed"));
        QCOMPARE(stored(TaskField::DATE), QStringLiteral("20240120"));
        QCOMPARE(stored(TaskField::PRIORITY), QStringLiteral("B"));
        QCOMPARE(*table().note(), QStringLiteral("abcd ")); // padded as every stored note
        QVERIFY(m_window->keyWordList().contains(QStringLiteral("garden")));
        // Now after "later" in the date order; the view was not walked again to get there.
        QCOMPARE(rows(), (QStringList{"later", "renamed"}));
        QCOMPARE(rows(), walkedView());
        checkIndex();
    }

    void editCancelledOrRefusedKeepsTheTask()
    {
        start({task("20240105", "08:00", "mine", "", "A")});
        select("mine");
        m_window->EditbuttonClick(); // cancelled
        QCOMPARE(stored(TaskField::PRIORITY), QStringLiteral("A"));
        TodoTable other;
        QVERIFY(other.open(m_fixture->path(), false).ok());
        QVERIFY(other.engine().goTop().ok());
        QVERIFY(other.setText(TaskField::DESCRIPT, QStringLiteral("theirs")).ok());
        m_window->editor = [](TaskEditorFields& fields) {
            fields.priority = TaskEditorFields::Priority::Low;
            return true;
        };
        m_window->EditbuttonClick();
        QCOMPARE(m_messages->infos(), QStringList{"Error:Unable to save changes"});
        m_window->NewbuttonClick();
        QCOMPARE(m_messages->infos().size(), 1); // adding needs no lock on the task held
        other.engine().cancel();
        QVERIFY(engine().go(1).ok());
        QCOMPARE(stored(TaskField::PRIORITY), QStringLiteral("A"));
        QCOMPARE(stored(TaskField::DESCRIPT), QStringLiteral("mine"));
        checkIndex();
    }

    void clone_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void clone()
    {
        QFETCH(bool, yes);
        start({task("20240105", "08:00", "high", "k", "A", true, "n")});
        select("high");
        m_messages->answer(yes);
        QTest::mouseClick(m_window->findChild<QPushButton*>("CloneButton"), Qt::LeftButton);
        QCOMPARE(m_messages->questions(), QStringList{"Clone this task?"});
        QCOMPARE(*engine().recCount(), yes ? 2u : 1u);
        QCOMPARE(engine().recNo(), yes ? 2u : 1u);
        QCOMPARE(stored(TaskField::PRIORITY), QStringLiteral("A"));
        QCOMPARE(engine().getLogical(TaskField::DONE), !yes);
        QCOMPARE(*table().note(), QStringLiteral("n"));
        QCOMPARE(model()->rowCount(), yes ? 2 : 1);
        checkIndex();
    }

    void deleteByKey_data()
    {
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("current");
        QTest::newRow("middle") << QStringList{"a", "b", "c"} << "b"
                                << "c";
        QTest::newRow("last") << QStringList{"a", "b"} << "b"
                              << "";
        QTest::newRow("only") << QStringList{"a"} << "a"
                              << "";
    }

    void deleteByKey()
    {
        QFETCH(QStringList, tasks);
        QFETCH(QString, deleted);
        QFETCH(QString, current);
        std::vector<TaskSpec> specs;
        for (int i = 0; i < tasks.size(); ++i)
            specs.push_back(task("2024011" + std::to_string(i), "", tasks[i].toStdString()));
        start(specs);
        select(deleted);
        m_messages->answer(true);
        QTest::keyClick(m_window->activeNotes(), Qt::Key_Delete);
        QCOMPARE(m_messages->questions(), QStringList{"Delete this task? "});
        tasks.removeOne(deleted);
        QCOMPARE(rows(), tasks);
        QCOMPARE(rows(), walkedView());
        if (current.isEmpty()) {
            QVERIFY(engine().eof());
            QVERIFY(!m_window->activeGrid()->currentIndex().isValid());
        } else {
            QCOMPARE(stored(TaskField::DESCRIPT), current);
            QCOMPARE(m_window->activeGrid()->currentIndex().data().toString(), current);
        }
        for (const QString& name : kRecordBound)
            QCOMPARE(shown(name), !current.isEmpty());
        checkIndex();
    }

    void doubleClickActsByColumn()
    {
        start({task("20240105", "", "t", "home", "a"), task("20240106", "", "u", "", "")});
        m_window->choices = {"High1"};
        doubleClick("t", TaskViewModel::PriorityColumn);
        QCOMPARE(m_window->menus.last(), (QStringList{"PriorityColumnMenu", "High Priority", "Medium Priority",
                                                      "Low Priority", "-", "Cancel"}));
        QCOMPARE(stored(TaskField::PRIORITY), QStringLiteral("A"));

        // Week+3 on a Monday: the Thursday of the following week.
        m_window->choices = {"QuickDate1", "Week3"};
        doubleClick("t", TaskViewModel::DateColumn);
        QCOMPARE(m_window->menus.at(m_window->menus.size() - 2),
                 (QStringList{"DateColumnMenu", "Calendar", "Quick Date", "Clear Date", "-", "Cancel"}));
        const QStringList quick = m_window->menus.last();
        QCOMPARE(quick.size(), 1 + 17 + 2);
        QCOMPARE(quick.first(), QStringLiteral("QuickDateMenu"));
        QCOMPARE(quick.at(1), QStringLiteral("Today\t01/08/2024"));
        QCOMPARE(quick.last(), QStringLiteral("Cancel"));
        QCOMPARE(stored(TaskField::DATE), QStringLiteral("20240118"));

        m_window->choices = {"Calendar1"};
        m_window->pickedDate = QDate(2024, 2, 29);
        doubleClick("t", TaskViewModel::DateColumn);
        QCOMPARE(m_window->dateStarts.last(), QDate(2024, 1, 18));
        QCOMPARE(stored(TaskField::DATE), QStringLiteral("20240229"));
        m_window->choices = {"ClearDate1"};
        doubleClick("t", TaskViewModel::DateColumn);
        QCOMPARE(stored(TaskField::DATE), QString());

        // Quick time on a task without time starts at the time of day; the seconds are not stored.
        m_window->pickedTime = QTime(14, 5, 30);
        doubleClick("t", TaskViewModel::TimeColumn);
        QCOMPARE(m_window->timeStarts.last(), QTime(10, 15, 42));
        QCOMPARE(stored(TaskField::TIME), QStringLiteral("14:05"));
        doubleClick("t", TaskViewModel::TimeColumn);
        QCOMPARE(m_window->timeStarts.last(), QTime(14, 5));

        m_window->choices = {"home"};
        doubleClick("t", TaskViewModel::KeysColumn);
        QCOMPARE(m_window->menus.last(), (QStringList{"KeyWordMenu", "home", "-", "Clear Entry", "Cancel"}));
        QCOMPARE(stored(TaskField::KEYS), QStringLiteral("home home"));
        m_window->choices = {"Clear Entry"};
        doubleClick("t", TaskViewModel::KeysColumn);
        QCOMPARE(stored(TaskField::KEYS), QString());

        doubleClick("t", TaskViewModel::DoneColumn);
        QVERIFY(engine().getLogical(TaskField::DONE));
        QCOMPARE(model()->index(m_window->activeGrid()->currentIndex().row(), TaskViewModel::DoneColumn).data(),
                 QVariant(QStringLiteral("Y")));

        doubleClick("u", TaskViewModel::TaskColumn);
        QCOMPARE(m_window->editorShown.size(), 1);
        QCOMPARE(m_window->editorShown[0].task, QStringLiteral("u"));

        // The notes box edits, or toggles done while the Done? column is current.
        QTest::mouseDClick(m_window->activeNotes()->viewport(), Qt::LeftButton);
        QCOMPARE(m_window->editorShown.size(), 2);
        select("u", TaskViewModel::DoneColumn);
        QTest::mouseDClick(m_window->activeNotes()->viewport(), Qt::LeftButton);
        QVERIFY(engine().getLogical(TaskField::DONE));
        QCOMPARE(m_window->editorShown.size(), 2);
        QCOMPARE(rows(), walkedView());
        checkIndex();
    }

    void aFailedMenuCommandShowsOneErrorAndKeepsTheTask()
    {
        start({task("20240105", "", "t", "", "B")});
        TodoTable other;
        QVERIFY(other.open(m_fixture->path(), false).ok());
        QVERIFY(other.engine().goTop().ok());
        QVERIFY(other.setText(TaskField::DESCRIPT, QStringLiteral("theirs")).ok());
        m_window->choices = {"Low1"};
        doubleClick("t", TaskViewModel::PriorityColumn);
        other.engine().cancel();
        QCOMPARE(m_messages->errors().size(), 1);
        QVERIFY(m_messages->errors()[0].startsWith("The task's priority could not be changed.\rAnother program"));
        QCOMPARE(stored(TaskField::PRIORITY), QStringLiteral("B"));
        checkIndex();
    }

    void aTaskThatLeavesTheFilterStaysInViewUntilTheViewIsRebuilt()
    {
        start({task("20240105", "", "a"), task("20240106", "", "b")});
        QVERIFY(engine().setQuery(".not. DONE").ok());
        m_window->SortCommand("DATETIME");
        select("a");
        m_window->DoneToggleButtonClick();
        QCOMPARE(rows(), (QStringList{"a", "b"}));
        QCOMPARE(model()->index(0, TaskViewModel::DoneColumn).data(), QVariant(QStringLiteral("Y")));
        m_window->SortCommand("DATETIME");
        QCOMPARE(rows(), QStringList{"b"});
    }

    void calendarGoesToTheDatePicked()
    {
        start({task("20240105", "", "a"), task("20240120", "", "b"), task("20240125", "", "c")});
        m_window->pickedDate = QDate(2024, 1, 21);
        QTest::mouseClick(m_window->findChild<QPushButton*>("CalendarButton"), Qt::LeftButton);
        QCOMPARE(m_window->dateStarts, QList<QDate>{QDate(2024, 1, 8)});
        QCOMPARE(stored(TaskField::DESCRIPT), QStringLiteral("c"));
        QCOMPARE(m_window->activeGrid()->currentIndex().row(), 2);
    }

    void sortCommands_data()
    {
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("item"); // "" for none
        QTest::addColumn<int>("checked");  // index of the item checked, -1 for none
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("closingOrder");
        QTest::newRow("by description") << QByteArray("1") << "mainmnuSortDescription" << 1
                                        << QStringList{"a", "B", "c"} << 2;
        QTest::newRow("by priority from the button menu")
            << QByteArray("1") << "mnuSortPriority" << 2 << QStringList{"c", "B", "a"} << 5;
        QTest::newRow("by key words") << QByteArray("1") << "mainmnuSortKeyWords" << 3 << QStringList{"B", "a", "c"}
                                      << 4;
        QTest::newRow("saved DONE order checks nothing")
            << QByteArray("3") << "" << -1 << QStringList{"B", "c", "a"} << 3;
        QTest::newRow("saved order beyond the tags") << QByteArray("9") << "" << 0 << QStringList{"c", "B", "a"} << 1;
    }

    void sortCommands()
    {
        QFETCH(QByteArray, saved);
        QFETCH(QString, item);
        QFETCH(int, checked);
        QFETCH(QStringList, order);
        QFETCH(int, closingOrder);
        start({task("20240110", "", "a", "work", "B", true), task("20240109", "", "B", "HOME", "B"),
               task("20240108", "", "c", "zoo", "A")},
              saved);
        if (!item.isEmpty()) {
            select("c");
            m_window->findChild<QAction*>(item)->trigger();
            QCOMPARE(stored(TaskField::DESCRIPT), order.first());
            QCOMPARE(m_window->activeGrid()->currentIndex().row(), 0);
        }
        QCOMPARE(rows(), order);
        auto* buttonMenu = m_window->findChild<QMenu*>("ButtonSortMenu");
        emit buttonMenu->aboutToShow();
        const QStringList names{"DateTime", "Description", "Priority", "KeyWords"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(m_window->findChild<QAction*>("mainmnuSort" + names[i])->isChecked(), i == checked);
            QCOMPARE(m_window->findChild<QAction*>("mnuSort" + names[i])->isChecked(), i == checked);
        }
        m_window->close();
        QCOMPARE(IniFile(dir() + "TODO.INI").readInt("Preferences", "Order", -1), closingOrder);
    }

    void theRealDialogsCarryTheValuesBothWays()
    {
        // The no-break space is a character of the file that the editor must hand back as it is.
        start({task("20240105", "08:00", "mine", "home", "C", false,
                    "line1\r\nlin\xA0"
                    "2")});
        m_window->realDialogs = true;
        QStringList seen;
        ScopedModalScript script([&](QDialog& dialog) {
            if (auto* editor = qobject_cast<TTaskEditor*>(&dialog)) {
                seen << editor->taskLabel()->text() << editor->dateEdit()->text()
                     << TaskNotesBinding::textOf(*editor->notes()->document())
                     << (editor->pLow()->isChecked() ? "low" : "not low")
                     << (DateFormats::current().userDateFormatsInForce() ? "user" : "working");
                editor->descriptionEdit()->setText(QStringLiteral("edited"));
                editor->dateEdit()->setText(QStringLiteral("2/3/2024"));
                editor->pHigh()->setChecked(true);
                return int(QDialog::Accepted);
            }
            if (auto* picker = qobject_cast<TDateSelector*>(&dialog)) {
                seen << picker->date().toQDate().toString(Qt::ISODate);
                picker->setDate(*DateTime::fromDate(2024, 3, 1));
                return int(QDialog::Accepted);
            }
            if (auto* picker = qobject_cast<TSetTimeDialog*>(&dialog)) {
                seen << picker->time().toQTime().toString();
                picker->setTime(*DateTime::fromTime(16, 45));
                return int(QDialog::Accepted);
            }
            return int(QDialog::Rejected);
        });
        select("mine");
        m_window->EditbuttonClick();
        QVERIFY(!DateFormats::current().userDateFormatsInForce());
        QCOMPARE(stored(TaskField::DESCRIPT), QStringLiteral("edited"));
        QCOMPARE(stored(TaskField::DATE), QStringLiteral("20240203"));
        QCOMPARE(stored(TaskField::PRIORITY), QStringLiteral("A"));
        QCOMPARE(*table().note(), QStringLiteral("line1\r\nlin\u00A02 ")); // 12 characters: padded
        m_window->choices = {"Calendar1"};
        doubleClick("edited", TaskViewModel::DateColumn);
        QCOMPARE(stored(TaskField::DATE), QStringLiteral("20240301"));
        doubleClick("edited", TaskViewModel::TimeColumn);
        QCOMPARE(stored(TaskField::TIME), QStringLiteral("16:45"));
        QCOMPARE(seen, (QStringList{"Editing Task", "1/5/2024", QStringLiteral("line1\nlin\u00A02"), "low", "user",
                                    "2024-02-03", "08:00:00"}));
        checkIndex();
    }

    void keyWordsTypedInTheGridJoinTheList()
    {
        start({task("20240105", "", "a", "home")});
        select("a", TaskViewModel::KeysColumn);
        QVERIFY(model()->setData(m_window->activeGrid()->currentIndex(), QStringLiteral("home Garden")));
        QCOMPARE(m_window->keyWordList().words(), (QStringList{"home", "Garden"}));
        QCOMPARE(stored(TaskField::KEYS), QStringLiteral("home Garden"));
    }

    // Over generated tasks in each order: a run of commands, after each of which the grid's rows are the view
    // the engine walks.
    void rowsFollowEveryCommand_data()
    {
        QTest::addColumn<QByteArray>("order");
        QTest::newRow("date and time") << QByteArray("1");
        QTest::newRow("description") << QByteArray("2");
        QTest::newRow("record order") << QByteArray("0");
    }

    void rowsFollowEveryCommand()
    {
        QFETCH(QByteArray, order);
        m_fixture = std::make_unique<TaskTableFixture>();
        QVERIFY(m_fixture->generate(120));
        QVERIFY(m_fixture->table().close().ok());
        startWindow(order);
        m_window->editor = [](TaskEditorFields& fields) {
            fields.task = QStringLiteral("Zebra ") + fields.task;
            fields.dateEdit = QStringLiteral("3/3/2025");
            return true;
        };
        QRandomGenerator random(42);
        const QStringList quickDates{"Week2", "Today"};
        for (int i = 0; i < 30; ++i) {
            const int row = int(random.bounded(model()->rowCount()));
            const int column = i % 6 == 0 ? TaskViewModel::DateColumn : TaskViewModel::TaskColumn;
            m_window->activeGrid()->setCurrentIndex(model()->index(row, column));
            switch (i % 6) {
            case 0:
                m_window->choices = {"QuickDate1", quickDates[i / 6 % 2]};
                m_window->ActiveGridDblClick({});
                break;
            case 1:
                m_window->EditbuttonClick();
                break;
            case 2:
                m_window->NewbuttonClick();
                break;
            case 3:
                m_messages->answer(true);
                m_window->CloneButtonClick();
                break;
            case 4:
                m_messages->answer(true);
                m_window->DeleteButtonClick();
                break;
            default:
                m_window->choices = {i % 12 == 5 ? "Low1" : "High1"};
                m_window->openMenu("PriorityColumnMenu");
                break;
            }
            QCOMPARE(rows(), walkedView());
            if (!engine().eof())
                QCOMPARE(m_window->activeGrid()->currentIndex().row(),
                         static_cast<TaskViewModel*>(model())->rowOfRecord(engine().recNo()));
        }
        QVERIFY(m_messages->errors().isEmpty());
        checkIndex();
    }
};

QTEST_MAIN(TestMainScreenCommands)
#include "TestMainScreenCommands.moc"
