#include "store/IniFile.h"
#include "store/Preferences.h"

#include <QTemporaryDir>
#include <QtTest>

using quorvo::IniFile;
using quorvo::Preferences;

Q_DECLARE_METATYPE(Preferences)

namespace {

// Every field by name, so that a failing comparison says which one differs.
QString describe(const Preferences& p)
{
    const auto& r = p.report;
    return QStringLiteral("SplitterBar=%1 Order=%2 ShowDone=%3 Needed=%4 PrintMemo=%5 PrintCheckbox=%6 "
                          "PrintDoubleSpace=%7 PrintKeywoirds=%8 HTMLPrintMemo=%9 RTFPrintMemo=%10 "
                          "TextPrintMemo=%11 HTMLColor=%12")
        .arg(p.splitterBar)
        .arg(p.order)
        .arg(p.showDone)
        .arg(p.reindexNeeded)
        .arg(r.printMemo)
        .arg(r.printCheckbox)
        .arg(r.printDoubleSpace)
        .arg(r.printKeywords)
        .arg(r.htmlPrintMemo)
        .arg(r.rtfPrintMemo)
        .arg(r.textPrintMemo)
        .arg(r.htmlColor);
}

const QByteArray kDefaultFile = "[Preferences]\n"
                                "SplitterBar=200\n"
                                "Order=0\n"
                                "ShowDone=0\n"
                                "[Reindex]\n"
                                "Needed=1\n"
                                "[Report]\n"
                                "PrintMemo=0\n"
                                "PrintCheckbox=0\n"
                                "PrintDoubleSpace=0\n"
                                "PrintKeywoirds=0\n"
                                "HTMLPrintMemo=0\n"
                                "RTFPrintMemo=0\n"
                                "TextPrintMemo=0\n"
                                "HTMLColor=8454143\n";

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path() const { return m_dir.filePath(QStringLiteral("TODO.INI")); }

