#include "store/PadNoteText.h"
#include "store/ProgramDir.h"
#include "store/SplitString.h"
#include "store/TrimSpaces.h"

#include <QtTest>

using namespace quorvo;

class TestStoreHelpers : public QObject
{
    Q_OBJECT

private slots:
    void directoryWithSlash_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("expected");
        QTest::newRow("without slash") << "/opt/quorvo"
                                       << "/opt/quorvo/";
        QTest::newRow("with slash") << "/opt/quorvo/"
                                    << "/opt/quorvo/";
        QTest::newRow("doubled slashes") << "/opt//quorvo//"
                                         << "/opt/quorvo/";
        QTest::newRow("dot parts") << "/opt/./x/../quorvo"
                                   << "/opt/quorvo/";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("relative") << "data" << QDir::currentPath() + "/data/";
    }

    void directoryWithSlash()
    {
        QFETCH(QString, directory);
        QFETCH(QString, expected);
        QCOMPARE(DirectoryWithSlash(directory), expected);
    }

    void programDirOf_data()
    {
        QTest::addColumn<QString>("programFile");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << "/opt/quorvo/quorvo"
                                  << "/opt/quorvo/";
        QTest::newRow("in the root") << "/quorvo"
                                     << "/";
        QTest::newRow("bare name is the working directory") << "quorvo" << QDir::currentPath() + "/";
    }

    void programDirOf()
    {
        QFETCH(QString, programFile);
        QFETCH(QString, expected);
        QCOMPARE(ProgramDirOf(programFile), expected);
    }

    void programDirOfThisProgram()
    {
        const QString dir = ProgramDir();
        QVERIFY2(dir.endsWith(u'/') && !dir.endsWith(QStringLiteral("//")), qPrintable(dir));
        QCOMPARE(dir, ProgramDirOf(QCoreApplication::applicationFilePath()));
        QCOMPARE(PreferencesFileName(), dir + QStringLiteral("TODO.INI"));
        QCOMPARE(PreferencesFileName(QStringLiteral("/tmp/x/")), QStringLiteral("/tmp/x/TODO.INI"));
    }

    void trim_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("both");
        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << "";
        QTest::newRow("only spaces") << "   "
                                     << ""
                                     << ""
                                     << "";
        QTest::newRow("no spaces") << "ab"
                                   << "ab"
                                   << "ab"
                                   << "ab";
        QTest::newRow("both sides") << "  a b  "
                                    << "a b  "
                                    << "  a b"
                                    << "a b";
        QTest::newRow("tabs are not spaces") << "\t a \t"
                                             << "\t a \t"
                                             << "\t a \t"
                                             << "\t a \t";
        QTest::newRow("spaces outside tabs") << " \ta\t "
                                             << "\ta\t "
                                             << " \ta\t"
                                             << "\ta\t";
        QTest::newRow("line breaks stay") << " a\r\n "
                                          << "a\r\n "
                                          << " a\r\n"
                                          << "a\r\n";
        QTest::newRow("no-break space is not a space") << "\u00A0a\u00A0"
                                                       << "\u00A0a\u00A0"
                                                       << "\u00A0a\u00A0"
                                                       << "\u00A0a\u00A0";
    }

    void trim()
    {
        QFETCH(QString, text);
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(QString, both);
        QCOMPARE(TrimLeftSpaces(text), left);
        QCOMPARE(TrimRightSpaces(text), right);
        QCOMPARE(TrimSpaces(text), both);
    }

    void splitString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("empty text") << ""
                                    << "," << QStringList{""};
        QTest::newRow("no delimiter") << "home"
                                      << "," << QStringList{"home"};
        QTest::newRow("two words") << "home,work"
                                   << "," << QStringList{"home", "work"};
        QTest::newRow("each word followed by the delimiter") << "home,work,"
                                                             << "," << QStringList{"home", "work", ""};
        QTest::newRow("leading delimiter") << ",home"
                                           << "," << QStringList{"", "home"};
        QTest::newRow("delimiters only") << ",,"
                                         << "," << QStringList{"", "", ""};
        QTest::newRow("blanks are kept") << " a , b "
                                         << "," << QStringList{" a ", " b "};
        QTest::newRow("longer delimiter") << "a, b, c"
                                          << ", " << QStringList{"a", "b", "c"};
        QTest::newRow("delimiter beyond 255 characters") << QString(300, u'x') + ",y"
                                                         << "," << QStringList{QString(300, u'x'), "y"};
        QTest::newRow("empty delimiter") << "a,b"
                                         << "" << QStringList{"a,b"};
    }

    void splitString()
    {
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QFETCH(QStringList, pieces);
        QStringList list{QStringLiteral("before")};
        SplitString(text, delimiter, list);
        QCOMPARE(list, QStringList{QStringLiteral("before")} + pieces);
    }

    void padNoteText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("padded");
        QTest::newRow("empty") << "" << qsizetype(0) << "";
        QTest::newRow("4 characters") << "abcd" << qsizetype(4) << "abcd ";
        QTest::newRow("7 characters") << "abcdefg" << qsizetype(7) << "abcdefg";
        QTest::newRow("8 characters") << "abcdefgh" << qsizetype(8) << "abcdefgh ";
        QTest::newRow("9 characters") << "abcdefghi" << qsizetype(9) << "abcdefghi";
        QTest::newRow("two lines of two, LF") << "ab\ncd" << qsizetype(6) << "ab\ncd";
        QTest::newRow("two lines of two, CR LF") << "ab\r\ncd" << qsizetype(6) << "ab\r\ncd";
        QTest::newRow("break counts two") << "a\nb" << qsizetype(4) << "a\nb ";
        QTest::newRow("lone CR counts two") << "a\rb" << qsizetype(4) << "a\rb ";
        QTest::newRow("empty last line") << "abcdef\n" << qsizetype(8) << "abcdef\n ";
        QTest::newRow("two breaks only") << "\n\n" << qsizetype(4) << "\n\n ";
        QTest::newRow("one break only") << "\n" << qsizetype(2) << "\n";
    }

    void padNoteText()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, length);
        QFETCH(QString, padded);
        QCOMPARE(NoteTextLength(text), length);
        QCOMPARE(PadNoteText(text), padded);

        // The same rule over the note's lines, as a multi-line control holds them.
        QStringList lines =
            text.isEmpty() ? QStringList() : text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
        PadNoteText(lines);
        QCOMPARE(lines.join(QStringLiteral("\r\n")),
                 QString(padded).replace(QRegularExpression(QStringLiteral("\r\n|\n|\r")), QStringLiteral("\r\n")));
    }

    void padNoteLinesWithOneEmptyLine()
    {
        // One empty line is a control holding a line but no text: nothing to pad.
        QStringList lines{QString()};
        PadNoteText(lines);
        QCOMPARE(lines, QStringList{QString()});
    }
};

QTEST_GUILESS_MAIN(TestStoreHelpers)
#include "TestStoreHelpers.moc"
