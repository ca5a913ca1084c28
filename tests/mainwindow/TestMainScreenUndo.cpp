// File > Undo and Redo in the main window over real task files: the items and their keys, the name of each
// step, a deletion recalled and made again, a refusal when another program changed the task, and the
// commands that clear the history.
#include "mainwindow/TMainScreen.h"
#include "mainwindow/TaskViewModel.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <functional>

using namespace quorvo;

namespace {

const std::vector<TaskSpec> kTasks{
    {"20240104", "", "yesterday", "home", "A", false, "first note"},
    {"20240105", "", "today", "work", "B", true, ""},
    {"", "", "no date", "homework", "", false, ""},
    {"20240110", "", "next week", "car", "C", true, ""},
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
                t.replace(TaskField::DESCRIPT, task.descript).ok() && t.replace(TaskField::KEYS, task.keys).ok() &&
                t.replace(TaskField::PRIORITY, task.priority).ok() &&
                t.replaceLogical(TaskField::DONE, task.done).ok() &&
                (task.note.empty() || t.replace(TaskField::NOTE, task.note).ok()) && t.post().ok());
    }
    QFile ini(dir + "TODO.INI");
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Reindex]\r\nNeeded=0\r\n[Preferences]\r\nOrder=1\r\nShowDone=1\r\n");
}

// Every task's fields and notes as stored, deleted ones marked.
QStringList tasksAsStored(TMainScreen& window)
{
    QStringList all;
    xbase::Table& engine = window.todoTable().engine();
    const std::uint32_t at = engine.eof() ? 0 : engine.recNo();
    for (std::uint32_t recno = 1; engine.go(recno).ok() && !engine.eof(); ++recno) {
        auto note = engine.getMemo(TaskField::NOTE);
        // The memo pointer aside: notes written again may go to new blocks.
        std::string record(engine.record());
        const xbase::FieldInfo& memo = engine.field(TaskField::NOTE);
        record.replace(memo.offset, memo.width, memo.width, ' ');
        all << QString::fromLatin1(record) + "|" + QString::fromLatin1(note ? *note : "?");
    }
    (void)engine.go(at);
    return all;
}

QAction* item(TMainScreen& window, const char* name)
{
    return window.findChild<QAction*>(name);
}

bool standOn(TMainScreen& window, int row)
{
    QTableView* grid = window.activeGrid();
    grid->setCurrentIndex(grid->model()->index(row, TaskViewModel::TaskColumn));
    return window.todoTable().engine().recNo() == grid->model()->index(row, 0).data(TaskViewModel::RecNoRole).toUInt();
}

// A command of the window over the first task, the step it makes and the questions it asks.
struct WindowCommand
{
    const char* step;
    int questions;
    std::function<void(TMainScreen&)> act;
};

const std::vector<WindowCommand> kCommands{
    {"Delete Task", 1, [](TMainScreen& w) { w.DeleteButtonClick(); }},
    {"Clone Task", 1, [](TMainScreen& w) { w.CloneButtonClick(); }},
    {"Mark Done", 0, [](TMainScreen& w) { w.DoneToggleButtonClick(); }},
    {"Change Priority", 0, [](TMainScreen& w) { w.PriorityItemClick("C"); }},
    {"Clear Key Words", 0, [](TMainScreen& w) { w.KeyListMenuItemClick("Clear Entry"); }},
    {"Change Task Text", 0,
     [](TMainScreen& w) {
         QAbstractItemModel* model = w.activeGrid()->model();
         QVERIFY(model->setData(model->index(0, TaskViewModel::TaskColumn), "typed over"));
     }},
    {"Change Notes", 0,
     [](TMainScreen& w) {
         w.activeNotes()->setPlainText("typed\nnotes");
         QFocusEvent out(QEvent::FocusOut);
         QApplication::sendEvent(w.activeNotes(), &out);
     }},
};

} // namespace

class TestMainScreenUndo : public QObject
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

