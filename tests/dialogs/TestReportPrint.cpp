#include "datetime/DateFormats.h"
#include "dialogs/DoPrint.h"
#include "dialogs/TPreviewForm.h"
#include "dialogs/TReportPrint.h"
#include "reports/PageStream.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"
#include "ui/ModalRunner.h"

#include "ui/TFilePreview.h"
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace quorvo;

class TestReportPrint : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2024, 3, 15), QTime(9, 30)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    QTemporaryDir m_dir;

private slots:
    void modeSetsCaptionAndButton_data();
    void modeSetsCaptionAndButton();
    void runEndsWithItsMessage_data();
    void runEndsWithItsMessage();
    void doPrintShowsPreviewOnlyAfterAFinishedPreview_data();
    void doPrintShowsPreviewOnlyAfterAFinishedPreview();
};

void TestReportPrint::modeSetsCaptionAndButton_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("button");
    QTest::newRow("print") << false << "Print Status"
                           << "Cancel";
    QTest::newRow("preview") << true << "Preview Status"
                             << "Stop";
}

void TestReportPrint::modeSetsCaptionAndButton()
{
    QFETCH(bool, preview);
    QFETCH(QString, caption);
    QFETCH(QString, button);
    TaskTableFixture fixture;
    QVERIFY(fixture.create({}));
    TReportPrint window(fixture.table(), m_formats);
    PageStream stream;
    QPrinter printer;
    if (preview)
        window.usePageStream(&stream);
    else
        window.usePrinter(&printer);
    QCOMPARE(window.windowTitle(), caption);
    QCOMPARE(window.CancelButton->text(), button);
    QCOMPARE(window.size(), QSize(TReportPrint::kClientWidth, TReportPrint::kClientHeight));
}

void TestReportPrint::runEndsWithItsMessage_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<int>("press"); // 0 none, 1 the button during page 1, answered as in `answer`
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("aborted");
    QTest::addColumn<int>("previewPages");

    QTest::newRow("print completed") << false << 0 << false << "\nPrint Completed!" << false << 0;
    QTest::newRow("print cancelled") << false << 1 << true << "\nPrint Canceled!" << true << 0;
    QTest::newRow("cancel refused") << false << 1 << false << "\nPrint Completed!" << false << 0;
    QTest::newRow("preview ready") << true << 0 << false << "\nPreview Ready!" << false << 4;
    QTest::newRow("preview stopped") << true << 1 << false << "\nPreview Stopped at page 1!" << false << 1;
}

void TestReportPrint::runEndsWithItsMessage()
{
    QFETCH(bool, preview);
    QFETCH(int, press);
    QFETCH(bool, answer);
    QFETCH(QString, label);
    QFETCH(bool, aborted);
    QFETCH(int, previewPages);

    std::vector<TaskSpec> tasks;
    for (int i = 0; i < 200; ++i)
        tasks.push_back({"20240105", "", "Task " + std::to_string(i), "", "", false, ""});
    TaskTableFixture fixture;
    QVERIFY(fixture.create(tasks));
    QVERIFY(fixture.engine().goTop().ok());
    ScriptedMessages messages;
    TReportPrint window(fixture.table(), m_formats);
    PageStream stream(QSizeF(8.5, 11));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath(QStringLiteral("print.pdf")));
    if (preview)
        window.usePageStream(&stream);
    else
        window.usePrinter(&printer);
    if (press) {
        if (!preview)
            messages.answer(answer);
        // Delivered at the first status update, as a click is while the run lets events through.
        QTimer::singleShot(0, window.CancelButton, &QPushButton::click);
    }
    QSignalSpy accepted(&window, &QDialog::accepted);
    window.FormActivate();

    QCOMPARE(window.Label1->text(), label);
    QCOMPARE(window.aborted(), aborted);
    QCOMPARE(window.CancelButton->text(), QStringLiteral("OK"));
    QVERIFY(window.CancelButton->isDefault());
    QCOMPARE(messages.questions(), press && !preview ? QStringList{"Cancel Printing?"} : QStringList{});
    if (preview)
        QCOMPARE(stream.pageCount(), previewPages);
    // Pressed during the run, the window goes by itself; otherwise it waits for OK.
    QCoreApplication::processEvents();
    QCOMPARE(accepted.size(), press ? 1 : 0);
    if (!press) {
        window.CancelButton->click();
        QCOMPARE(accepted.size(), 1);
    }
}

void TestReportPrint::doPrintShowsPreviewOnlyAfterAFinishedPreview_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("windows");
    QTest::newRow("preview") << true << false << QStringList{"Preview Status", "Preview Report"};
    QTest::newRow("print") << false << false << QStringList{"Print Status"};
    QTest::newRow("cancelled print") << false << true << QStringList{"Print Status"};
}

void TestReportPrint::doPrintShowsPreviewOnlyAfterAFinishedPreview()
{
    QFETCH(bool, preview);
    QFETCH(bool, cancel);
    QFETCH(QStringList, windows);
    TaskTableFixture fixture;
    QVERIFY(fixture.create({{"", "", "One", "", "", false, ""},
                            {"", "", "Two", "", "", false, ""},
                            {"", "", "Three", "", "", false, ""}}));
    QVERIFY(fixture.engine().go(2).ok());
    ScriptedMessages messages;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath(QStringLiteral("doprint.pdf")));
    printer.setPageOrientation(QPageLayout::Landscape);
    QStringList shown;
    double openingZoom = 0;
    int previewPages = 0;
    ScopedModalScript script([&](QDialog& dialog) {
        shown << dialog.windowTitle();
        if (auto* status = qobject_cast<TReportPrint*>(&dialog)) {
            if (cancel) {
                messages.answer(true);
                QTimer::singleShot(0, status->CancelButton, &QPushButton::click);
            }
            status->FormActivate();
        } else if (auto* form = qobject_cast<TPreviewForm*>(&dialog)) {
            openingZoom = form->openingZoom();
            form->show();
            form->FormActivate();
            previewPages = form->FilePreview1->pages();
        }
        return int(QDialog::Accepted);
    });
    PrintRequest request;
    request.settings.title = QStringLiteral("List");
    request.preview = preview;
    request.printer = &printer;
    request.preferencesFile = m_dir.filePath(QStringLiteral("TODO.INI"));
    QCOMPARE(DoPrint(fixture.table(), m_formats, request), cancel);
    QCOMPARE(shown, windows);
    if (preview) {
        QCOMPARE(openingZoom, double(TPreviewForm::PageWidth));
        QCOMPARE(previewPages, 1);
    }
    // Back on the task it stood on, whatever the run did with the cursor.
    QCOMPARE(fixture.engine().recNo(), 2u);
}

QTEST_MAIN(TestReportPrint)
#include "TestReportPrint.moc"
