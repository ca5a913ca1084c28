// Note lines: the line, blank and wrap rules, measured in the report font.
#include "reports/NoteLines.h"

#include <QFontMetrics>
#include <QtTest>

using namespace quorvo;

using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(Lines)

namespace {

int widthOf(const char* text)
{
    return QFontMetrics(NoteLines::reportFont()).horizontalAdvance(QString::fromLatin1(text));
}

// A box just wide enough for text and a little, far less than one more letter.
int boxFor(const char* text)
{
    return NoteLines::kBoxChrome + widthOf(text) + 2;
}

} // namespace

class TestNoteLines : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<QByteArray>("notes");
        QTest::addColumn<int>("width");
        QTest::addColumn<Lines>("lines");
        const int wide = 4000;
        QTest::newRow("empty notes") << QByteArray() << wide << Lines{};
        QTest::newRow("spaces only") << QByteArray("     ") << wide << Lines{};
        QTest::newRow("one line") << QByteArray("Call Ann") << wide << Lines{"Call Ann"};
        QTest::newRow("trailing line break") << QByteArray("Call Ann\r\n") << wide << Lines{"Call Ann"};
        QTest::newRow("empty middle line") << QByteArray("one\r\n\r\ntwo") << wide << Lines{"one", "", "two"};
        QTest::newRow("two blank lines are two lines") << QByteArray("\r\n\r\n") << wide << Lines{"", ""};
        QTest::newRow("spaces then a break") << QByteArray("   \r\n") << wide << Lines{};
        QTest::newRow("leading spaces stay, trailing go")
            << QByteArray("  lead  \r\nx ") << wide << Lines{"  lead", "x"};
        QTest::newRow("CR, LF and CR LF each break once")
            << QByteArray("a\nb\rc\r\nd") << wide << Lines{"a", "b", "c", "d"};
        QTest::newRow("bytes above 127 pass through") << QByteArray("caf\xE9 \x80") << wide << Lines{"caf\xE9 \x80"};
        QTest::newRow("wraps after the last space that fits")
            << QByteArray("alpha beta gamma") << boxFor("alpha beta") << Lines{"alpha beta", "gamma"};
        QTest::newRow("spaces hang at the wrap")
            << QByteArray("alpha        beta") << boxFor("alpha") << Lines{"alpha", "beta"};
        QTest::newRow("wrapped lines and breaks together")
            << QByteArray("alpha beta gamma\r\n\r\nalpha") << boxFor("alpha beta")
            << Lines{"alpha beta", "gamma", "", "alpha"};
        QTest::newRow("a word longer than the width is broken")
            << QByteArray("abcdefghabcdefgh") << boxFor("abcdefgh") << Lines{"abcdefgh", "abcdefgh"};
        QTest::newRow("leading spaces before a long word")
            << QByteArray("  abcdefghabcdefgh") << boxFor("abcdefgh") << Lines{"", "abcdefgh", "abcdefgh"};
    }

    void rules()
    {
        QFETCH(QByteArray, notes);
        QFETCH(int, width);
        QFETCH(Lines, lines);
        const NoteLines noteLines(NoteLines::reportFont(), width);
        QCOMPARE(noteLines.lines(std::string_view(notes.data(), notes.size())), lines);
    }

    void narrowerThanOneLetterStillMakesProgress()
    {
        const NoteLines noteLines(NoteLines::reportFont(), 1);
        QCOMPARE(noteLines.lines("abc"), (Lines{"a", "b", "c"}));
    }

    void linesAreReadBackWithAtMost4096Bytes()
    {
        const NoteLines noteLines(NoteLines::reportFont(), 1 << 30);
        const Lines lines = noteLines.lines(std::string(5000, 'x') + "\r\nend");
        QCOMPARE(lines.size(), 2u);
        QCOMPARE(lines[0], std::string(4096, 'x'));
        QCOMPARE(lines[1], std::string("end"));
    }

    void everyLineFitsTheExportWidths_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("html") << 384;
        QTest::newRow("rtf") << 288;
        QTest::newRow("text: 34 digits") << NoteLines::widthOf34Digits(NoteLines::reportFont());
    }

    void everyLineFitsTheExportWidths()
    {
        QFETCH(int, width);
        const std::string notes = "The quick brown fox jumps over the lazy dog while the WWW server restarts, "
                                  "and Mississippi wordsthatnevereverstopforanyspaceatallinthisline go on.";
        const NoteLines noteLines(NoteLines::reportFont(), width);
        const Lines lines = noteLines.lines(notes);
        QVERIFY(lines.size() > 1);
        std::string joined;
        for (const std::string& line : lines) {
            QVERIFY2(widthOf(line.c_str()) <= width - NoteLines::kBoxChrome + 1, line.c_str());
            joined += line;
        }
        // Only the spaces at the wraps were dropped.
        std::string squeezed = notes;
        std::erase(squeezed, ' ');
        std::erase(joined, ' ');
        QCOMPARE(joined, squeezed);
    }

    void thirtyFourDigitsAreAboutTheirWidth()
    {
        // Liberation Sans digits are 6 pixels at this size, like the font it stands in for.
        const int width = NoteLines::widthOf34Digits(NoteLines::reportFont());
        QVERIFY2(width >= 170 && width <= 240, QByteArray::number(width).constData());
    }
};

QTEST_MAIN(TestNoteLines)
#include "TestNoteLines.moc"