private slots:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        m_dir = m_temp->path() + "/";
        writeFiles(m_dir);
    }

    void fileMenuHasUndoAndRedo()
    {
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        QAction* undo = item(window, "Undo1");
        QAction* redo = item(window, "Redo1");
        QVERIFY(undo && redo);
        QCOMPARE(undo->text(), QString("Undo"));
        QCOMPARE(redo->text(), QString("Redo"));
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        QCOMPARE(undo->shortcut(), QKeySequence("Ctrl+Z"));
        QCOMPARE(redo->shortcuts(), (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
    }

    void eachCommandIsOneStepUndoneAndRedone_data()
    {
        QTest::addColumn<int>("command");
        for (std::size_t i = 0; i < kCommands.size(); ++i)
            QTest::newRow(kCommands[i].step) << int(i);
    }

    void eachCommandIsOneStepUndoneAndRedone()
    {
        QFETCH(int, command);
        const QString step = QString::fromLatin1(kCommands[std::size_t(command)].step);
        const int answers = kCommands[std::size_t(command)].questions;
        const auto& act = kCommands[std::size_t(command)].act;
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        ScriptedMessages messages;
        for (int i = 0; i < answers; ++i)
            messages.answer(true);
        QVERIFY(standOn(window, 0));
        const QStringList before = tasksAsStored(window);
        act(window);
        QCOMPARE(window.undoStack()->count(), 1);
        QCOMPARE(item(window, "Undo1")->text(), "Undo " + step);
        const QStringList after = tasksAsStored(window);
        QVERIFY(after != before);

        item(window, "Undo1")->trigger();
        QStringList undone = tasksAsStored(window);
        // A clone stays in the file as a deleted record.
        if (undone.size() > before.size()) {
            QVERIFY(undone.last().startsWith('*'));
            undone.removeLast();
        }
        QCOMPARE(undone, before);
        QCOMPARE(item(window, "Redo1")->text(), "Redo " + step);
        QVERIFY(!item(window, "Undo1")->isEnabled());

        item(window, "Redo1")->trigger();
        QCOMPARE(tasksAsStored(window), after);
        QCOMPARE(messages.infos(), QStringList());
        QCOMPARE(messages.errors(), QStringList());
    }

    void aBulkDeletionIsRecalledAndMadeAgain()
    {
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        QCOMPARE(window.activeGrid()->model()->rowCount(), 4);
        ScriptedMessages messages;
        messages.answer(true);
        item(window, "AllMarkedDone1")->trigger();
        QCOMPARE(window.activeGrid()->model()->rowCount(), 2);
        QCOMPARE(item(window, "Undo1")->text(), QString("Undo Delete 2 Tasks"));
        item(window, "Undo1")->trigger();
        QCOMPARE(window.activeGrid()->model()->rowCount(), 4);
        QCOMPARE(item(window, "Redo1")->text(), QString("Redo Delete 2 Tasks"));
        item(window, "Redo1")->trigger();
        QCOMPARE(window.activeGrid()->model()->rowCount(), 2);
    }

    void refusedWhenAnotherProgramChangedTheTask()
    {
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        ScriptedMessages messages;
        QVERIFY(standOn(window, 0));
        const std::uint32_t recno = window.todoTable().engine().recNo();
        window.PriorityItemClick("C");
        {
            auto other = xbase::Table::open((m_dir + "QVTSK.DBF").toStdString(), xbase::OpenMode::Shared);
            QVERIFY(other.ok());
            QVERIFY((*other)->go(recno).ok());
            QVERIFY((*other)->replace(TaskField::DESCRIPT, "changed elsewhere").ok());
            QVERIFY((*other)->post().ok());
        }
        const QStringList changed = tasksAsStored(window);
        item(window, "Undo1")->trigger();
        QCOMPARE(messages.infos(),
                 QStringList("Undo \"Change Priority\" is not possible: the task \"changed elsewhere\" has been "
                             "changed by another program since.\rNothing has been changed."));
        QCOMPARE(tasksAsStored(window), changed);
        QCOMPARE(window.undoStack()->index(), 1);
        QCOMPARE(item(window, "Undo1")->text(), QString("Undo Change Priority"));
    }

    void allTasksClearsTheHistory()
    {
        TMainScreen window(m_help, m_clock, m_dir);
        start(window);
        ScriptedMessages messages;
        messages.answer({true, true});
        window.DoneToggleButtonClick();
        QCOMPARE(window.undoStack()->count(), 1);
        item(window, "AllTasks1")->trigger();
        QCOMPARE(window.undoStack()->count(), 0);
        QVERIFY(!item(window, "Undo1")->isEnabled());
    }
};

QTEST_MAIN(TestMainScreenUndo)
#include "TestMainScreenUndo.moc"
