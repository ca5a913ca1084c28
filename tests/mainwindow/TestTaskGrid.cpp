#include "datetime/DateFormats.h"
#include "mainwindow/TaskGrid.h"
#include "mainwindow/TaskGridDelegate.h"
#include "mainwindow/TaskNotesBinding.h"
#include "mainwindow/TaskViewModel.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"
#include "support/TypeText.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>
#include <memory>

using namespace quorvo;
using namespace Qt::StringLiterals;

namespace {

const std::vector<TaskSpec> kTasks{
    {"20240110", "09:00", "Write report", "work", "B", false, "Outline first.\r\nThen the numbers."},
    {"20240105", "14:30", "buy milk", "home", "A", false, ""},
    {"", "", "Call plumber", "home", "C", true, "Ask about\xA0the price."},
    {"20240105", "08:15", "Answer mail", "work", "b", false, "Reply to Ann"},
};

// A grid above a notes box, as the main window lays them out, and something else to take the focus.
class Window : public QWidget
{
public:
    Window()
    {
        auto* layout = new QVBoxLayout(this);
        grid = new QTableView(this);
        grid->setObjectName("ActiveGrid");
        notes = new QPlainTextEdit(this);
        notes->setObjectName("ActiveNotes");
        elsewhere = new QPlainTextEdit(this);
        layout->addWidget(grid);
        layout->addWidget(notes);
        layout->addWidget(elsewhere);
        resize(700, 500);
    }

    QTableView* grid;
    QPlainTextEdit* notes;
    QPlainTextEdit* elsewhere;
};

std::string storedField(TaskTableFixture& fixture, std::uint32_t recno, int field)
{
    auto reader = xbase::Table::open(fixture.path().toStdString(), xbase::OpenMode::Shared, fixture.options());
    if (!reader || !(*reader)->go(recno))
        return "<unreadable>";
    if (field == TaskField::NOTE) {
        auto memo = (*reader)->getMemo(field);
        return memo ? *memo : "<unreadable>";
    }
    return (*reader)->getTrimString(field);
}

// Passes every message on, taking the focus first as a message box does.
class FocusTakingMessages final : public Messages
{
public:
    FocusTakingMessages(Messages& next, std::function<void()> takeFocus)
        : m_next(next), m_takeFocus(std::move(takeFocus)), m_previous(Messages::install(this))
    {}
    ~FocusTakingMessages() override { Messages::install(m_previous); }

    bool askYesNo(const QString& text) override
    {
        m_takeFocus();
        return m_next.askYesNo(text);
    }
    void showInfo(const QString& text) override
    {
        m_takeFocus();
        m_next.showInfo(text);
    }
    void showError(const QString& text) override
    {
        m_takeFocus();
        m_next.showError(text);
    }

private:
    Messages& m_next;
    std::function<void()> m_takeFocus;
    Messages* m_previous;
};

} // namespace

class TestTaskGrid : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2024, 1, 5), QTime(10, 0)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    std::unique_ptr<TaskTableFixture> m_fixture;
    std::unique_ptr<Window> m_window;
    std::unique_ptr<TaskGrid> m_taskGrid;

    QTableView* grid() const { return m_window->grid; }
    QPlainTextEdit* notes() const { return m_window->notes; }
    xbase::Table& engine() { return m_fixture->engine(); }
    std::uint32_t currentRecord() const { return m_taskGrid->model().recordAt(grid()->currentIndex().row()); }

    // The four tasks, the table on the first one in the order (by date: 3, 4, 2, 1), the window shown and
    // active.
    bool start(int order = 1)
    {
        m_fixture = std::make_unique<TaskTableFixture>();
        if (!m_fixture->create(kTasks) || !engine().setOrder(order) || !engine().goTop())
            return false;
        m_window = std::make_unique<Window>();
        m_taskGrid = TaskGrid::attach(grid(), notes(), m_fixture->table(), m_formats, m_clock);
        m_window->show();
        m_window->activateWindow();
        return QTest::qWaitForWindowActive(m_window.get());
    }

    // The first key opens the cell's editor and goes into it, in place of the old text; the rest follow.
    void typeIntoGrid(const QString& text)
    {
        typeText(grid(), text.left(1));
        typeText(QApplication::focusWidget(), text.mid(1));
    }

