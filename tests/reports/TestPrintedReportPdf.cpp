#include "datetime/DateFormats.h"
#include "reports/PrintedReportPdf.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/TaskTableFixture.h"

#include <QProcess>
#include <QtTest>

using namespace quorvo;

// The PDF read back by poppler's tools, an independent reader of what we write.
class TestPrintedReportPdf : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2024, 3, 15), QTime(9, 30)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    QTemporaryDir m_dir;

    static QString run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromUtf8(process.readAllStandardError()));
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    PrintedReportPdf::Result write(const QString& file, const std::vector<TaskSpec>& tasks,
                                   const PrintRunSettings& settings, const QPageLayout& layout)
    {
        TaskTableFixture fixture;
        if (!fixture.create(tasks) || !fixture.engine().goTop().ok())
            return {};
        QFont wrapFont(QStringLiteral("Arial"));
        wrapFont.setPixelSize(13);
        return PrintedReportPdf::write(file, fixture.table(), m_formats, settings, layout, wrapFont, 96);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QFAIL("pdftotext is missing: install poppler-utils (scripts/deps.sh)");
    }

    void textsAndPagesReadBack_data()
    {
        QTest::addColumn<int>("tasks");
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("paper");
        QTest::newRow("one page, letter") << 3 << int(QPageSize::Letter) << 1 << "612 x 792";
        QTest::newRow("five pages, A4") << 150 << int(QPageSize::A4) << 5 << "595 x 842";
    }

    void textsAndPagesReadBack()
    {
        QFETCH(int, tasks);
        QFETCH(int, pageSize);
        QFETCH(int, pages);
        QFETCH(QString, paper);
        std::vector<TaskSpec> specs;
        for (int i = 0; i < tasks; ++i)
            specs.push_back({"20240105", "14:30", "Task number " + std::to_string(i), "work home", "A", i % 2 == 1,
                             i == 0 ? "A note line" : ""});
        PrintRunSettings settings;
        settings.title = QStringLiteral("Weekly List");
        settings.printKeywords = true;
        settings.printMemo = true;
        const QString file = m_dir.filePath(QStringLiteral("report.pdf"));
        const QPageLayout layout(QPageSize(QPageSize::PageSizeId(pageSize)), QPageLayout::Portrait, QMarginsF());
        const auto result = write(file, specs, settings, layout);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.pages, pages);

        const QString info = run(QStringLiteral("pdfinfo"), {file});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("Page size:       %1 pts").arg(paper)), qPrintable(info));
        const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        for (const QString& expected :
             {QStringLiteral("Weekly List"), QStringLiteral("Page 1"), QStringLiteral("03/15/2024"),
              QStringLiteral("Date"), QStringLiteral("Priority"), QStringLiteral("05 Jan, 2024 (Fri)"),
              QStringLiteral("02:30 pm"), QStringLiteral("Task number 0"), QStringLiteral("High"),
              QStringLiteral("Keywords:work home"), QStringLiteral("A note line")})
            QVERIFY2(text.contains(expected), qPrintable(expected));
        QCOMPARE(text.count(QStringLiteral("Weekly List")), pages);
        QCOMPARE(text.count(QStringLiteral("Page %1").arg(pages)), 1);
    }

    void unwritableFileIsReportedAndNothingIsLeft()
    {
        const QPageLayout layout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF());
        const QString blocked = m_dir.filePath(QStringLiteral("no-such-dir/report.pdf"));
        const auto failed = write(blocked, {{"", "", "Second", "", "", false, ""}}, {}, layout);
        QVERIFY(!failed.ok);
        QVERIFY(!failed.error.isEmpty());
        QVERIFY(!QFile::exists(blocked));
    }
};

QTEST_MAIN(TestPrintedReportPdf)
#include "TestPrintedReportPdf.moc"
