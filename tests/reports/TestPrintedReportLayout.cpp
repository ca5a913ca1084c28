#include "datetime/DateFormats.h"
#include "reports/PageStream.h"
#include "reports/PageStreamDevice.h"
#include "reports/PrintedReportLayout.h"
#include "reports/ReportEngine.h"
#include "support/FixedClock.h"
#include "support/RecordingPaintDevice.h"
#include "support/RegionalFixtures.h"
#include "support/TaskTableFixture.h"

#include <QtTest>

using namespace quorvo;

namespace {

constexpr double kUnits = 1200.0;
constexpr double kTolerance = 2.0; // engine units: pixel sizes of fonts are whole numbers

double inch(double value)
{
    return value * kUnits;
}

struct Rendered
{
    PageStream stream{QSizeF(8.5, 11)};
    double lineHeight = 0; // inches, Arial 9
    int pages = 0;
};

} // namespace

class TestPrintedReportLayout : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2024, 3, 15), QTime(9, 30)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};

    void render(Rendered& out, const std::vector<TaskSpec>& tasks, const PrintRunSettings& settings,
                QSizeF page = QSizeF(8.5, 11))
    {
        TaskTableFixture fixture;
        QVERIFY(fixture.create(tasks));
        QVERIFY(fixture.engine().goTop().ok());
        out.stream.setPageSize(page);
        ReportEngine engine;
        PrintedReportLayout layout(engine, fixture.table(), m_formats, settings);
        QFont wrapFont(QStringLiteral("Arial"));
        wrapFont.setPixelSize(13);
        layout.setWrapFont(wrapFont);
        layout.attach();
        PageStreamDevice device(out.stream);
        QVERIFY(engine.execute(device));
        engine.setFont(QStringLiteral("Arial"), 9);
        out.lineHeight = engine.lineHeight();
        out.pages = engine.currentPage();
        QCOMPARE(out.stream.pageCount(), out.pages);
    }

    static RecordingPaintDevice::Text textOn(const RecordingPaintDevice& page, const QString& text)
    {
        const RecordingPaintDevice::Text* found = page.find(text);
        if (!found)
            qWarning("no text item %s", qUtf8Printable(text));
        return found ? *found : RecordingPaintDevice::Text{};
    }

private slots:
    void emptyViewPrintsHeaderHeadingsAndRules();
    void columnStarts_data();
    void columnStarts();
    void taskCellsAreClippedBeforeTheColumnEnd();
    void cellTexts_data();
    void cellTexts();
    void checkBoxSquareSitsInItsColumn();
    void keywordsPrintAsOneShadedLine_data();
    void keywordsPrintAsOneShadedLine();
    void noteRunsOverPageBreakWithSameStopsAndShading();
    void doubleSpacingLeavesOneEmptyLine_data();
    void doubleSpacingLeavesOneEmptyLine();
    void stopFlagEndsBeforeTheNextTask();
    void statusLineSubstitutes_data();
    void statusLineSubstitutes();
};

void TestPrintedReportLayout::emptyViewPrintsHeaderHeadingsAndRules()
{
    Rendered out;
    PrintRunSettings settings;
    settings.title = QStringLiteral("My Tasks");
    render(out, {}, settings);
    QCOMPARE(out.pages, 1);
    RecordingPaintDevice page;
    page.play(out.stream.page(0));

    const auto title = textOn(page, QStringLiteral("My Tasks"));

    QCOMPARE(title.font.family(), QStringLiteral("Times New Roman"));
    QVERIFY(title.font.bold());
    QCOMPARE(title.font.pixelSize(), qRound(14 * kUnits / 72));
    QVERIFY(qAbs(title.baseline.x() - inch(1.0)) < kTolerance);
    // Page number and date right-aligned at the section's right edge, on the title's line and the next.
    const auto number = textOn(page, QStringLiteral("Page 1"));
    QCOMPARE(number.baseline.y(), title.baseline.y());
    const double numberRight = number.baseline.x() + QFontMetricsF(number.font).horizontalAdvance(number.text);
    QVERIFY(qAbs(numberRight - inch(7.5)) < kTolerance);
    const auto date = textOn(page, QStringLiteral("03/15/2024"));
    QVERIFY(date.baseline.y() > title.baseline.y());
    QVERIFY(qAbs(date.baseline.x() + QFontMetricsF(date.font).horizontalAdvance(date.text) - inch(7.5)) < kTolerance);

    // Headings bold Arial 9 on the line after 1.3 inches, above the body's top rule.
    const auto heading = textOn(page, QStringLiteral("Date"));
    QVERIFY(heading.font.bold());
    QCOMPARE(heading.font.family(), QStringLiteral("Arial"));
    QCOMPARE(heading.font.pixelSize(), 150);
    QVERIFY(heading.baseline.y() > inch(1.3) && heading.baseline.y() < inch(1.5));

    QCOMPARE(page.lines.size(), 2);
    QCOMPARE(page.lines[0], QLineF(inch(1.0), inch(1.5), inch(7.5), inch(1.5)));
    QCOMPARE(page.lines[1], QLineF(inch(1.0), inch(10.0), inch(7.5), inch(10.0)));
    QCOMPARE(page.texts.size(), 8); // title, page, date, five headings
}

