#include "store/IniFile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using quorvo::IniFile;

namespace {

struct Write
{
    QByteArray section;
    QByteArray key;
    QByteArray value;
};

} // namespace

Q_DECLARE_METATYPE(QList<Write>)

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name = QStringLiteral("TODO.INI")) const { return m_dir.filePath(name); }

    void put(const QByteArray& content, const QString& name = QStringLiteral("TODO.INI"))
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(content), content.size());
    }

    QByteArray contents(const QString& name = QStringLiteral("TODO.INI")) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(path());
    }

    void readInt_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("expected");

        const QByteArray s = "Preferences";
        const QByteArray k = "Order";
        const int d = -99; // the default every row passes

        QTest::newRow("plain") << QByteArray("[Preferences]\nOrder=3\n") << s << k << 3;
        QTest::newRow("section in other case") << QByteArray("[PREFERENCES]\nOrder=3\n") << s << k << 3;
        QTest::newRow("key in other case") << QByteArray("[Preferences]\noRDER=3\n") << s << k << 3;
        QTest::newRow("asked in other case")
            << QByteArray("[Preferences]\nOrder=3\n") << QByteArray("preferences") << QByteArray("ORDER") << 3;
        QTest::newRow("Windows-1252 letters fold")
            << QByteArray("[\xC9t\xC9]\n\x8A=4\n") << QByteArray("\xE9t\xE9") << QByteArray("\x9A") << 4;
        QTest::newRow("blanks around") << QByteArray("  [ Preferences ]  \n\t Order \t=  3 \t\n") << s << k << 3;
        QTest::newRow("CR LF lines") << QByteArray("[Preferences]\r\nOrder=3\r\n") << s << k << 3;
        QTest::newRow("no final line end") << QByteArray("[Preferences]\nOrder=3") << s << k << 3;
        QTest::newRow("UTF-8 mark before the first section")
            << QByteArray("\xEF\xBB\xBF[Preferences]\nOrder=3\n") << s << k << 3;
        QTest::newRow("hex") << QByteArray("[Preferences]\nOrder=0x10\n") << s << k << 16;
        QTest::newRow("hex capital X and digits") << QByteArray("[Preferences]\nOrder=0X1f\n") << s << k << 31;
        QTest::newRow("hex all ones is -1") << QByteArray("[Preferences]\nOrder=0xFFFFFFFF\n") << s << k << -1;
        QTest::newRow("hex beyond 32 bits") << QByteArray("[Preferences]\nOrder=0x100000000\n") << s << k << d;
        QTest::newRow("hex prefix alone") << QByteArray("[Preferences]\nOrder=0x\n") << s << k << d;
        QTest::newRow("hex with a bad digit") << QByteArray("[Preferences]\nOrder=0x1g\n") << s << k << d;
        QTest::newRow("negative") << QByteArray("[Preferences]\nOrder=-7\n") << s << k << -7;
        QTest::newRow("plus sign") << QByteArray("[Preferences]\nOrder=+7\n") << s << k << 7;
        QTest::newRow("largest") << QByteArray("[Preferences]\nOrder=2147483647\n") << s << k << 2147483647;
        QTest::newRow("smallest") << QByteArray("[Preferences]\nOrder=-2147483648\n") << s << k << (-2147483647 - 1);
        QTest::newRow("too large") << QByteArray("[Preferences]\nOrder=2147483648\n") << s << k << d;
        QTest::newRow("too small") << QByteArray("[Preferences]\nOrder=-2147483649\n") << s << k << d;
        QTest::newRow("huge") << QByteArray("[Preferences]\nOrder=99999999999999999999999\n") << s << k << d;
        QTest::newRow("word") << QByteArray("[Preferences]\nOrder=three\n") << s << k << d;
        QTest::newRow("number then word") << QByteArray("[Preferences]\nOrder=12abc\n") << s << k << d;
        QTest::newRow("inner blank") << QByteArray("[Preferences]\nOrder=1 2\n") << s << k << d;
        QTest::newRow("decimal point") << QByteArray("[Preferences]\nOrder=1.5\n") << s << k << d;
        QTest::newRow("sign alone") << QByteArray("[Preferences]\nOrder=-\n") << s << k << d;
        QTest::newRow("empty value") << QByteArray("[Preferences]\nOrder=\n") << s << k << d;
        QTest::newRow("missing key") << QByteArray("[Preferences]\nShowDone=1\n") << s << k << d;
        QTest::newRow("missing section") << QByteArray("[Report]\nOrder=3\n") << s << k << d;
        QTest::newRow("key before any section") << QByteArray("Order=3\n[Preferences]\n") << s << k << d;
        QTest::newRow("key of the next section") << QByteArray("[Preferences]\n[Other]\nOrder=3\n") << s << k << d;
        QTest::newRow("commented out") << QByteArray("[Preferences]\n;Order=3\n") << s << k << d;
        QTest::newRow("first of two keys") << QByteArray("[Preferences]\nOrder=3\nOrder=4\n") << s << k << 3;
        QTest::newRow("repeated section is dead")
            << QByteArray("[Preferences]\nX=1\n[preferences]\nOrder=4\n") << s << k << d;
        QTest::newRow("line without equals") << QByteArray("[Preferences]\nOrder\nOrder=5\n") << s << k << 5;
        QTest::newRow("empty file") << QByteArray() << s << k << d;
        QTest::newRow("binary junk") << QByteArray("\x00\xFF[\x01]=\n\n=\x02", 10) << s << k << d;
    }

    void readInt()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(int, expected);
        put(content);
        QCOMPARE(IniFile(path()).readInt(section, key, -99), expected);
    }

    void readBool_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");

        QTest::newRow("1") << QByteArray("1") << false << true;
        QTest::newRow("0") << QByteArray("0") << true << false;
        QTest::newRow("any non-zero") << QByteArray("2") << false << true;
        QTest::newRow("negative") << QByteArray("-1") << false << true;
        QTest::newRow("hex zero") << QByteArray("0x0") << true << false;
        QTest::newRow("hex one") << QByteArray("0x1") << false << true;
        QTest::newRow("word true takes the default") << QByteArray("true") << false << false;
        QTest::newRow("word false takes the default") << QByteArray("false") << true << true;
        QTest::newRow("empty takes the default") << QByteArray("") << true << true;
    }

    void readBool()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        put("[Report]\nPrintMemo=" + value + "\n");
        QCOMPARE(IniFile(path()).readBool("Report", "PrintMemo", defaultValue), expected);
    }

    void readString_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("plain") << QByteArray("Title=My list") << QByteArray("My list");
        QTest::newRow("blanks trimmed") << QByteArray("Title =  My list \t") << QByteArray("My list");
        QTest::newRow("empty value is not missing") << QByteArray("Title=") << QByteArray("");
        QTest::newRow("double quotes") << QByteArray("Title=\" My list \"") << QByteArray(" My list ");
        QTest::newRow("single quotes") << QByteArray("Title='x'") << QByteArray("x");
        QTest::newRow("unmatched quotes stay") << QByteArray("Title=\"x'") << QByteArray("\"x'");
        QTest::newRow("one quote stays") << QByteArray("Title=\"") << QByteArray("\"");
        QTest::newRow("equals in the value") << QByteArray("Title=a=b") << QByteArray("a=b");
        QTest::newRow("Windows-1252 bytes") << QByteArray("Title=Caf\xE9 \x80") << QByteArray("Caf\xE9 \x80");
        QTest::newRow("missing") << QByteArray("Other=x") << QByteArray("<default>");
    }

    void readString()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, expected);
        put("[Report]\r\n" + line + "\r\n");
        QCOMPARE(IniFile(path()).readString("Report", "Title", "<default>"), expected);
    }

    void missingFileReadsDefaults()
    {
        const IniFile file(path());
        QVERIFY(file.isReadable());
        QVERIFY(!file.contains("Preferences", "Order"));
        QCOMPARE(file.readInt("Preferences", "Order", 7), 7);
        QCOMPARE(file.readString("Preferences", "Order", "x"), QByteArray("x"));
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<Write>>("writes");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << QByteArray() << QList<Write>{{"Preferences", "Order", "3"}}
                                  << QByteArray("[Preferences]\nOrder=3\n");
        QTest::newRow("value replaced in place, everything else kept")
            << QByteArray("; kept\r\n[Preferences]\r\nSplitterBar=200\r\nOrder=1\r\nUnknown=x\r\n\r\n"
                          "[Mine]\r\nA=1\r\n")
            << QList<Write>{{"Preferences", "Order", "4"}}
            << QByteArray("; kept\r\n[Preferences]\r\nSplitterBar=200\r\nOrder=4\r\nUnknown=x\r\n\r\n"
                          "[Mine]\r\nA=1\r\n");
        QTest::newRow("matched without case, spelling and spacing kept")
            << QByteArray("[preferences]\n  ORDER = 1\n") << QList<Write>{{"Preferences", "Order", "2"}}
            << QByteArray("[preferences]\n  ORDER = 2\n");
        QTest::newRow("new key after the section's last line, before the blank")
            << QByteArray("[Preferences]\nOrder=1\n\n[Report]\nPrintMemo=0\n")
            << QList<Write>{{"Preferences", "ShowDone", "1"}}
            << QByteArray("[Preferences]\nOrder=1\nShowDone=1\n\n[Report]\nPrintMemo=0\n");
        QTest::newRow("new key into an empty section")
            << QByteArray("[Preferences]\n[Report]\n") << QList<Write>{{"Preferences", "Order", "1"}}
            << QByteArray("[Preferences]\nOrder=1\n[Report]\n");
        QTest::newRow("new section at the end, missing line end added")
            << QByteArray("[Mine]\nA=1") << QList<Write>{{"Reindex", "Needed", "0"}}
            << QByteArray("[Mine]\nA=1\n[Reindex]\nNeeded=0\n");
        QTest::newRow("new lines take the file's CR LF")
            << QByteArray("[Mine]\r\nA=1\r\n") << QList<Write>{{"Mine", "B", "2"}, {"Other", "C", "3"}}
            << QByteArray("[Mine]\r\nA=1\r\nB=2\r\n[Other]\r\nC=3\r\n");
        QTest::newRow("last key without line end replaced")
            << QByteArray("[Mine]\nA=1") << QList<Write>{{"Mine", "A", "22"}} << QByteArray("[Mine]\nA=22");
        QTest::newRow("first of repeated sections and keys")
            << QByteArray("[S]\nK=1\nK=2\n[S]\nK=3\n") << QList<Write>{{"S", "K", "9"}}
            << QByteArray("[S]\nK=9\nK=2\n[S]\nK=3\n");
        QTest::newRow("commented key is not the key")
            << QByteArray("[S]\n;K=1\n") << QList<Write>{{"S", "K", "2"}} << QByteArray("[S]\n;K=1\nK=2\n");
        QTest::newRow("value cut at a line break")
            << QByteArray() << QList<Write>{{"S", "K", "a\r\n[Evil]\nX=1"}} << QByteArray("[S]\nK=a\n");
        QTest::newRow("bytes written as given") << QByteArray() << QList<Write>{{"Report", "Title", "Caf\xE9 \x80"}}
                                                << QByteArray("[Report]\nTitle=Caf\xE9 \x80\n");
        QTest::newRow("UTF-8 mark kept") << QByteArray("\xEF\xBB\xBF[S]\nK=1\n") << QList<Write>{{"S", "K", "2"}}
                                         << QByteArray("\xEF\xBB\xBF[S]\nK=2\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QList<Write>, writes);
        QFETCH(QByteArray, after);
        if (!before.isEmpty())
            put(before);
        IniFile file(path());
        for (const Write& w : writes)
            QVERIFY(file.writeString(w.section, w.key, w.value));
        QCOMPARE(contents(), after);
        // The object reads what it wrote.
        for (const Write& w : writes)
            QCOMPARE(file.readString(w.section, w.key, "<none>"), w.value.split('\r').front().split('\n').front());
    }

    void numbersAndBooleansAreWrittenPlain()
    {
        IniFile file(path());
        QVERIFY(file.writeInt("S", "Negative", -5));
        QVERIFY(file.writeInt("S", "Colour", 8454143));
        QVERIFY(file.writeBool("S", "Yes", true));
        QVERIFY(file.writeBool("S", "No", false));
        QCOMPARE(contents(), QByteArray("[S]\nNegative=-5\nColour=8454143\nYes=1\nNo=0\n"));
    }

    void unusableNamesWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("empty section") << QByteArray("") << QByteArray("K");
        QTest::newRow("blank section") << QByteArray("  ") << QByteArray("K");
        QTest::newRow("bracket in section") << QByteArray("A]B") << QByteArray("K");
        QTest::newRow("line break in section") << QByteArray("A\nB") << QByteArray("K");
        QTest::newRow("empty key") << QByteArray("S") << QByteArray("");
        QTest::newRow("equals in key") << QByteArray("S") << QByteArray("A=B");
        QTest::newRow("line break in key") << QByteArray("S") << QByteArray("A\r");
        QTest::newRow("key that reads as a section") << QByteArray("S") << QByteArray("[K");
        QTest::newRow("key that reads as a comment") << QByteArray("S") << QByteArray(";K");
    }

    void unusableNamesWriteNothing()
    {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        put("[S]\nK=1\n");
        IniFile file(path());
        QVERIFY(!file.writeString(section, key, "x"));
        QCOMPARE(contents(), QByteArray("[S]\nK=1\n"));
    }

    void batchReplacesTheFileOnce()
    {
        put("[S]\nK=1\n");
        IniFile file(path());
        file.beginBatch();
        QVERIFY(file.inBatch());
        QVERIFY(file.writeInt("S", "K", 2));
        QVERIFY(file.writeInt("T", "L", 3));
        // Nothing reaches the disk before the commit, but the object already reads the new values.
        QCOMPARE(contents(), QByteArray("[S]\nK=1\n"));
        QCOMPARE(file.readInt("S", "K", 0), 2);
        QVERIFY(file.commit());
        QVERIFY(!file.inBatch());
        QCOMPARE(contents(), QByteArray("[S]\nK=2\n[T]\nL=3\n"));
        QVERIFY(file.commit()); // nothing left to write
    }

    void writeKeepsWhatAnotherWriterAddedMeanwhile()
    {
        put("[S]\nK=1\n");
        IniFile mine(path());
        put("[S]\nK=1\nTheirs=5\n");
        QVERIFY(mine.writeInt("S", "K", 2));
        QCOMPARE(contents(), QByteArray("[S]\nK=2\nTheirs=5\n"));
        QCOMPARE(mine.readInt("S", "Theirs", 0), 5);
    }

    void writeReplacesTheFileInsteadOfOverwritingIt()
    {
        // A second name for the old file still sees the old bytes: the write went to a new file that was
        // renamed over the old name, so a crash in between leaves one whole file or the other.
        put("[S]\nK=1\n");
        const QString other = path(QStringLiteral("old.ini"));
        QFile::remove(other);
        QCOMPARE(::link(QFile::encodeName(path()).constData(), QFile::encodeName(other).constData()), 0);
        IniFile file(path());
        QVERIFY(file.writeInt("S", "K", 2));
        QCOMPARE(contents(), QByteArray("[S]\nK=2\n"));
        QCOMPARE(contents(QStringLiteral("old.ini")), QByteArray("[S]\nK=1\n"));
        QFile::remove(other);
        // And no temporary file is left behind.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("TODO.INI")});
    }

    void failedWriteLeavesTheFile()
    {
        // A directory that cannot take new files: the replacement cannot be made, the old file stays.
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("TODO.INI"));
        {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[S]\nK=1\n");
        }
        IniFile file(name);
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), S_IRUSR | S_IXUSR) == 0);
        const bool written = file.writeInt("S", "K", 2);
        ::chmod(QFile::encodeName(dir.path()).constData(), S_IRWXU);
        if (::geteuid() == 0 && written)
            QSKIP("running as root: directory permissions do not stop the replacement");
        QVERIFY(!written);
        QFile check(name);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), QByteArray("[S]\nK=1\n"));
        QCOMPARE(file.readInt("S", "K", 0), 1);
    }

    void missingDirectoryFailsTheWrite()
    {
        IniFile file(m_dir.filePath(QStringLiteral("no/such/dir/TODO.INI")));
        QVERIFY(!file.writeInt("S", "K", 1));
        file.beginBatch();
        QVERIFY(file.writeInt("S", "K", 1));
        QVERIFY(!file.commit());
    }

    void unreadableFileIsNeverWrittenOver()
    {
        // A name we cannot read gives defaults, and we never replace what we could not read.
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("TODO.INI")));
        IniFile file(path());
        QVERIFY(!file.isReadable());
        QCOMPARE(file.readInt("S", "K", 4), 4);
        QVERIFY(!file.writeInt("S", "K", 1));
        QVERIFY(QFileInfo(path()).isDir());
        QVERIFY(QDir(path()).removeRecursively());
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "TestIniFile.moc"
