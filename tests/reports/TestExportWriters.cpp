// The three export formats over a task table: whole files against files written by hand, the edge cases of
// each format, the walk's end position and a failed write.
#include "datetime/DateFormats.h"
#include "reports/ExportSink.h"
#include "reports/HtmlExport.h"
#include "reports/ReportExport.h"
#include "reports/RtfExport.h"
#include "reports/TextExport.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/TaskTableFixture.h"
#include "support/xbase/FileBytes.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace quorvo;

namespace {

// The tasks the hand-written files in tests/data/exports show, in record order.
std::vector<TaskSpec> sampleTasks()
{
    return {{"20240105", "14:30", "Pay <rent> & bills", "", "A", false, "First line\r\nSecond line"},
            {"", "", "Call {Bob} \\ Ann at the caf\xE9", "", "", true, ""},
            {"20261231", "09:05", "12345678901234567890123456789012345678901234567890", "", "c", false, "   "}};
}

QByteArray expected(const char* name)
{
    return test::readFileBytes(QStringLiteral(QUORVO_TEST_DATA "/exports/") + QLatin1String(name));
}

QList<QByteArray> linesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// Fails every write after the first `allowed` bytes.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 allowed) : m_allowed(allowed) { open(WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        if (size > m_allowed) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_allowed -= size;
        return size;
    }

private:
    qint64 m_allowed;
};

} // namespace

class TestExportWriters : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2026, 12, 8)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    std::unique_ptr<TaskTableFixture> m_fixture;

    bool makeTable(const std::vector<TaskSpec>& tasks)
    {
        m_fixture = std::make_unique<TaskTableFixture>();
        return m_fixture->create(tasks) && m_fixture->engine().setOrder(0).ok();
    }

    QByteArray run(ExportWriter& writer, bool notes)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ReportExport exporter(m_fixture->engine(), m_formats);
        const ReportExport::Outcome outcome = exporter.write(buffer, writer, notes);
        if (!outcome.ok)
            qWarning() << outcome.error;
        return buffer.data();
    }

    static std::unique_ptr<ExportWriter> writer(const QByteArray& format, const QByteArray& title = "Quorvo")
    {
        if (format == "html")
            return std::make_unique<HtmlExport>(title, "FFFF80");
        if (format == "rtf")
            return std::make_unique<RtfExport>(title);
        return std::make_unique<TextExport>(title);
    }

