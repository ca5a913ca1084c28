#include "support/RecordingMainScreen.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using namespace quorvo;

namespace {

const QStringList kStartUp{"restorePlacement", "suspend",     "open",     "LoadPreferences",       "BuildKeyWordList",
                           "resume",           "SetUpFilter", "GoToDate", "SetMainMenuSortChecks", "remind"};
const QStringList kClosing{"SavePreferences", "savePlacement", "closeTable"};

const QStringList kRecordBound{"DeleteButton", "Editbutton",     "DoneToggleButton",
                               "CloneButton",  "CalendarButton", "Printbutton"};
const QStringList kAlwaysThere{"Newbutton", "Filterbutton", "OrderButton", "Helpbutton", "ExitButton", "ShowDone"};

} // namespace

class TestMainScreenStartup : public QObject
{
    Q_OBJECT

private:
    RecordingHelpService m_help;
    FixedClock m_clock{QDate(2024, 1, 5), QTime(9, 30)};

    static void start(RecordingMainScreen& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.firstActivation());
    }

    static bool shown(const RecordingMainScreen& window, const QString& name)
    {
        auto* button = window.findChild<QPushButton*>(name);
        return button && button->isVisible();
    }

private slots:
    void startUpRunsItsStepsInOrder()
    {
        RecordingMainScreen window(m_help, m_clock);
        // What holds at each step: the hourglass up to the reminder, the grid's emphasis only at the end.
        QStringList waiting;
        QStringList ready;
        window.duringStep = [&](const QString& step) {
            const QCursor* cursor = QApplication::overrideCursor();
            if (cursor && cursor->shape() == Qt::WaitCursor)
                waiting.append(step);
            if (window.gridReady())
                ready.append(step);
        };
        start(window);
        QCOMPARE(window.log, kStartUp);
        QCOMPARE(window.goneTo, QDate(2024, 1, 5));
        QCOMPARE(waiting, kStartUp.mid(0, kStartUp.size() - 1));
        QCOMPARE(ready, QStringList{"remind"});
        QVERIFY(!QApplication::overrideCursor());
    }

    void startUpKeepsAWindowShownMinimized_data()
    {
        QTest::addColumn<bool>("minimized");
        QTest::newRow("shown normally") << false;
        QTest::newRow("shown minimized") << true;
    }

    void startUpKeepsAWindowShownMinimized()
    {
        // The end of the start-up brings the window forward, unless it was put up minimized.
        QFETCH(bool, minimized);
        RecordingMainScreen window(m_help, m_clock);
        if (minimized)
            window.showMinimized();
        else
            window.show();
        QTRY_VERIFY(!window.firstActivation());
        QCOMPARE(window.isMinimized(), minimized);
        QVERIFY(window.isVisible());
    }

    void commandsWaitForTheEndOfStartUp()
    {
        // Pending messages pass during the start-up; no command may reach a table still being opened.
        RecordingMainScreen window(m_help, m_clock);
        auto* panel1 = window.findChild<QWidget*>(QStringLiteral("Panel1"));
        auto* rebuild = window.findChild<QAction*>(QStringLiteral("RebuildIndexes1"));
        QVERIFY(panel1 && rebuild);
        bool reachable = true;
        window.duringStep = [&](const QString& step) {
            if (step != QLatin1String("BuildKeyWordList"))
                return;
            reachable = panel1->isEnabled() || rebuild->isEnabled();
            QTest::keyClick(&window, Qt::Key_Insert);
            QTest::keyClick(&window, Qt::Key_Delete);
        };
        start(window);
        QVERIFY(!reachable);
        QVERIFY(!window.log.contains(QLatin1String("New")));
        QVERIFY(!window.log.contains(QLatin1String("Delete")));
        QVERIFY(panel1->isEnabled());
        QVERIFY(rebuild->isEnabled());
        window.log.clear();
        QTest::keyClick(&window, Qt::Key_Insert);
        QCOMPARE(window.log, QStringList{"New"});
    }

    void laterActivationsDoNothing()
    {
        RecordingMainScreen window(m_help, m_clock);
        start(window);
        window.FormActivate();
        window.hide();
        window.show();
        QTest::qWait(20);
        QCOMPARE(window.log, kStartUp);
    }

    void failedOpenEndsTheProgramWithoutSavingPreferences()
    {
        // The preferences were never read, so writing them would replace the user's with defaults.
        RecordingMainScreen window(m_help, m_clock);
        window.openSucceeds = false;
        window.show();
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.log, (QStringList{"restorePlacement", "suspend", "open", "savePlacement"}));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!window.gridReady());
    }

    void closeDuringStartUpWaitsForItsEnd()
    {
        // Pending messages are let through while the list loads; a close asked for then must not pull the table
        // away from under the remaining steps.
        RecordingMainScreen window(m_help, m_clock);
        window.duringStep = [&](const QString& step) {
            if (step == QLatin1String("BuildKeyWordList"))
                QVERIFY(!window.close());
        };
        window.show();
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.log, kStartUp.mid(0, kStartUp.size() - 1) + kClosing);
    }

    void closingSavesAndClosesOnce()
    {
        RecordingMainScreen window(m_help, m_clock);
        start(window);
        window.log.clear();
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        QCOMPARE(window.log, kClosing);
        window.close();
        QCOMPARE(window.log, kClosing);
    }

    void setButtons_data()
    {
        QTest::addColumn<bool>("viewAtEnd");
        QTest::newRow("empty view") << true;
        QTest::newRow("a current task") << false;
    }

    void setButtons()
    {
        QFETCH(bool, viewAtEnd);
        RecordingMainScreen window(m_help, m_clock);
        start(window);
        window.SetButtons(!viewAtEnd);
        window.SetButtons(viewAtEnd);
        for (const QString& name : kRecordBound)
            QVERIFY2(shown(window, name) == !viewAtEnd, qPrintable(name));
        for (const QString& name : kAlwaysThere)
            QVERIFY2(shown(window, name), qPrintable(name));
        QVERIFY(window.findChild<QPushButton*>(QStringLiteral("Newbutton"))->isEnabled());
    }

    void fitGrid_data()
    {
        QTest::addColumn<QList<int>>("widths"); // of the six columns; the fourth is the Task column
        QTest::addColumn<int>("windowWidth");
        QTest::addColumn<int>("hidden"); // a hidden column, or -1

        QTest::newRow("a little wider") << QList<int>{60, 75, 60, 400, 40, 100} << 640 << -1;
        QTest::newRow("wider window") << QList<int>{60, 75, 60, 400, 40, 100} << 900 << -1;
        QTest::newRow("wide other columns") << QList<int>{90, 120, 90, 10, 60, 150} << 800 << -1;
        QTest::newRow("a hidden column takes no room") << QList<int>{60, 75, 60, 400, 40, 100} << 700 << 5;
    }

    void fitGrid()
    {
        QFETCH(QList<int>, widths);
        QFETCH(int, windowWidth);
        QFETCH(int, hidden);
        RecordingMainScreen window(m_help, m_clock);
        start(window);
        QStandardItemModel model(2, 6);
        QTableView* grid = window.activeGrid();
        grid->setModel(&model);
        for (int column = 0; column < 6; ++column)
            grid->setColumnWidth(column, widths[column]);
        if (hidden >= 0)
            grid->setColumnHidden(hidden, true);

        // Each resize of the window fits the Task column once the table is open.
        window.resize(windowWidth, window.height());
        const auto* splitter = window.findChild<QSplitter*>(QStringLiteral("oxSplit1"));
        QTRY_COMPARE(splitter->width(), windowWidth);
        int others = 0;
        for (int column = 0; column < 6; ++column) {
            if (column != TMainScreen::kTaskColumn && column != hidden)
                others += widths[column];
        }
        QCOMPARE(grid->columnWidth(TMainScreen::kTaskColumn), windowWidth - others - 30);
        for (int column = 0; column < 6; ++column) {
            if (column != TMainScreen::kTaskColumn && column != hidden)
                QCOMPARE(grid->columnWidth(column), widths[column]);
        }
        grid->setModel(nullptr);
    }

    void fitGridInANarrowWindowKeepsAColumn()
    {
        RecordingMainScreen window(m_help, m_clock);
        start(window);
        QStandardItemModel model(2, 6);
        QTableView* grid = window.activeGrid();
        grid->setModel(&model);
        for (int column = 0; column < 6; ++column)
            grid->setColumnWidth(column, 200);
        window.FitGrid();
        QCOMPARE(grid->columnWidth(TMainScreen::kTaskColumn), grid->horizontalHeader()->minimumSectionSize());
        grid->setModel(nullptr);
    }

    void fitGridLeavesAGridWithoutATaskColumn()
    {
        RecordingMainScreen window(m_help, m_clock);
        start(window);
        QStandardItemModel model(2, 3);
        QTableView* grid = window.activeGrid();
        grid->setModel(&model);
        const QList<int> before{grid->columnWidth(0), grid->columnWidth(1), grid->columnWidth(2)};
        window.FitGrid();
        QCOMPARE((QList<int>{grid->columnWidth(0), grid->columnWidth(1), grid->columnWidth(2)}), before);
        grid->setModel(nullptr);
    }
};

QTEST_MAIN(TestMainScreenStartup)
#include "TestMainScreenStartup.moc"