void TestPrintedReportLayout::columnStarts_data()
{
    QTest::addColumn<bool>("checkbox");
    QTest::addColumn<double>("pageWidth");
    QTest::addColumn<QList<double>>("starts"); // Date, Time, Task, Priority, Done: stop positions

    QTest::newRow("letter") << false << 8.5 << QList<double>{1.0, 2.5, 3.5, 6.25, 7.0};
    QTest::newRow("letter, check box") << true << 8.5 << QList<double>{1.125, 2.625, 3.625, 6.375, 7.125};
    QTest::newRow("A4") << false << 8.27 << QList<double>{1.0, 2.5, 3.5, 6.02, 6.77};
    QTest::newRow("landscape") << false << 11.0 << QList<double>{1.0, 2.5, 3.5, 8.75, 9.5};
}

void TestPrintedReportLayout::columnStarts()
{
    QFETCH(bool, checkbox);
    QFETCH(double, pageWidth);
    QFETCH(QList<double>, starts);
    Rendered out;
    PrintRunSettings settings;
    settings.printCheckbox = checkbox;
    render(out, {{"20240105", "14:30", "Pay the rent", "", "A", true, ""}}, settings, QSizeF(pageWidth, 11));
    RecordingPaintDevice page;
    page.play(out.stream.page(0));
    const QStringList headings{"Date", "Time", "Task", "Priority", "Done"};
    const QStringList cells{"05 Jan, 2024 (Fri)", "02:30 pm", "Pay the rent", "High", "Yes"};
    for (int i = 0; i < 5; ++i) {
        const double textStart = inch(starts[i] + 0.02);
        QVERIFY2(qAbs(textOn(page, headings[i]).baseline.x() - textStart) < kTolerance, qPrintable(headings[i]));
        QVERIFY2(qAbs(textOn(page, cells[i]).baseline.x() - textStart) < kTolerance, qPrintable(cells[i]));
    }
    // The first task line is the body section's first line.
    const auto first = textOn(page, cells[0]);
    QVERIFY(first.baseline.y() > inch(1.5) && first.baseline.y() < inch(1.5 + out.lineHeight));
}

void TestPrintedReportLayout::taskCellsAreClippedBeforeTheColumnEnd()
{
    Rendered out;
    const std::string wide = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
    render(out, {{"", "", wide, "", "B", false, ""}}, {});
    RecordingPaintDevice page;
    page.play(out.stream.page(0));
    const auto task = textOn(page, QString::fromStdString(wide));
    // Task column 3.5 to 6.25: text from 3.52, cut 0.2 before the end of its text width (6.23).
    QVERIFY(qAbs(task.clip.left() - inch(3.52)) < kTolerance);
    QVERIFY(qAbs(task.clip.right() - inch(6.03)) < kTolerance);
    QVERIFY(task.clip.top() < task.baseline.y() && task.clip.bottom() > task.baseline.y());
    QVERIFY(qAbs(task.clip.height() - inch(out.lineHeight)) < kTolerance);
    QVERIFY(QFontMetricsF(task.font).horizontalAdvance(task.text) > task.clip.width()); // never wrapped
    const auto done = textOn(page, QStringLiteral("No"));
    QVERIFY(qAbs(done.clip.right() - inch(7.0 + 0.5 - 0.02 - 0.2)) < kTolerance);
}

void TestPrintedReportLayout::cellTexts_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("isDate");
    QTest::addColumn<QString>("expected");
    QTest::newRow("date") << "20240105" << true << "05 Jan, 2024 (Fri)";
    QTest::newRow("leap day") << "20240229" << true << "29 Feb, 2024 (Thu)";
    QTest::newRow("no date") << "        " << true << "";
    QTest::newRow("month 13") << "20241340" << true << "";
    QTest::newRow("damaged") << "2024ab01" << true << "";
    QTest::newRow("afternoon") << "14:30" << false << "02:30 pm";
    QTest::newRow("midnight") << "00:05" << false << "12:05 am";
    QTest::newRow("noon") << "12:00" << false << "12:00 pm";
    QTest::newRow("no time") << "     " << false << "";
    QTest::newRow("bad time") << "25:61" << false << "";
}

void TestPrintedReportLayout::cellTexts()
{
    QFETCH(QString, stored);
    QFETCH(bool, isDate);
    QFETCH(QString, expected);
    const std::string bytes = stored.toStdString();
    const QString text =
        isDate ? PrintedReportLayout::dateText(bytes, m_formats) : PrintedReportLayout::timeText(bytes, m_formats);
    QCOMPARE(text, expected);
}

