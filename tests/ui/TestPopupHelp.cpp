#include "ui/PopupHelp.h"

#include <QAbstractTextDocumentLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QWhatsThisClickedEvent>
#include <QtTest>

using quorvo::PopupHelp;

namespace {

// Lays the rich text out the way the pop-up does: at a width of the document's own choosing.
QTextDocument* laidOut(const QString& richText, QObject* parent)
{
    auto* document = new QTextDocument(parent);
    document->setDefaultFont(QApplication::font("QWhatsThat"));
    document->setHtml(richText);
    document->adjustSize();
    return document;
}

} // namespace

class TestPopupHelp : public QObject
{
    Q_OBJECT

private slots:
    void width_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wraps");

        QTest::newRow("one short line") << "Click here" << false;
        QTest::newRow("the link is the widest line") << "Exit" << false;
        QTest::newRow("a long sentence") << QString("Click here to set a filter for only the tasks you wish to see, "
                                                    "by dates, key words and priority.")
                                         << true;
        QTest::newRow("many words") << QString("word ").repeated(200) << true;
        QTest::newRow("line breaks of short lines") << "One\r\nTwo\r\nThree" << false;
    }

    void width()
    {
        // Never wider than 300 pixels of text; a text that fits keeps its own, narrower width.
        QFETCH(QString, text);
        QFETCH(bool, wraps);
        QObject owner;
        QTextDocument* document = laidOut(PopupHelp::richText(text), &owner);
        const qreal margins = 2 * document->documentMargin();
        QVERIFY2(document->idealWidth() <= PopupHelp::kMaxTextWidth + margins + 1,
                 qPrintable(QString::number(document->idealWidth())));

        QTextDocument unwrapped;
        unwrapped.setDefaultFont(QApplication::font("QWhatsThat"));
        unwrapped.setDocumentMargin(0);
        unwrapped.setHtml(PopupHelp::richText(text).replace(QRegularExpression("width=\"\\d+\""), QString()));
        const qreal natural = unwrapped.idealWidth();
        if (wraps) {
            QVERIFY(natural > PopupHelp::kMaxTextWidth);
            QVERIFY(document->idealWidth() >= PopupHelp::kMaxTextWidth);
        } else {
            QVERIFY(natural <= PopupHelp::kMaxTextWidth);
            QVERIFY(document->idealWidth() <= natural + margins + 1);
        }
    }

    void aWindowMayWrapNarrower()
    {
        // A window that asks for 200 pixels gets its texts laid out no wider, and a long text uses them.
        QObject owner;
        PopupHelp help(&owner, 200);
        QPushButton button;
        help.attach(&button, QStringLiteral("Select this option to also print a small checkbox next to each task "
                                            "(for your use in checking them off)"));
        QTextDocument* document = laidOut(button.whatsThis(), &owner);
        const qreal margins = 2 * document->documentMargin();
        QVERIFY2(document->idealWidth() <= 200 + margins + 1, qPrintable(QString::number(document->idealWidth())));
        QVERIFY(document->idealWidth() >= 200);
    }

    void textKeepsItsBlanksAndMarkup()
    {
        // Doubled blanks survive, and what looks like markup is shown as written.
        QObject owner;
        const QString text = QStringLiteral("a  b <b>c</b> & d\r\ne");
        QString shown = laidOut(PopupHelp::richText(text), &owner)->toPlainText();
        shown.replace(QChar::LineSeparator, QLatin1Char('\n'));
        QVERIFY2(shown.contains(QLatin1String("a  b <b>c</b> & d\ne\n")), qPrintable(shown));
        QVERIFY(shown.trimmed().endsWith(PopupHelp::moreHelpCaption()));
        QCOMPARE(PopupHelp::moreHelpCaption(), QStringLiteral("Click here or press F1 for more..."));
    }

    void onlyItsOwnLinkAsksForMoreHelp_data()
    {
        QTest::addColumn<bool>("ownLink");
        QTest::newRow("the help link") << true;
        QTest::newRow("some other link") << false;
    }

    void onlyItsOwnLinkAsksForMoreHelp()
    {
        QFETCH(bool, ownLink);
        PopupHelp help;
        QPushButton button;
        help.attach(&button, QStringLiteral("Press it"));
        QSignalSpy more(&help, &PopupHelp::moreHelpRequested);

        QTextDocument document;
        document.setHtml(button.whatsThis());
        QString href;
        for (QTextBlock block = document.begin(); block.isValid() && href.isEmpty(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isAnchor())
                    href = it.fragment().charFormat().anchorHref();
            }
        }
        QVERIFY(!href.isEmpty());
        QWhatsThisClickedEvent clicked(ownLink ? href : QStringLiteral("https://quorvo.example/"));
        QApplication::sendEvent(&button, &clicked);
        QCOMPARE(more.size(), ownLink ? 1 : 0);
    }

    void useWindowColour()
    {
        PopupHelp::useWindowColour();
        QCOMPARE(QApplication::palette("QWhatsThat").color(QPalette::ToolTipBase),
                 QApplication::palette().color(QPalette::Window));
        QCOMPARE(QApplication::palette("QWhatsThat").color(QPalette::ToolTipText),
                 QApplication::palette().color(QPalette::WindowText));
    }
};

QTEST_MAIN(TestPopupHelp)
#include "TestPopupHelp.moc"