private slots:
    void cleanup()
    {
        m_taskGrid.reset();
        m_window.reset();
        m_fixture.reset();
    }

    void look()
    {
        QVERIFY(start());
        QCOMPARE(grid()->font().pixelSize(), 11);
        QCOMPARE(QFontInfo(grid()->font()).pixelSize(), 11);
        QVERIFY(grid()->verticalHeader()->isHidden());
        QVERIFY(!grid()->horizontalHeader()->isHidden());
        QVERIFY(grid()->showGrid());
        QVERIFY(grid()->tabKeyNavigation());
        QCOMPARE(grid()->horizontalHeader()->sectionResizeMode(TaskViewModel::TaskColumn), QHeaderView::Interactive);
        QCOMPARE(grid()->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(grid()->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(grid()->palette().color(QPalette::Inactive, QPalette::Highlight),
                 grid()->palette().color(QPalette::Active, QPalette::Highlight));
        // A double-click is the column's action, not an editor.
        QVERIFY(!(grid()->editTriggers() & QAbstractItemView::DoubleClicked));
    }

    void columnsShowTheirTexts_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("widest");

        QTest::newRow("Priority") << int(TaskViewModel::PriorityColumn) << "Medium";
        QTest::newRow("Date") << int(TaskViewModel::DateColumn) << "30 Sep 2024";
        QTest::newRow("Time") << int(TaskViewModel::TimeColumn) << " 12:00pm";
        QTest::newRow("Task") << int(TaskViewModel::TaskColumn) << "Prepare the quarterly report for the team meeting";
        QTest::newRow("Done?") << int(TaskViewModel::DoneColumn) << "N";
        QTest::newRow("Key words") << int(TaskViewModel::KeysColumn) << "home urgent";
    }

    void columnsShowTheirTexts()
    {
        // Each column as wide as its texts need, none clipped, and its title whole.
        QFETCH(int, column);
        QFETCH(QString, widest);
        QVERIFY(start());
        // The style's text margin on either side, and the grid line.
        const int margin = 2 * (grid()->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid()) + 1) + 1;
        const int width = grid()->columnWidth(column);
        QVERIFY2(QFontMetrics(grid()->font()).horizontalAdvance(widest) + margin <= width,
                 qPrintable(QString("%1 pixels").arg(width)));
        QVERIFY(grid()->horizontalHeader()->sectionSizeHint(column) <= width);
        // Not wider than a few characters more than designed either: the grid must fit a 618-pixel window.
        QVERIFY(width <= QFontMetrics(grid()->font()).averageCharWidth() *
                             (TaskViewModel::kDisplayWidths[static_cast<std::size_t>(column)] + 8));
    }

    void gridFollowsTheTable()
    {
        QVERIFY(start());
        QCOMPARE(currentRecord(), 3u);
        QCOMPARE(notes()->document()->toRawText(), u"Ask about\u00A0the price."_s);
        QVERIFY(engine().go(1).ok());
        m_taskGrid->syncToTable();
        QCOMPARE(currentRecord(), 1u);
        QCOMPARE(grid()->currentIndex().row(), 3);
        // CR LF in the file, a line break in the box.
        QCOMPARE(notes()->toPlainText(), QString("Outline first.\nThen the numbers."));
        QCOMPARE(notes()->document()->blockCount(), 2);
        QVERIFY(!notes()->isReadOnly());

        // At the end of the table there is no current task.
        QVERIFY(engine().skip(1).ok());
        QVERIFY(engine().eof());
        m_taskGrid->syncToTable();
        QVERIFY(!grid()->currentIndex().isValid());
        QVERIFY(notes()->toPlainText().isEmpty());
        QVERIFY(notes()->isReadOnly());
    }

    void tableFollowsTheGrid()
    {
        QVERIFY(start());
        QSignalSpy moved(m_taskGrid.get(), &TaskGrid::currentRecordChanged);
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(currentRecord(), 4u);
        QCOMPARE(engine().recNo(), 4u);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.first().first().value<quint32>(), 4u);
        QCOMPARE(notes()->toPlainText(), QString("Reply to Ann"));
        // Tab moves along the row: the same task.
        QTest::keyClick(grid(), Qt::Key_Tab);
        QCOMPARE(grid()->currentIndex().column(), 1);
        QCOMPARE(moved.count(), 1);
        QTest::keyClick(grid(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(engine().recNo(), 1u);
        QCOMPARE(notes()->toPlainText(), QString("Outline first.\nThen the numbers."));
    }

    void refreshKeepsTheCurrentTask()
    {
        QVERIFY(start());
        QVERIFY(engine().go(3).ok());
        m_taskGrid->syncToTable();
        QCOMPARE(grid()->currentIndex().row(), 0);
        // Sorted by description the same task is the third row.
        QVERIFY(engine().setOrder(2).ok());
        QVERIFY(m_taskGrid->refresh().ok());
        QCOMPARE(grid()->currentIndex().row(), 2);
        QCOMPARE(currentRecord(), 3u);
        QCOMPARE(engine().recNo(), 3u);
        // A filter that leaves the task out: no current row, the table stays where the command left it.
        QVERIFY(engine().setQuery("not DONE").ok());
        QVERIFY(m_taskGrid->refresh().ok());
        QCOMPARE(m_taskGrid->model().rowCount(), 3);
        QVERIFY(!grid()->currentIndex().isValid());
    }

    void notesPostedWhenTheBoxIsLeft_data()
    {
        QTest::addColumn<int>("recno");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");

        QTest::newRow("a word added") << 4 << " today" << QByteArray("Reply to Ann today");
        QTest::newRow("a line added") << 1 << "\rAnd a chart."
                                      << QByteArray("Outline first.\r\nThen the numbers.\r\nAnd a chart.");
        QTest::newRow("first notes") << 2 << "Semi-skimmed" << QByteArray("Semi-skimmed");
        QTest::newRow("no-break space kept") << 3 << "!" << QByteArray("Ask about\xA0the price.!");
        QTest::newRow("refused characters left out")
            << 2 << u"2 \u03A9 litres \U0001F95B"_s << QByteArray("2  litres ");
    }

    void notesPostedWhenTheBoxIsLeft()
    {
        QFETCH(int, recno);
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        QVERIFY(start());
        QVERIFY(engine().go(static_cast<std::uint32_t>(recno)).ok());
        m_taskGrid->syncToTable();
        QSignalSpy posted(&m_taskGrid->notes(), &TaskNotesBinding::notesPosted);
        notes()->setFocus();
        notes()->moveCursor(QTextCursor::End);
        const QStringList lines = typed.split(u'\r');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(notes(), Qt::Key_Return);
            typeText(notes(), lines[i]);
        }
        QCOMPARE(posted.count(), 0);
        m_window->elsewhere->setFocus();
        QCOMPARE(posted.count(), 1);
        QCOMPARE(QByteArray::fromStdString(storedField(*m_fixture, static_cast<std::uint32_t>(recno), TaskField::NOTE)),
                 stored);
        QVERIFY(!engine().pending());
        QCOMPARE(engine().recNo(), static_cast<std::uint32_t>(recno));
    }

    void unchangedNotesAreNotWritten()
    {
        // The no-break space comes back as a blank from the box's plain text; that is no change of the user's.
        QVERIFY(start());
        QVERIFY(engine().go(3).ok());
        m_taskGrid->syncToTable();
        QSignalSpy posted(&m_taskGrid->notes(), &TaskNotesBinding::notesPosted);
        notes()->setFocus();
        QTest::keyClicks(notes(), "x");
        QTest::keyClick(notes(), Qt::Key_Backspace);
        m_window->elsewhere->setFocus();
        QCOMPARE(posted.count(), 0);
        QCOMPARE(storedField(*m_fixture, 3, TaskField::NOTE), std::string("Ask about\xA0the price."));
    }

    void pastedTextLosesWhatTheFileCannotHold()
    {
        QVERIFY(start());
        QVERIFY(engine().go(4).ok());
        m_taskGrid->syncToTable();
        notes()->setFocus();
        notes()->moveCursor(QTextCursor::End);
        notes()->insertPlainText(u" \u2713 done \u00E9t\u00E9"_s);
        QTRY_COMPARE(notes()->toPlainText(), u"Reply to Ann  done \u00E9t\u00E9"_s);
    }

    void notesGoToTheTaskTheyWereTypedFor()
    {
        QVERIFY(start());
        QVERIFY(engine().go(4).ok());
        m_taskGrid->syncToTable();
        notes()->setFocus();
        notes()->moveCursor(QTextCursor::End);
        QTest::keyClicks(notes(), "!");
        // The grid moves to another task while the notes box still has the focus.
        grid()->setCurrentIndex(m_taskGrid->model().index(0, 0));
        QCOMPARE(engine().recNo(), 3u);
        QCOMPARE(storedField(*m_fixture, 4, TaskField::NOTE), std::string("Reply to Ann!"));
        QCOMPARE(storedField(*m_fixture, 3, TaskField::NOTE), std::string("Ask about\xA0the price."));
        QCOMPARE(notes()->document()->toRawText(), u"Ask about\u00A0the price."_s);
    }

    void failedNotesAreReportedAndDropped()
    {
        // A real message box takes the focus from the notes box while it shows.
        ScriptedMessages messages;
        FocusTakingMessages boxes(messages, [this] { m_window->elsewhere->setFocus(); });
        QVERIFY(start());
        QVERIFY(engine().go(4).ok());
        m_taskGrid->syncToTable();
        auto other = xbase::Table::open(m_fixture->path().toStdString(), xbase::OpenMode::Shared, m_fixture->options());
        QVERIFY(other.ok());
        QVERIFY((*other)->go(4).ok());
        QVERIFY((*other)->replace(TaskField::KEYS, "theirs").ok());
        notes()->setFocus();
        QTest::keyClicks(notes(), "Mine: ");
        // A command posts what was typed while the box still has the focus.
        m_taskGrid->postPendingEdits();
        QCOMPARE(messages.infos().size(), 1);
        QVERIFY(messages.infos().first().startsWith("Error:Unable to save changes\r"));
        QCOMPARE(notes()->toPlainText(), QString("Reply to Ann"));
        QVERIFY(!engine().pending());
        (*other)->cancel();
        QCOMPARE(storedField(*m_fixture, 4, TaskField::NOTE), std::string("Reply to Ann"));
    }

    void editInTheGrid_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("row");

        // Sorted by description, the edited task moves and the grid goes with it.
        QTest::newRow("task") << int(TaskViewModel::TaskColumn) << "Zap the spam" << int(TaskField::DESCRIPT)
                              << QByteArray("Zap the spam") << 3;
        QTest::newRow("task cut to 50") << int(TaskViewModel::TaskColumn) << QString(52, u'a')
                                        << int(TaskField::DESCRIPT) << QByteArray(50, 'a') << 0;
        QTest::newRow("key words") << int(TaskViewModel::KeysColumn) << "work urgent" << int(TaskField::KEYS)
                                   << QByteArray("work urgent") << 0;
        QTest::newRow("refused character")
            << int(TaskViewModel::KeysColumn) << u"w\u03A9k"_s << int(TaskField::KEYS) << QByteArray("wk") << 0;
    }

    void editInTheGrid()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(int, field);
        QFETCH(QByteArray, stored);
        QFETCH(int, row);
        QVERIFY(start(2));
        QVERIFY(engine().go(4).ok()); // "Answer mail", first by description
        m_taskGrid->syncToTable();
        QSignalSpy keys(m_taskGrid.get(), &TaskGrid::keysStored);
        grid()->setCurrentIndex(m_taskGrid->model().index(0, column));
        grid()->setFocus();
        typeIntoGrid(typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        // The editor is committed once the key has been handled.
        QTRY_COMPARE(QByteArray::fromStdString(storedField(*m_fixture, 4, field)), stored);
        QCOMPARE(keys.count(), field == TaskField::KEYS ? 1 : 0);
        QTRY_COMPARE(grid()->currentIndex().row(), row);
        QCOMPARE(grid()->currentIndex().column(), column);
        QCOMPARE(currentRecord(), 4u);
        QCOMPARE(engine().recNo(), 4u);
    }

    void pendingEditsArePostedBeforeACommand()
    {
        QVERIFY(start());
        grid()->setCurrentIndex(m_taskGrid->model().index(0, TaskViewModel::TaskColumn));
        grid()->setFocus();
        typeIntoGrid("Half typed");
        QVERIFY(grid()->indexWidget(grid()->currentIndex()));
        m_taskGrid->postPendingEdits();
        QCOMPARE(storedField(*m_fixture, 3, TaskField::DESCRIPT), std::string("Half typed"));
        QVERIFY(!grid()->indexWidget(grid()->currentIndex()));
    }

    void emptyViewHasNoCurrentTask()
    {
        QVERIFY(start());
        QVERIFY(engine().setQuery("DATE = \"1999\"").ok());
        QVERIFY(engine().goTop().ok());
        QVERIFY(m_taskGrid->refresh().ok());
        QCOMPARE(m_taskGrid->model().rowCount(), 0);
        QVERIFY(!grid()->currentIndex().isValid());
        QVERIFY(notes()->isReadOnly());
        QVERIFY(notes()->toPlainText().isEmpty());
    }

    void detachingGivesTheGridBack()
    {
        QVERIFY(start());
        m_taskGrid.reset();
        QCOMPARE(grid()->model() ? grid()->model()->rowCount() : 0, 0);
        QVERIFY(qobject_cast<QStyledItemDelegate*>(grid()->itemDelegate()));
        QVERIFY(!qobject_cast<TaskGridDelegate*>(grid()->itemDelegate()));
        grid()->repaint();
        // Leaving the notes box no longer writes anything.
        notes()->setFocus();
        QTest::keyClicks(notes(), "late");
        m_window->elsewhere->setFocus();
        QCOMPARE(storedField(*m_fixture, 3, TaskField::NOTE), std::string("Ask about\xA0the price."));
    }
};

QTEST_MAIN(TestTaskGrid)
#include "TestTaskGrid.moc"