void TestPrintedReportLayout::checkBoxSquareSitsInItsColumn()
{
    Rendered out;
    PrintRunSettings settings;
    settings.printCheckbox = true;
    render(out, {{"", "", "One", "", "", false, ""}, {"", "", "Two", "", "", false, ""}}, settings);
    RecordingPaintDevice page;
    page.play(out.stream.page(0));
    QCOMPARE(page.outlines.size(), 2);
    const double lineTop = textOn(page, QStringLiteral("One")).clip.top();
    const QRectF square = page.outlines[0];
    QVERIFY(qAbs(square.left() - inch(1.0)) < kTolerance);
    QVERIFY(qAbs(square.top() - (lineTop + inch(0.02))) < kTolerance);
    QVERIFY(qAbs(square.width() - inch(0.125)) < kTolerance);
    QVERIFY(qAbs(square.height() - inch(0.125)) < kTolerance);
    QVERIFY(qAbs(page.outlines[1].top() - square.top() - inch(out.lineHeight)) < kTolerance);
}

void TestPrintedReportLayout::keywordsPrintAsOneShadedLine_data()
{
    QTest::addColumn<bool>("checkbox");
    QTest::addColumn<double>("stopLeft");
    QTest::addColumn<double>("stopWidth");
    QTest::newRow("plain") << false << 1.0 << 6.5;
    QTest::newRow("check box") << true << 1.125 << 6.375;
}

void TestPrintedReportLayout::keywordsPrintAsOneShadedLine()
{
    QFETCH(bool, checkbox);
    QFETCH(double, stopLeft);
    QFETCH(double, stopWidth);
    Rendered out;
    PrintRunSettings settings;
    settings.printKeywords = true;
    settings.printMemo = true;
    settings.printCheckbox = checkbox;
    render(out, {{"", "", "Tagged", "work home", "", false, "first\r\nsecond"}, {"", "", "Bare", "", "", false, ""}},
           settings);
    RecordingPaintDevice page;
    page.play(out.stream.page(0));
    const auto keys = textOn(page, QStringLiteral("Keywords:work home"));
    QVERIFY(qAbs(keys.baseline.x() - inch(stopLeft + 0.02)) < kTolerance);
    QVERIFY(!keys.font.bold());
    const auto task = textOn(page, QStringLiteral("Tagged"));
    QVERIFY(qAbs(keys.baseline.y() - task.baseline.y() - inch(out.lineHeight)) < kTolerance);
    const auto first = textOn(page, QStringLiteral("first"));
    const auto second = textOn(page, QStringLiteral("second"));
    QVERIFY(qAbs(first.baseline.y() - keys.baseline.y() - inch(out.lineHeight)) < kTolerance);
    QVERIFY(qAbs(second.baseline.y() - first.baseline.y() - inch(out.lineHeight)) < kTolerance);
    // One 20 % band for the key words, one 10 % band per note line; nothing for the task without either.
    QCOMPARE(page.fills.size(), 3);
    QCOMPARE(page.fills[0].color, QColor(204, 204, 204));
    QCOMPARE(page.fills[1].color, QColor(230, 230, 230));
    for (const auto& fill : page.fills) {
        QVERIFY(qAbs(fill.rect.left() - inch(stopLeft)) < kTolerance);
        QVERIFY(qAbs(fill.rect.width() - inch(stopWidth)) < kTolerance);
    }
    const auto bare = textOn(page, QStringLiteral("Bare"));
    QVERIFY(qAbs(bare.baseline.y() - second.baseline.y() - inch(out.lineHeight)) < kTolerance);
}

void TestPrintedReportLayout::noteRunsOverPageBreakWithSameStopsAndShading()
{
    std::string note;
    for (int i = 1; i <= 80; ++i)
        note += "line " + std::to_string(i) + "\r\n";
    Rendered out;
    PrintRunSettings settings;
    settings.printMemo = true;
    render(out, {{"", "", "Long", "", "", false, note}, {"", "", "After", "", "", false, ""}}, settings);
    QCOMPARE(out.pages, 2);
    RecordingPaintDevice first;
    first.play(out.stream.page(0));
    RecordingPaintDevice second;
    second.play(out.stream.page(1));

    // Page 1 fills its section to the bottom rule, then the note goes on after page 2's header.
    int lastOnFirst = 0;
    for (int i = 1; i <= 80; ++i)
        if (first.find(QStringLiteral("line %1").arg(i)))
            lastOnFirst = i;
    QVERIFY(lastOnFirst > 40 && lastOnFirst < 80);
    const auto last = textOn(first, QStringLiteral("line %1").arg(lastOnFirst));
    QVERIFY(last.baseline.y() < inch(10.0));
    QVERIFY(textOn(second, QStringLiteral("Page 2")).baseline.y() > 0);
    QVERIFY(textOn(second, QStringLiteral("Done")).font.bold());
    const auto next = textOn(second, QStringLiteral("line %1").arg(lastOnFirst + 1));
    QVERIFY(next.baseline.y() > inch(1.5) && next.baseline.y() < inch(1.5 + out.lineHeight));
    QVERIFY(qAbs(next.baseline.x() - inch(1.02)) < kTolerance);
    QVERIFY(!next.font.bold());
    QCOMPARE(second.fills.front().color, QColor(230, 230, 230));
    QVERIFY(qAbs(second.fills.front().rect.width() - inch(6.5)) < kTolerance);
    // The next task keeps the column stops, restored after the block.
    QVERIFY(qAbs(textOn(second, QStringLiteral("After")).baseline.x() - inch(3.52)) < kTolerance);
}

