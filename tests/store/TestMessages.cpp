#include "store/Messages.h"
#include "support/ScriptedMessages.h"

#include <QtTest>

using namespace quorvo;
using Kind = ScriptedMessages::Kind;

namespace {

// What a caller in the store does: ask, and report the outcome.
bool confirmAndReport(const QString& question)
{
    if (!AskYesNo(question)) {
        ShowInfo(QStringLiteral("Nothing was changed"));
        return false;
    }
    ShowInfo(QStringLiteral("Done.\rAll of it."));
    return true;
}

} // namespace

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void callsGoThroughTheInstalledObject()
    {
        ScriptedMessages messages;
        messages.answer({true, false});
        QVERIFY(confirmAndReport(QStringLiteral("Delete this task? ")));
        QVERIFY(!confirmAndReport(QStringLiteral("Delete all tasks?")));
        ShowError(QStringLiteral("Disk full"));
        QCOMPARE(messages.unusedAnswers(), 0);
        const QList<ScriptedMessages::Shown> expected{
            {Kind::Question, QStringLiteral("Delete this task? ")},
            {Kind::Info, QStringLiteral("Done.\rAll of it.")},
            {Kind::Question, QStringLiteral("Delete all tasks?")},
            {Kind::Info, QStringLiteral("Nothing was changed")},
            {Kind::Error, QStringLiteral("Disk full")},
        };
        QVERIFY(messages.shown() == expected);
        QCOMPARE(messages.infos(),
                 (QStringList{QStringLiteral("Done.\rAll of it."), QStringLiteral("Nothing was changed")}));
        QCOMPARE(messages.errors(), QStringList{QStringLiteral("Disk full")});
    }

    void doublesNestAndPutThePreviousBack()
    {
        QCOMPARE(Messages::installed(), nullptr);
        {
            ScriptedMessages outer;
            {
                ScriptedMessages inner;
                QCOMPARE(Messages::installed(), &inner);
                ShowInfo(QStringLiteral("inner"));
                QCOMPARE(outer.shown().size(), 0);
            }
            QCOMPARE(Messages::installed(), &outer);
            ShowInfo(QStringLiteral("outer"));
            QCOMPARE(outer.infos(), QStringList{QStringLiteral("outer")});
        }
        QCOMPARE(Messages::installed(), nullptr);
    }

    void withNothingInstalledTheAnswerIsNo()
    {
        QTest::ignoreMessage(QtWarningMsg, "Question without a message box, answered No: Delete all tasks?");
        QVERIFY(!AskYesNo(QStringLiteral("Delete all tasks?")));
        QTest::ignoreMessage(QtWarningMsg, "Information without a message box: Done");
        ShowInfo(QStringLiteral("Done"));
    }

    void messageBoxText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");

        QTest::newRow("plain") << "Please rebuild indexes ASAP"
                               << "Please rebuild indexes ASAP";
        QTest::newRow("CR is a line break")
            << "Unable to open the Todo file (QVTSK.DBF) for reindexing.\rThe file may be in use by another user"
            << "Unable to open the Todo file (QVTSK.DBF) for reindexing.\nThe file may be in use by another user";
        QTest::newRow("CR LF is one line break") << "a\r\nb\r\rc"
                                                 << "a\nb\n\nc";
        QTest::newRow("255 characters kept") << QString(255, u'x') << QString(255, u'x');
        QTest::newRow("cut at 255") << QString(254, u'x') + "yz" << QString(254, u'x') + "y";
        QTest::newRow("cut before a line break conversion")
            << QString(254, u'x') + "\r\nz" << QString(254, u'x') + "\n";
        QTest::newRow("surrogate pair not split")
            << QString(254, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80") << QString(254, u'x');
    }

    void messageBoxText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(MessageBoxText(text), shown);
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "TestMessages.moc"