    void put(const QByteArray& content)
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(content), content.size());
    }

    QByteArray contents() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(path());
    }

    void noFileGivesTheDefaults()
    {
        // The default values themselves are pinned by the bytes savesEveryKeyInOrder expects.
        QCOMPARE(describe(Preferences::load(path())), describe(Preferences()));
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Preferences>("expected");

        const Preferences defaults;
        QTest::newRow("empty file") << QByteArray() << defaults;
        QTest::newRow("words everywhere")
            << QByteArray("[Preferences]\nSplitterBar=wide\nOrder=first\nShowDone=yes\n[Reindex]\nNeeded=no\n"
                          "[Report]\nPrintMemo=true\nHTMLColor=yellow\n")
            << defaults;
        QTest::newRow("empty values") << QByteArray("[Preferences]\nSplitterBar=\nOrder=\n[Reindex]\nNeeded=\n")
                                      << defaults;
        QTest::newRow("sections without keys") << QByteArray("[Preferences]\n[Reindex]\n[Report]\n") << defaults;
        QTest::newRow("keys under other sections")
            << QByteArray("[Settings]\nSplitterBar=10\nOrder=3\nNeeded=0\nHTMLColor=1\n") << defaults;
        QTest::newRow("not an INI file at all") << QByteArray("\x89PNG\r\n\x1A\n\x00\x00", 10) << defaults;

        Preferences hex;
        hex.splitterBar = 16;
        hex.order = 3;
        hex.report.htmlColor = 0xFF;
        QTest::newRow("hex") << QByteArray("[Preferences]\nSplitterBar=0x10\nOrder=0x3\n[Report]\nHTMLColor=0xff\n")
                             << hex;

        Preferences some;
        some.order = 9;
        some.report.printMemo = true;
        QTest::newRow("missing sections") << QByteArray("[Report]\nPrintMemo=1\n[preferences]\nORDER=9\n") << some;

        Preferences booleans;
        booleans.showDone = true;
        booleans.reindexNeeded = false;
        booleans.report.textPrintMemo = true;
        QTest::newRow("booleans are integers")
            << QByteArray("[Preferences]\nShowDone=2\n[Reindex]\nNeeded=0\n[Report]\nTextPrintMemo=-1\n") << booleans;

        Preferences keywords;
        keywords.report.printKeywords = true;
        QTest::newRow("the misspelt key is the key") << QByteArray("[Report]\nPrintKeywoirds=1\n") << keywords;
        QTest::newRow("the right spelling is not") << QByteArray("[Report]\nPrintKeywords=1\n") << defaults;

        Preferences all;
        all.splitterBar = 321;
        all.order = 2;
        all.showDone = true;
        all.reindexNeeded = false;
        all.report = {true, true, true, true, true, true, true, 255};
        QTest::newRow("every key")
            << QByteArray("[Preferences]\r\nSplitterBar=321\r\nOrder=2\r\nShowDone=1\r\n[Reindex]\r\nNeeded=0\r\n"
                          "[Report]\r\nPrintMemo=1\r\nPrintCheckbox=1\r\nPrintDoubleSpace=1\r\nPrintKeywoirds=1\r\n"
                          "HTMLPrintMemo=1\r\nRTFPrintMemo=1\r\nTextPrintMemo=1\r\nHTMLColor=255\r\n")
            << all;
    }

    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(Preferences, expected);
        put(content);
        QCOMPARE(describe(Preferences::load(path())), describe(expected));
    }

    void savesEveryKeyInOrder()
    {
        QVERIFY(Preferences().save(path()));
        QCOMPARE(contents(), kDefaultFile);
    }

    void saveChangesValuesInPlaceAndKeepsTheRest()
    {
        // A file from a Windows installation: CR LF, placement and unknown keys, the keys in another order.
        put("[TMainScreen_Placement]\r\nLeft=10\r\nTop=20\r\nRight=600\r\nBottom=400\r\nMaximized=0\r\n"
            "[Report]\r\nHTMLColor=1\r\nPrintMemo=1\r\nFuture=abc\r\n"
            "[Preferences]\r\nOrder=2\r\nSplitterBar=150\r\n");
        Preferences p = Preferences::load(path());
        p.splitterBar = 180;
        p.showDone = true;
        p.report.printMemo = false;
        QVERIFY(p.save(path()));
        QCOMPARE(contents(),
                 QByteArray("[TMainScreen_Placement]\r\nLeft=10\r\nTop=20\r\nRight=600\r\nBottom=400\r\nMaximized=0\r\n"
                            "[Report]\r\nHTMLColor=1\r\nPrintMemo=0\r\nFuture=abc\r\nPrintCheckbox=0\r\n"
                            "PrintDoubleSpace=0\r\nPrintKeywoirds=0\r\nHTMLPrintMemo=0\r\nRTFPrintMemo=0\r\n"
                            "TextPrintMemo=0\r\n"
                            "[Preferences]\r\nOrder=2\r\nSplitterBar=180\r\nShowDone=1\r\n"
                            "[Reindex]\r\nNeeded=1\r\n"));
    }

    void roundTrip()
    {
        Preferences p;
        p.splitterBar = 0;
        p.order = 5;
        p.showDone = true;
        p.reindexNeeded = false;
        p.report.printCheckbox = true;
        p.report.printKeywords = true;
        p.report.rtfPrintMemo = true;
        p.report.htmlColor = -1;
        QVERIFY(p.save(path()));
        QCOMPARE(describe(Preferences::load(path())), describe(p));
    }

    void writeJoinsTheCallersBatch()
    {
        IniFile file(path());
        file.beginBatch();
        QVERIFY(Preferences().write(file));
        QVERIFY(file.inBatch());
        QCOMPARE(contents(), QByteArray("<missing>"));
        QVERIFY(file.writeInt("TMainScreen_Placement", "Left", 1));
        QVERIFY(file.commit());
        QCOMPARE(contents(), kDefaultFile + "[TMainScreen_Placement]\nLeft=1\n");
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "TestPreferences.moc"
