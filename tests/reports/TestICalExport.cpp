// The iCalendar export read back by Python's icalendar package: every field of tasks in the shapes that need
// care (escapes, line breaks, Windows-1252 text, long lines, odd stored values), the folding of long lines,
// and UIDs that stay with their task.
#include "datetime/DateFormats.h"
#include "reports/ExportSink.h"
#include "reports/ICalExport.h"
#include "reports/ReportExport.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/TaskTableFixture.h"
#include "tasks/TaskUid.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <memory>

using namespace quorvo;

Q_DECLARE_METATYPE(std::shared_ptr<TaskSpec>)

namespace {

const QString kReader = QStringLiteral(QUORVO_TEST_DATA "/../scripts/read_ics.py");

// The first Python that has the icalendar package.
const QString& python()
{
    static const QString found = [] {
        for (const QString& candidate : {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
            QProcess probe;
            probe.setStandardErrorFile(QProcess::nullDevice());
            probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import icalendar")});
            if (probe.waitForFinished(60000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
                return candidate;
        }
        return QString();
    }();
    return found;
}

// The file's to-dos as the independent reader sees them; an empty object when it refused the file.
QJsonObject readBack(const QString& file)
{
    QProcess reader;
    reader.start(python(), {kReader, file});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        qWarning().noquote() << reader.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

QString note(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

class TestICalExport : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2026, 12, 8)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    const QDateTime m_stamp{QDate(2026, 12, 8), QTime(10, 30), Qt::UTC};

    QString exportTo(TaskTableFixture& fixture, const QString& file, bool notes, const QByteArray& title = "Quorvo")
    {
        ICalExport writer(title, TaskUid::tableTag(fixture.path()), m_stamp);
        ReportExport exporter(fixture.engine(), m_formats);
        const ReportExport::Outcome outcome = exporter.write(file, writer, notes);
        return outcome.ok ? file : outcome.error;
    }

private slots:
    void initTestCase() { QVERIFY2(!python().isEmpty(), "Python's icalendar package is not installed"); }

    void fieldsReadBack_data()
    {
        QTest::addColumn<QVariant>("task");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("due");
        QTest::addColumn<int>("priority");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QString>("description"); // "-" for none

        auto row = [](const char* name, TaskSpec task) -> QTestData& {
            return QTest::newRow(name) << QVariant::fromValue(std::make_shared<TaskSpec>(std::move(task)));
        };
        row("date and time, high, open", {"20240105", "14:30", "Pay rent", "", "A", false, ""})
            << "Pay rent"
            << "20240105 14:30" << 1 << "NEEDS-ACTION" << QStringList{} << "-";
        row("date only, medium in lower case, done", {"20261231", "", "Year end", "", "b", true, ""})
            << "Year end"
            << "20261231" << 5 << "COMPLETED" << QStringList{} << "-";
        row("blank-padded hour, low", {"20250301", " 9:05", "Early", "", "C", false, ""})
            << "Early"
            << "20250301 09:05" << 9 << "NEEDS-ACTION" << QStringList{} << "-";
        row("time without a date has no due", {"", "08:00", "Floating", "", "x", false, ""})
            << "Floating"
            << "" << 0 << "NEEDS-ACTION" << QStringList{} << "-";
        row("impossible date has no due", {"20250230", "10:00", "Nowhen", "", "", false, ""})
            << "Nowhen"
            << "" << 0 << "NEEDS-ACTION" << QStringList{} << "-";
        row("bad time keeps the date", {"20250110", "25:61", "Late", "", "", false, ""})
            << "Late"
            << "20250110" << 0 << "NEEDS-ACTION" << QStringList{} << "-";
        row("escapes in summary and categories", {"", "", "a,b;c\\d: e", "home,work  x;y back\\slash", "", false, ""})
            << "a,b;c\\d: e"
            << "" << 0 << "NEEDS-ACTION" << QStringList{"home,work", "x;y", "back\\slash"} << "-";
        row("Windows-1252 text becomes UTF-8",
            {"", "", "Caf\xE9 \x80 5 \x93quoted\x94", "na\xEFve", "", false, "\x96 \xDF\r\n\xFC"})
            << note("Café € 5 “quoted”") << "" << 0 << "NEEDS-ACTION" << QStringList{note("naïve")} << note("– ß\nü");
        row("every kind of line break", {"", "", "Breaks", "", "", false, "one\r\ntwo\rthree\nfour\r\n\r\nsix"})
            << "Breaks"
            << "" << 0 << "NEEDS-ACTION" << QStringList{} << "one\ntwo\nthree\nfour\n\nsix";
        row("control characters are dropped, tabs kept", {"", "", "Ctl", "", "", false, "a\x01\tb\x7F"})
            << "Ctl"
            << "" << 0 << "NEEDS-ACTION" << QStringList{} << "a\tb";
        row("blank notes give no description", {"", "", "Blank", "", "", false, "  \r\n  "})
            << "Blank"
            << "" << 0 << "NEEDS-ACTION" << QStringList{} << "-";
        const std::string longNote = std::string(40, '\xE9') + std::string(200, 'x') + "," + std::string(90, '\x80');
        row("long lines fold without splitting characters", {"", "", std::string(50, '\xE4'), "", "", false, longNote})
            << QString(50, QChar(0xE4)) << "" << 0 << "NEEDS-ACTION" << QStringList{}
            << QString(40, QChar(0xE9)) + QString(200, u'x') + u',' + QString(90, QChar(0x20AC));
    }

    void fieldsReadBack()
    {
        QFETCH(QVariant, task);
        QFETCH(QString, summary);
        QFETCH(QString, due);
        QFETCH(int, priority);
        QFETCH(QString, status);
        QFETCH(QStringList, categories);
        QFETCH(QString, description);
        TaskTableFixture fixture;
        QVERIFY(fixture.create({*task.value<std::shared_ptr<TaskSpec>>()}));
        QTemporaryDir out;
        const QString file = out.filePath(QStringLiteral("tasks.ics"));
        QCOMPARE(exportTo(fixture, file, true), file);
        const QJsonArray todos = readBack(file)[QStringLiteral("todos")].toArray();
        QCOMPARE(todos.size(), 1);
        const QJsonObject todo = todos[0].toObject();
        QCOMPARE(todo[QStringLiteral("summary")].toString(), summary);
        QCOMPARE(todo[QStringLiteral("due")].toString(), due);
        QCOMPARE(todo[QStringLiteral("priority")].toInt(), priority);
        QCOMPARE(todo[QStringLiteral("status")].toString(), status);
        QCOMPARE(todo[QStringLiteral("categories")].toVariant().toStringList(), categories);
        const QJsonValue read = todo[QStringLiteral("description")];
        QCOMPARE(read.isNull() ? QStringLiteral("-") : read.toString(), description);
    }

    void notesOnlyWhenAskedAndTitleAsCalendarName()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{"", "", "With notes", "", "", false, "kept"}}));
        QTemporaryDir out;
        const QString file = out.filePath(QStringLiteral("tasks.ics"));
        QCOMPARE(exportTo(fixture, file, false, "Home & Work, \xE9t\xE9"), file);
        const QJsonObject calendar = readBack(file);
        QCOMPARE(calendar[QStringLiteral("name")].toString(), note("Home & Work, été"));
        QVERIFY(calendar[QStringLiteral("todos")].toArray()[0].toObject()[QStringLiteral("description")].isNull());
    }

