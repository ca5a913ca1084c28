#include "support/RecordingMainScreen.h"
#include "ui/StatusPanel.h"

#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QtTest>

using namespace quorvo;

namespace {

QStringList itemsOf(const QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions())
        items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

QMenu* topMenu(const QMainWindow& window, const QString& title)
{
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

} // namespace

class TestMainScreenLayout : public QObject
{
    Q_OBJECT

private:
    RecordingHelpService m_help;
    FixedClock m_clock{QDate(2024, 1, 5)};

    void started(RecordingMainScreen& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.firstActivation());
    }

private slots:
    void buttons_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("captions");

        QTest::newRow("top bar") << "Panel1" << QStringList{"Editbutton",       "Newbutton",    "CloneButton",
                                                            "DeleteButton",     "Filterbutton", "OrderButton",
                                                            "DoneToggleButton", "Printbutton",  "CalendarButton"}
                                 << QStringList{"&Edit", "&New",  "&Clone",  "&Delete",  "&Filter",
                                                "&Sort", "D&one", "&Report", "Ca&lendar"};
        QTest::newRow("bottom bar") << "Panel2"
                                    << QStringList{"ExitButton", "Helpbutton", "MouseHelpbutton", "FilterClearbutton",
                                                   "ShowDone"}
                                    << QStringList{"E&xit", "&Help", "", "   FILTERED [click to clear]", "Show DONE"};
    }

    void buttons()
    {
        // Left to right in the bar, 32 pixels high, each caption whole within its button.
        QFETCH(QString, panel);
        QFETCH(QStringList, names);
        QFETCH(QStringList, captions);
        RecordingMainScreen window(m_help, m_clock);
        started(window);
        auto* bar = window.findChild<QWidget*>(panel);
        QVERIFY(bar);
        int previousRight = -1;
        for (qsizetype i = 0; i < names.size(); ++i) {
            auto* button = window.findChild<QPushButton*>(names[i]);
            QVERIFY2(button, qPrintable(names[i]));
            QCOMPARE(button->parentWidget(), bar);
            QCOMPARE(button->text(), captions[i]);
            QCOMPARE(button->height(), 32);
            QVERIFY2(button->x() > previousRight, qPrintable(names[i]));
            previousRight = button->geometry().right();
            QString shown = captions[i];
            shown.remove(QLatin1Char('&'));
            QVERIFY2(button->fontMetrics().horizontalAdvance(shown) + 8 <= button->width(), qPrintable(names[i]));
        }
    }

    void mouseHelpButtonIsAPicture()
    {
        RecordingMainScreen window(m_help, m_clock);
        auto* button = window.findChild<QPushButton*>(QStringLiteral("MouseHelpbutton"));
        QVERIFY(button);
        QVERIFY(button->text().isEmpty());
        QVERIFY(!button->icon().isNull());
    }

    void windowGeometry()
    {
        RecordingMainScreen window(m_help, m_clock);
        started(window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Quorvo"));
        QCOMPARE(window.centralWidget()->size(), QSize(618, 405));
        QCOMPARE(QFontInfo(window.font()).pixelSize(), 11);

        auto* panel1 = window.findChild<QWidget*>(QStringLiteral("Panel1"));
        auto* taskPanel = window.findChild<QWidget*>(QStringLiteral("TaskPanel"));
        auto* panel2 = window.findChild<QWidget*>(QStringLiteral("Panel2"));
        QVERIFY(panel1 && taskPanel && panel2);
        QCOMPARE(panel1->height(), 39);
        QCOMPARE(panel2->height(), 43);
        // One above the other, filling the client area.
        const auto top = [&](QWidget* w) { return w->mapTo(window.centralWidget(), QPoint(0, 0)).y(); };
        QCOMPARE(top(panel1), 0);
        QCOMPARE(top(taskPanel), 39);
        QCOMPARE(top(panel2), 405 - 43);
        QCOMPARE(taskPanel->height(), 405 - 39 - 43);
        QCOMPARE(taskPanel->width(), 618);
    }

    void taskPanel()
    {
        RecordingMainScreen window(m_help, m_clock);
        started(window);
        auto* splitter = window.findChild<QSplitter*>(QStringLiteral("oxSplit1"));
        QVERIFY(splitter);
        QCOMPARE(splitter->orientation(), Qt::Vertical);
        QCOMPARE(splitter->handleWidth(), 8);
        QCOMPARE(splitter->count(), 2);
        QCOMPARE(splitter->widget(0), window.activeGrid());
        QCOMPARE(window.activeGrid()->objectName(), QStringLiteral("ActiveGrid"));
        QCOMPARE(window.splitterBar(), 200);
        QCOMPARE(window.activeGrid()->height(), 200);

        auto* header = splitter->widget(1)->findChild<QLabel*>(QStringLiteral("NotesHeader"));
        QVERIFY(header);
        QCOMPARE(header->text(), QStringLiteral("  Notes"));
        QCOMPARE(header->height(), 22);
        QPlainTextEdit* notes = window.activeNotes();
        QCOMPARE(notes->objectName(), QStringLiteral("ActiveNotes"));
        QCOMPARE(notes->parentWidget(), splitter->widget(1));
        QVERIFY(notes->y() >= header->geometry().bottom());
        QCOMPARE(notes->palette().color(QPalette::Base), QColor(Qt::white));
    }

    void splitterBarKeepsTheGridPane()
    {
        // The grid pane is the SplitterBar preference; growing the window gives the room to the notes.
        RecordingMainScreen window(m_help, m_clock);
        started(window);
        window.setSplitterBar(120);
        QCOMPARE(window.splitterBar(), 120);
        window.resize(window.width(), window.height() + 100);
        QTRY_COMPARE(window.centralWidget()->height(), 505);
        QCOMPARE(window.splitterBar(), 120);
    }

    void statusPanelDuringStartUp()
    {
        RecordingMainScreen window(m_help, m_clock);
        auto* status = window.findChild<StatusPanel*>(QStringLiteral("UpdateStatus"));
        auto* taskPanel = window.findChild<QWidget*>(QStringLiteral("TaskPanel"));
        auto* exitButton = window.findChild<QPushButton*>(QStringLiteral("ExitButton"));
        QVERIFY(status && taskPanel && exitButton);
        QCOMPARE(status->size(), QSize(437, 70));
        QCOMPARE(status->frameShape(), QFrame::Box);
        QCOMPARE(status->lineWidth(), 1);
        QCOMPARE(status->text(), QStringLiteral("Opening Files..."));
        QCOMPARE(status->findChild<QLabel*>(QStringLiteral("StatusLabel"))->text(), QStringLiteral("Status:"));
        QVERIFY(status->findChild<QLabel*>(QStringLiteral("StatusCaption"))->alignment() & Qt::AlignLeft);

        // What the panel shows while the table is being opened, before the first activation has ended.
        bool seenDuringOpen = false;
        window.duringStep = [&](const QString& step) {
            if (step != QLatin1String("open"))
                return;
            seenDuringOpen = status->isVisible() && !taskPanel->isVisible() && !exitButton->isVisible();
            window.setStatusText(QStringLiteral("Checking the task table..."));
            QCOMPARE(status->text(), QStringLiteral("Checking the task table..."));
        };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Over the middle of the centre area.
        const QRect centre = status->parentWidget()->rect();
        QVERIFY(qAbs(status->geometry().center().x() - centre.center().x()) <= 1);
        QVERIFY(qAbs(status->geometry().center().y() - centre.center().y()) <= 1);
        QTRY_VERIFY(!window.firstActivation());
        QVERIFY(seenDuringOpen);
        QCOMPARE(status->text(), QStringLiteral("Loading Key Words List..."));
        QVERIFY(!status->isVisible());
        QVERIFY(taskPanel->isVisible());
        QVERIFY(exitButton->isVisible());
    }

    void menus_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("shortcutItem");
        QTest::addColumn<QKeySequence>("shortcut");

        QTest::newRow("File") << "&File"
                              << QStringList{"&Rebuild Indexes",    "Sort", "-",    "Delete", "-", "E&xit", "-",
                                             "Import iCalendar...", "-",    "Undo", "Redo"}
                              << "E&xit" << QKeySequence(Qt::ALT | Qt::Key_X);
        QTest::newRow("Help") << "&Help" << QStringList{"&Contents",
                                                        "&About",
                                                        "Frequently Asked Questions",
                                                        "-",
                                                        "Configuration Information",
                                                        "Technical Support",
                                                        "-",
                                                        "Visit Our Internet Website"}
                              << "&Contents" << QKeySequence(Qt::Key_F1);
        QTest::newRow("File, Sort") << "Sort"
                                    << QStringList{"Sort by Date+Time", "Sort by Description", "Sort by Priority",
                                                   "Sort by Key Words"}
                                    << "" << QKeySequence();
        QTest::newRow("File, Delete") << "Delete"
                                      << QStringList{"All Marked Done", "All With Dates Before Today",
                                                     "All Tasks Matching Current Filter",
                                                     "All Tasks NOT Matching Current Filter", "All Tasks"}
                                      << "" << QKeySequence();
    }

    void menus()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, items);
        QFETCH(QString, shortcutItem);
        QFETCH(QKeySequence, shortcut);
        RecordingMainScreen window(m_help, m_clock);

        QStringList bar;
        for (const QAction* action : window.menuBar()->actions())
            bar.append(action->text());
        QCOMPARE(bar, (QStringList{"&File", "&Help"}));

        const QMenu* found = topMenu(window, menu);
        if (!found)
            found = topMenu(window, QStringLiteral("&File"))->findChild<QMenu*>(menu == "Sort" ? "Sort1" : "Delete1");
        QVERIFY(found);
        QCOMPARE(found->title(), menu);
        QCOMPARE(itemsOf(found), items);
        for (const QAction* action : found->actions()) {
            // Undo and Redo keys are checked with the undo history.
            if (action->isSeparator() || action->objectName() == "Undo1" || action->objectName() == "Redo1")
                continue;
            QCOMPARE(action->shortcut(), action->text() == shortcutItem ? shortcut : QKeySequence());
        }
    }
};

QTEST_MAIN(TestMainScreenLayout)
#include "TestMainScreenLayout.moc"