private slots:
    void wholeFiles_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("html") << QByteArray("html") << QByteArray("notes.htm");
        QTest::newRow("rtf") << QByteArray("rtf") << QByteArray("notes.rtf");
        QTest::newRow("text") << QByteArray("text") << QByteArray("notes.txt");
    }

    void wholeFiles()
    {
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, file);
        QVERIFY(makeTable(sampleTasks()));
        auto w = writer(format);
        const QByteArray written = run(*w, true);
        const QByteArray wanted = expected(file.constData());
        QVERIFY(!wanted.isEmpty());
        QCOMPARE(linesOf(written), linesOf(wanted)); // the first differing line, readably
        QCOMPARE(written, wanted);
    }

    void emptyView_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArrayList>("tail");
        QTest::newRow("html: one row of empty cells")
            << QByteArray("html")
            << QByteArrayList{"<TH>Task<TH>Date<TH>Time<TH>Priority<TH>Done?",
                              "<TR>",
                              "<TD WRAP></BR></TD><TD NOWRAP></BR></TD><TD NOWRAP></BR></TD><TD NOWRAP></BR></TD>"
                              "<TD NOWRAP></BR></TD></TR>",
                              "</TABLE>",
                              "</BODY>",
                              "</HTML>"};
        QTest::newRow("rtf: header row, then the end")
            << QByteArray("rtf") << QByteArrayList{R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1\b Done\cell\row)", "}}}"};
        QTest::newRow("text: five lines")
            << QByteArray("text")
            << QByteArrayList{"Quorvo", "", "",
                              "Task                                               Date        Time    Priority Done",
                              QByteArray(84, '=')};
    }

    void emptyView()
    {
        QFETCH(QByteArray, format);
        QFETCH(QByteArrayList, tail);
        QVERIFY(makeTable(sampleTasks()));
        QVERIFY(m_fixture->engine().setQuery("DONE .AND. .NOT. DONE").ok());
        auto w = writer(format);
        const QList<QByteArray> lines = linesOf(run(*w, true));
        QCOMPARE(lines.mid(lines.size() - tail.size()), tail);
        if (format == "text")
            QCOMPARE(lines.size(), 5);
    }

    void titles_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("html escapes & < >")
            << QByteArray("html") << QByteArray("Home & <Work> \\{x}")
            << QByteArrayList{"<TITLE>Home &amp; &lt;Work&gt; \\{x}</TITLE>",
                              "<h1 ALIGN=\"CENTER\">Home &amp; &lt;Work&gt; \\{x}</h1>"};
        QTest::newRow("rtf escapes \\ { }")
            << QByteArray("rtf") << QByteArray("Home & <Work> \\{x}") << QByteArrayList{"Home & <Work> \\\\\\{x\\}"};
        QTest::newRow("rtf empty title keeps its line")
            << QByteArray("rtf") << QByteArray()
            << QByteArrayList{R"({\qc\plain\f0\fs28\cf1\b)", "", R"(\par\plain\fs20\ql\par)"};
        QTest::newRow("text title as typed")
            << QByteArray("text") << QByteArray("Home & <Work> \\{x}") << QByteArrayList{"Home & <Work> \\{x}", "", ""};
        QTest::newRow("text empty title") << QByteArray("text") << QByteArray() << QByteArrayList{"", "", ""};
    }

    void titles()
    {
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, title);
        QFETCH(QByteArrayList, lines);
        QVERIFY(makeTable({}));
        auto w = writer(format, title);
        const QList<QByteArray> written = linesOf(run(*w, false));
        qsizetype at = 0;
        for (const QByteArray& line : lines) {
            at = written.indexOf(line, at);
            QVERIFY2(at >= 0, line.constData());
        }
    }

    void htmlColourTextIsWrittenAsGiven()
    {
        QVERIFY(makeTable({}));
        HtmlExport w("t", "0000FF");
        QVERIFY(linesOf(run(w, false)).contains("<BODY BGCOLOR=#0000FF>"));
    }

    void notesRows_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArrayList>("afterTask");
        // A one-line note, then a task without notes whose row follows directly.
        QTest::newRow("html") << QByteArray("html")
                              << QByteArrayList{"<TD WRAP><FONT SIZE=-1><I><BLOCKQUOTE>Only &amp; line ",
                                                "</I><FONT SIZE=+1></BLOCKQUOTE></TD><TD NOWRAP></BR></TD><TD "
                                                "NOWRAP></BR></TD><TD NOWRAP></BR></TD></TR>",
                                                "<TR>"};
        QTest::newRow("rtf") << QByteArray("rtf")
                             << QByteArrayList{R"(\intbl \sb0\sl\sa0 \plain\f0\fs16\cf1\i\li180 )",
                                               "Only & line ",
                                               R"(\cell)",
                                               R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1\li0 \cell)",
                                               R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1 \cell)",
                                               R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1 \cell\row)",
                                               R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1 Second\cell)"};
        QTest::newRow("text") << QByteArray("text") << QByteArrayList{"   Only & line", "Second"};
    }

    void notesRows()
    {
        QFETCH(QByteArray, format);
        QFETCH(QByteArrayList, afterTask);
        QVERIFY(
            makeTable({{"", "", "First", "", "", true, "Only & line   \r\n"}, {"", "", "Second", "", "", true, ""}}));
        auto w = writer(format);
        const QList<QByteArray> lines = linesOf(run(*w, true));
        const qsizetype at = lines.indexOf(afterTask.constFirst());
        QVERIFY(at > 0);
        QList<QByteArray> got = lines.mid(at, afterTask.size());
        if (format == "text")
            got.last() = got.last().left(6);
        QCOMPARE(got, afterTask);
    }

    void withoutCopyNotesOneLinePerTask()
    {
        QVERIFY(makeTable(sampleTasks()));
        TextExport w("t");
        const QList<QByteArray> lines = linesOf(run(w, false));
        QCOMPARE(lines.size(), 5 + 3);
        for (const QByteArray& line : lines.mid(5))
            QCOMPARE(line.size(), 84);
    }

    void walkEndsOnTheLastTaskOfTheView()
    {
        std::vector<TaskSpec> tasks;
        for (int i = 0; i < 7; ++i)
            tasks.push_back({"", "", "task " + std::to_string(i), "", "", i % 2 == 0, ""});
        QVERIFY(makeTable(tasks));
        QVERIFY(m_fixture->engine().setQuery(".NOT. DONE").ok());
        for (const QByteArray& format : {QByteArray("html"), QByteArray("rtf"), QByteArray("text")}) {
            QVERIFY(m_fixture->engine().go(1).ok());
            auto w = writer(format);
            const QByteArray written = run(*w, false);
            QVERIFY(written.contains("task 5"));
            QVERIFY(!written.contains("task 4"));
            QCOMPARE(m_fixture->engine().recNo(), 6u);
            QVERIFY(!m_fixture->engine().eof());
        }
    }

    void failedWriteIsReportedWithTheSystemText()
    {
        QVERIFY(makeTable(sampleTasks()));
        FullDevice device(100);
        HtmlExport w("t", "FFFF80");
        ReportExport exporter(m_fixture->engine(), m_formats);
        const ReportExport::Outcome outcome = exporter.write(device, w, true);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.error, QStringLiteral("No space left on device"));
    }

    void failedFileKeepsTheEarlierFile()
    {
        QVERIFY(makeTable(sampleTasks()));
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("list.htm"));
        QVERIFY(test::writeFileBytes(target, "earlier"));
        ReportExport exporter(m_fixture->engine(), m_formats);
        HtmlExport w("t", "FFFF80");
        QVERIFY(exporter.write(target, w, true).ok);
        QVERIFY(test::readFileBytes(target).startsWith("<!DOCTYPE"));

        // The walk fails half-way: the memo file has lost its blocks.
        QVERIFY(test::writeFileBytes(target, "earlier"));
        QVERIFY(QFile::resize(m_fixture->path().chopped(3) + QStringLiteral("FPT"), 0));
        const ReportExport::Outcome outcome = exporter.write(target, w, true);
        QVERIFY(!outcome.ok);
        QCOMPARE(test::readFileBytes(target), QByteArray("earlier"));

        const ReportExport::Outcome missing = exporter.write(dir.filePath(QStringLiteral("no/such/dir.htm")), w, false);
        QVERIFY(!missing.ok);
        QVERIFY(!missing.error.isEmpty());
    }
};

QTEST_MAIN(TestExportWriters)
#include "TestExportWriters.moc"