    void textSeparatorsAreEscapedInTheFile()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{"", "", "a,b;c\\d", "x,y z;w back\\slash", "", false, "n,1;\r\nend"}}));
        QTemporaryDir out;
        const QString file = out.filePath(QStringLiteral("tasks.ics"));
        QCOMPARE(exportTo(fixture, file, true, "T,1;2"), file);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().replace("\r\n ", "").split('\n');
        for (const char* line : {"SUMMARY:a\\,b\\;c\\\\d\r", "CATEGORIES:x\\,y,z\\;w,back\\\\slash\r",
                                 "DESCRIPTION:n\\,1\\;\\nend\r", "X-WR-CALNAME:T\\,1\\;2\r"})
            QVERIFY2(lines.contains(QByteArray(line)), line);
    }

    void foldedLineLengths_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<int>>("lengths");
        QTest::newRow("75 octets stay whole") << QByteArray(75, 'a') << QList<int>{75};
        QTest::newRow("76 octets fold once") << QByteArray(76, 'a') << QList<int>{75, 2};
        QTest::newRow("continuations hold 74") << QByteArray(75 + 74 + 1, 'a') << QList<int>{75, 75, 2};
        // A two-octet character across octet 75 moves whole to the next line.
        QTest::newRow("character at the boundary") << QByteArray(74, 'a') + "\xC3\xA9" << QList<int>{74, 3};
        QTest::newRow("four-octet characters") << QByteArray("\xF0\x9F\x98\x80").repeated(20) << QList<int>{72, 9};
    }

    void foldedLineLengths()
    {
        QFETCH(QByteArray, line);
        QFETCH(QList<int>, lengths);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            ExportSink sink(buffer);
            ICalExport::writeLine(sink, std::string_view(line.data(), static_cast<std::size_t>(line.size())));
            QVERIFY(sink.flush());
        }
        QByteArray written = buffer.data();
        QVERIFY(written.endsWith("\r\n"));
        written.chop(2);
        QList<int> got;
        for (const QByteArray& physical : written.split('\n'))
            got << int(physical.endsWith('\r') ? physical.size() - 1 : physical.size());
        QCOMPARE(got, lengths);
        // Unfolding gives the line back.
        QCOMPARE(written.replace("\r\n ", ""), line);
    }

    void uidsStayWithTheirTask()
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{"20250102", "", "Second by date", "", "", false, ""},
                                {"20250101", "", "First by date", "", "", false, ""},
                                {"", "", "Undated", "", "", false, ""}}));
        QTemporaryDir out;
        auto uids = [&](const QString& name) {
            const QString file = out.filePath(name);
            if (exportTo(fixture, file, false) != file)
                return QMap<QString, QString>();
            QMap<QString, QString> bySummary;
            for (const QJsonValue todo : readBack(file)[QStringLiteral("todos")].toArray())
                bySummary.insert(todo[QStringLiteral("summary")].toString(), todo[QStringLiteral("uid")].toString());
            return bySummary;
        };
        QVERIFY(fixture.engine().setOrder(0).ok());
        const QMap<QString, QString> first = uids(QStringLiteral("a.ics"));
        QCOMPARE(first.size(), 3);
        QCOMPARE(QSet<QString>(first.begin(), first.end()).size(), 3);

        // Another order, another filter and an edited task keep every UID.
        QVERIFY(fixture.engine().setOrder(fixture.engine().tagOrder("DATETIME")).ok());
        QVERIFY(fixture.engine().setQuery("DATE >= '1'").ok());
        QVERIFY(fixture.engine().go(1).ok());
        QVERIFY(fixture.engine().replace(TaskField::DATE, "20240101").ok());
        QVERIFY(fixture.engine().post().ok());
        const QMap<QString, QString> second = uids(QStringLiteral("b.ics"));
        QCOMPARE(second.size(), 2);
        for (auto it = second.begin(); it != second.end(); ++it)
            QCOMPARE(it.value(), first.value(it.key()));

        // The same tasks in another table are other to-dos.
        TaskTableFixture other;
        QVERIFY(other.create({{"20250102", "", "Second by date", "", "", false, ""}}));
        const QString file = out.filePath(QStringLiteral("c.ics"));
        QCOMPARE(exportTo(other, file, false), file);
        QVERIFY(readBack(file)[QStringLiteral("todos")].toArray()[0][QStringLiteral("uid")].toString() !=
                first.value(QStringLiteral("Second by date")));
        // The table's tag does not depend on how its path is spelt.
        const QFileInfo info(fixture.path());
        QCOMPARE(TaskUid::tableTag(info.absolutePath() + QStringLiteral("/./") + info.fileName()),
                 TaskUid::tableTag(fixture.path()));
    }
};

QTEST_MAIN(TestICalExport)
#include "TestICalExport.moc"
