#include "ui/HelpTopics.h"
#include "ui/THelpWindow.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

using namespace quorvo;

class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void topics_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("mentions"); // a phrase the topic cannot do without

        QTest::newRow("contents") << 1009 << "contents.html"
                                  << "Contents"
                                  << "Rebuild Indexes";
        QTest::newRow("FAQ") << 911 << "faq.html"
                             << "Frequently Asked Questions"
                             << "Please rebuild indexes ASAP";
        QTest::newRow("support") << 1012 << "support.html"
                                 << "Technical Support"
                                 << "Configuration Information";
        QTest::newRow("filter") << 1018 << "filter.html"
                                << "Filtering the Task List"
                                << "Next 7 Days";
        QTest::newRow("task editor") << 1004 << "task-editor.html"
                                     << "The Task Editor and the Date Picker"
                                     << "Quick Date";
        QTest::newRow("time picker") << 2986 << "time-picker.html"
                                     << "The Time Picker"
                                     << "minute";
        QTest::newRow("report dialog") << 1007 << "reports.html"
                                       << "Reports and Exports"
                                       << "Printer Setup";
        QTest::newRow("preview") << 1017 << "preview.html"
                                 << "The Print Preview"
                                 << "Zoom";
    }

    void topics()
    {
        QFETCH(int, context);
        QFETCH(QString, page);
        QFETCH(QString, title);
        QFETCH(QString, mentions);
        QVERIFY(HelpTopics::contains(context));
        QCOMPARE(HelpTopics::titleOf(context), title);

        THelpWindow window;
        window.showTopic(context);
        QCOMPARE(window.currentPage(), QUrl("qrc:/help/" + page));
        auto* browser = window.findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
        QCOMPARE(browser->documentTitle(), title);
        QCOMPARE(window.windowTitle(), "Quorvo Help - " + title);
        QVERIFY2(browser->toPlainText().contains(mentions, Qt::CaseInsensitive), qPrintable(page));
    }

    void unknownNumberShowsTheContents()
    {
        QVERIFY(!HelpTopics::contains(4711));
        THelpWindow window;
        window.showTopic(4711);
        QCOMPARE(window.currentPage(), QUrl("qrc:/help/contents.html"));
    }

    void everyLinkOfEveryTopicLeadsToAPage()
    {
        const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
        for (int context : HelpTopics::contexts()) {
            const QUrl page = HelpTopics::pageFor(context);
            QFile file(QLatin1Char(':') + page.path());
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page.toString()));
            const QString html = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch& match : link.globalMatch(html)) {
                const QUrl target = page.resolved(QUrl(match.captured(1)));
                QVERIFY2(QFile::exists(QLatin1Char(':') + target.path()),
                         qPrintable(page.toString() + " -> " + target.toString()));
            }
        }
    }

    void linksMoveBetweenTopicsAndBack()
    {
        THelpWindow window;
        auto* browser = window.findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
        auto* back = window.findChild<QToolButton*>(QStringLiteral("HelpBackButton"));
        auto* contents = window.findChild<QToolButton*>(QStringLiteral("HelpContentsButton"));
        window.showTopic(HelpTopics::Contents);
        QVERIFY(!back->isEnabled());

        emit browser->anchorClicked(QUrl(QStringLiteral("faq.html")));
        QCOMPARE(window.currentPage(), QUrl("qrc:/help/faq.html"));
        QVERIFY(back->isEnabled());
        back->click();
        QCOMPARE(window.currentPage(), QUrl("qrc:/help/contents.html"));

        window.showTopic(HelpTopics::Filter);
        contents->click();
        QCOMPARE(window.currentPage(), QUrl("qrc:/help/contents.html"));
    }

    void webLinksLeaveTheHelp()
    {
        THelpWindow window;
        window.showTopic(HelpTopics::Support);
        QSignalSpy web(&window, &THelpWindow::webPageRequested);
        emit window.findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"))
            ->anchorClicked(QUrl(QStringLiteral("https://quorvo.example/news")));
        QCOMPARE(web.size(), 1);
        QCOMPARE(web.first().first().toUrl(), QUrl("https://quorvo.example/news"));
        QCOMPARE(window.currentPage(), QUrl("qrc:/help/support.html"));
    }

    void searchNarrowsTheTopics_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("topics");
        QTest::newRow("nothing typed: every topic") << "" << HelpTopics::contexts();
        QTest::newRow("one word, any case") << "zoom" << QList<int>{HelpTopics::PrintPreview};
        QTest::newRow("several words, any spacing") << "printer   SETUP" << QList<int>{HelpTopics::ReportDialog};
        QTest::newRow("in several topics")
            << "picker" << QList<int>{HelpTopics::Faq, HelpTopics::TaskEditor, HelpTopics::TimePicker};
        // The commands added to the File menu and the report dialog are explained where a user looks for them.
        QTest::newRow("undo and redo") << "undo redo ctrl+z" << QList<int>{HelpTopics::Contents};
        QTest::newRow("iCalendar import and export")
            << "icalendar" << QList<int>{HelpTopics::Contents, HelpTopics::ReportDialog};
        QTest::newRow("no topic") << "xyzzy" << QList<int>{};
    }

    void searchNarrowsTheTopics()
    {
        QFETCH(QString, query);
        QFETCH(QList<int>, topics);
        THelpWindow window;
        auto* list = window.findChild<QListWidget*>(QStringLiteral("HelpTopicList"));
        QCOMPARE(list->count(), HelpTopics::contexts().size());
        QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("HelpSearch")), query);
        QList<int> shown;
        for (int row = 0; row < list->count(); ++row)
            if (!list->item(row)->isHidden())
                shown << list->item(row)->data(Qt::UserRole).toInt();
        QCOMPARE(shown, topics);
    }

    void enterInTheSearchOpensTheFirstTopicFound()
    {
        THelpWindow window;
        window.showTopic(HelpTopics::Contents);
        auto* search = window.findChild<QLineEdit*>(QStringLiteral("HelpSearch"));
        QTest::keyClicks(search, "hour minute");
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(window.currentPage(), HelpTopics::pageFor(HelpTopics::TimePicker));
        auto* browser = window.findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
        QCOMPARE(browser->textCursor().selectedText().toLower(), QStringLiteral("hour"));
    }

    void theListFollowsThePageAndOpensTopics()
    {
        THelpWindow window;
        auto* list = window.findChild<QListWidget*>(QStringLiteral("HelpTopicList"));
        window.showTopic(HelpTopics::Filter);
        QCOMPARE(list->currentItem()->data(Qt::UserRole).toInt(), int(HelpTopics::Filter));
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem* item = list->item(row);
            if (item->data(Qt::UserRole).toInt() == HelpTopics::ReportDialog) {
                list->setCurrentItem(item);
                emit list->itemClicked(item);
            }
        }
        QCOMPARE(window.currentPage(), HelpTopics::pageFor(HelpTopics::ReportDialog));
    }

    // Each topic leads on to another, and the contents lead to each.
    void topicsAreLinked()
    {
        const QRegularExpression link(QStringLiteral("href=\"([^\"]+\\.html)"));
        QSet<QString> fromContents;
        for (int context : HelpTopics::contexts()) {
            QFile file(QLatin1Char(':') + HelpTopics::pageFor(context).path());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QSet<QString> targets;
            for (const QRegularExpressionMatch& match : link.globalMatch(QString::fromUtf8(file.readAll())))
                targets << match.captured(1);
            targets.remove(HelpTopics::pageFor(context).fileName());
            QVERIFY2(!targets.isEmpty(), qPrintable(HelpTopics::titleOf(context)));
            if (context == HelpTopics::Contents)
                fromContents = targets;
        }
        for (int context : HelpTopics::contexts())
            if (context != HelpTopics::Contents)
                QVERIFY2(fromContents.contains(HelpTopics::pageFor(context).fileName()),
                         qPrintable(HelpTopics::titleOf(context)));
    }
};

QTEST_MAIN(TestHelpWindow)
#include "TestHelpWindow.moc"
