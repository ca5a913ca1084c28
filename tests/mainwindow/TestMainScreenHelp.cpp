#include "support/RecordingMainScreen.h"
#include "ui/ProgramIdentity.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QWhatsThis>
#include <QWhatsThisClickedEvent>
#include <QtTest>

using namespace quorvo;

namespace {

// The text a control's pop-up shows, read as the pop-up reads it, with line breaks as "\n" (less those that
// only open and close the table that holds it).
QString shownText(const QString& richText)
{
    QTextDocument document;
    document.setHtml(richText);
    QString text = document.toPlainText();
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    while (text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QStringList linksOf(const QString& richText)
{
    QTextDocument document;
    document.setHtml(richText);
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor())
                links.append(format.anchorHref());
        }
    }
    return links;
}

QAction* whatsThisAction(QWidget* control)
{
    const QList<QAction*> actions = control->actions();
    return actions.size() == 1 && actions.first()->text() == QLatin1String("What's this?") ? actions.first() : nullptr;
}

QWidget* shownPopup()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QWhatsThat") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

} // namespace

class TestMainScreenHelp : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2024, 1, 5)};

    static void start(RecordingMainScreen& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.firstActivation());
    }

private slots:
    void helpCommands_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<int>>("topics");
        QTest::addColumn<QList<QUrl>>("pages");

        QTest::newRow("Help, Contents") << "Contents1" << QList<int>{1009} << QList<QUrl>{};
        QTest::newRow("Help button") << "Helpbutton" << QList<int>{1009} << QList<QUrl>{};
        QTest::newRow("Help, FAQ") << "FrequentlyAskedQuestions1" << QList<int>{911} << QList<QUrl>{};
        QTest::newRow("Help, Technical Support") << "TechnicalSupport1" << QList<int>{1012} << QList<QUrl>{};
        QTest::newRow("Help, website") << "VisitOurInternetWebsite1" << QList<int>{}
                                       << QList<QUrl>{ProgramIdentity::webSite()};
    }

    void helpCommands()
    {
        QFETCH(QString, control);
        QFETCH(QList<int>, topics);
        QFETCH(QList<QUrl>, pages);
        RecordingHelpService help;
        RecordingMainScreen window(help, m_clock);
        start(window);

        if (auto* action = window.findChild<QAction*>(control))
            action->trigger();
        else
            window.findChild<QPushButton*>(control)->click();

        QCOMPARE(help.topics, topics);
        QCOMPARE(help.pages, pages);
        QVERIFY(pages.isEmpty() || pages.first().isValid());
    }

    void supportWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shows"); // a control of the window
        QTest::newRow("About") << "About1"
                               << "About Quorvo"
                               << "VersionLabel";
        QTest::newRow("Configuration Information") << "ConfigurationInformation1"
                                                   << "Configuration Information"
                                                   << "Memo1";
    }

    // Each opens modally over the main window and is gone when closed.
    void supportWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QString, shows);
        RecordingHelpService help;
        RecordingMainScreen window(help, m_clock);
        start(window);

        QString seen;
        bool hadControl = false;
        QTimer::singleShot(0, &window, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            seen = modal->windowTitle();
            hadControl = modal->findChild<QWidget*>(shows) != nullptr;
            modal->close();
        });
        window.findChild<QAction*>(item)->trigger();

        QCOMPARE(seen, caption);
        QVERIFY(hadControl);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void popupTexts_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");

        QTest::newRow("ActiveGrid")
            << "ActiveGrid"
            << "The Task Grid:\r\n\r\nDouble-click on the Priority Column, Date Column,Time Column or Key Words Column "
               "for a quick change menu. \r\n\r\nDouble-click on the Done column to toggle the status.\r\n\r\nSelect "
               "the Description field and start typing to change the description value";
        QTest::newRow("ActiveNotes")
            << "ActiveNotes"
            << "This shows any notes for the current task.\r\n\r\nYou may type directly into this box to change the "
               "notes";
        QTest::newRow("CalendarButton") << "CalendarButton"
                                        << "Click here to pop up a calendar. Select a date, and you will be taken to "
                                           "the task which most closely matches that date.";
        QTest::newRow("CloneButton") << "CloneButton"
                                     << "Click here to make an exact duplicate of the currently highlighted task.";
        QTest::newRow("DeleteButton") << "DeleteButton"
                                      << "Click here to delete  the currently highlighted task. ";
        QTest::newRow("DoneToggleButton") << "DoneToggleButton"
                                          << "Click here to toggle the DONE status to yes or no.";
        QTest::newRow("ExitButton") << "ExitButton"
                                    << "Click here to exit this program";
        QTest::newRow("Filterbutton")
            << "Filterbutton"
            << "Click here to set a filter for only the tasks you wish to see.\r\n\r\nThe filter can include a date "
               "range, a key word or key words, and whether or not to view tasks marked 'done'.";
        QTest::newRow("FilterClearbutton") << "FilterClearbutton"
                                           << "Click here to clear the current filter (view all records)";
        QTest::newRow("OrderButton")
            << "OrderButton"
            << "Click here to change the sort order of the task list. Available viewing orders are:\r\n\r\n1. By "
               "DATE+TIME  (blank dates show first)\r\n2. By Description \r\n3. By Priority (High Priority first)";
        QTest::newRow("Printbutton") << "Printbutton"
                                     << "Click here to create reports to Printer, HTML, RTF or TEXT";
        QTest::newRow("ShowDone") << "ShowDone"
                                  << "Click this button to toggle whether or not 'Done' tasks will be shown. ";
    }

    void popupTexts()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        RecordingHelpService help;
        RecordingMainScreen window(help, m_clock);
        auto* widget = window.findChild<QWidget*>(control);
        QVERIFY(widget);

        QString expected = text;
        expected.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        expected += QStringLiteral("\nClick here or press F1 for more...");
        QCOMPARE(shownText(widget->whatsThis()), expected);
        QCOMPARE(linksOf(widget->whatsThis()).size(), 1);
        QCOMPARE(widget->contextMenuPolicy(), Qt::ActionsContextMenu);
        QVERIFY(whatsThisAction(widget));
    }

    void controlsWithoutPopupText_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("Editbutton") << "Editbutton";
        QTest::newRow("Newbutton") << "Newbutton";
        QTest::newRow("Helpbutton") << "Helpbutton";
    }

    void controlsWithoutPopupText()
    {
        QFETCH(QString, control);
        RecordingHelpService help;
        RecordingMainScreen window(help, m_clock);
        auto* widget = window.findChild<QWidget*>(control);
        QVERIFY(widget->whatsThis().isEmpty());
        QVERIFY(widget->actions().isEmpty());
    }

    void whatsThisShowsTheTextAndItsLinkOpensTheContents()
    {
        RecordingHelpService help;
        RecordingMainScreen window(help, m_clock);
        start(window);
        QWidget* grid = window.activeGrid();

        whatsThisAction(grid)->trigger();
        QWidget* popup = shownPopup();
        QVERIFY(popup);
        // Start-up has put the pop-ups on the system's window colour.
        QCOMPARE(popup->palette().color(QPalette::ToolTipBase), QApplication::palette().color(QPalette::Window));
        // 300 pixels of text, the pop-up's margins and its shadow.
        QVERIFY2(popup->width() <= 300 + 40, qPrintable(QString::number(popup->width())));

        QWhatsThisClickedEvent clicked(linksOf(grid->whatsThis()).first());
        QApplication::sendEvent(grid, &clicked);
        QCOMPARE(help.topics, QList<int>{1009});
        QTRY_VERIFY(!shownPopup());
    }

    void mouseHelpButtonStartsWhatsThisMode()
    {
        RecordingHelpService help;
        RecordingMainScreen window(help, m_clock);
        start(window);
        window.findChild<QPushButton*>(QStringLiteral("MouseHelpbutton"))->click();
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QWhatsThis::leaveWhatsThisMode();
    }
};

QTEST_MAIN(TestMainScreenHelp)
#include "TestMainScreenHelp.moc"