void TestPrintedReportLayout::doubleSpacingLeavesOneEmptyLine_data()
{
    QTest::addColumn<bool>("doubleSpace");
    QTest::addColumn<int>("lines");
    QTest::newRow("single") << false << 1;
    QTest::newRow("double") << true << 2;
}

void TestPrintedReportLayout::doubleSpacingLeavesOneEmptyLine()
{
    QFETCH(bool, doubleSpace);
    QFETCH(int, lines);
    Rendered out;
    PrintRunSettings settings;
    settings.doubleSpace = doubleSpace;
    render(out, {{"", "", "One", "", "", false, ""}, {"", "", "Two", "", "", false, ""}}, settings);
    RecordingPaintDevice page;
    page.play(out.stream.page(0));
    const double step =
        textOn(page, QStringLiteral("Two")).baseline.y() - textOn(page, QStringLiteral("One")).baseline.y();
    QVERIFY(qAbs(step - inch(lines * out.lineHeight)) < kTolerance);
}

void TestPrintedReportLayout::stopFlagEndsBeforeTheNextTask()
{
    std::vector<TaskSpec> tasks;
    for (int i = 0; i < 200; ++i)
        tasks.push_back({"", "", "Task " + std::to_string(i), "", "", false, ""});
    TaskTableFixture fixture;
    QVERIFY(fixture.create(tasks));
    QVERIFY(fixture.engine().goTop().ok());
    PageStream stream(QSizeF(8.5, 11));
    ReportEngine engine;
    PrintedReportLayout layout(engine, fixture.table(), m_formats, {});
    bool stop = false;
    layout.setStopFlag(&stop);
    layout.attach();
    QStringList statuses;
    // Stop pressed while page 2's status shows.
    engine.setStatusSink([&](const QString& text) {
        statuses << text;
        if (engine.currentPage() == 2)
            stop = true;
    });
    PageStreamDevice device(stream);
    QVERIFY(engine.execute(device));
    QCOMPARE(statuses.first(), QStringLiteral("Printing Page 1\n\n"));
    QCOMPARE(statuses.last(), QStringLiteral("Printing Page 2\n\n"));
    QCOMPARE(stream.pageCount(), 2);
    RecordingPaintDevice second;
    second.play(stream.page(1));
    int tasksOnSecond = 0;
    for (const auto& text : second.texts)
        tasksOnSecond += text.text.startsWith(QStringLiteral("Task ")) ? 1 : 0;
    QCOMPARE(tasksOnSecond, 1); // the task that opened the page, then nothing
}

void TestPrintedReportLayout::statusLineSubstitutes_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("page") << "Printing Page %p\r%0\r%1"
                          << "Printing Page 1\nzero\none";
    QTest::newRow("upper P") << "%P of it"
                             << "1 of it";
    QTest::newRow("missing line") << "[%9]"
                                  << "[]";
    QTest::newRow("end message") << "\rPreview Stopped at page %p!"
                                 << "\nPreview Stopped at page 1!";
    QTest::newRow("percent alone") << "100%"
                                   << "100%";
    QTest::newRow("other letter") << "%x"
                                  << "%x";
}

void TestPrintedReportLayout::statusLineSubstitutes()
{
    QFETCH(QString, format);
    QFETCH(QString, expected);
    ReportEngine engine;
    PageStream stream(QSizeF(8.5, 11));
    PageStreamDevice device(stream);
    QString shown;
    engine.setStatusSink([&](const QString& text) { shown = text; });
    engine.setBeforePrint([&] {
        engine.setStatusFormat(format);
        engine.statusText() << QStringLiteral("zero") << QStringLiteral("one");
    });
    QVERIFY(engine.execute(device));
    QCOMPARE(shown, expected);
}

QTEST_MAIN(TestPrintedReportLayout)
#include "TestPrintedReportLayout.moc"
