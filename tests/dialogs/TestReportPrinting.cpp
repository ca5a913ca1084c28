#include "datetime/DateFormats.h"
#include "dialogs/ReportPrinting.h"
#include "dialogs/TReportSetup.h"
#include "support/FakePrinters.h"
#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/RegionalFixtures.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

using namespace quorvo;

// The report dialog's Print, Preview, Printer Setup and Save as PDF, with the printers, dialogs and the run
// itself replaced.
class TestReportPrinting : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2024, 3, 15), QTime(9, 30)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    RecordingHelpService m_help;

    struct Setup
    {
        TaskTableFixture fixture;
        QTemporaryDir dir;
        std::unique_ptr<TReportSetup> dialog;
        QList<PrintRequest> runs;
    };

    bool open(Setup& setup, const DateFormats& formats)
    {
        if (!setup.fixture.create({{"", "", "First", "", "", false, ""},
                                   {"", "", "Second", "", "", true, ""},
                                   {"", "", "Third", "", "", false, ""}}))
            return false;
        setup.dialog =
            std::make_unique<TReportSetup>(setup.fixture.table(), formats, m_help, setup.dir.path() + QLatin1Char('/'));
        setup.dialog->printing().setRunner([&setup](const PrintRequest& request) { setup.runs.append(request); });
        return true;
    }

    QPushButton* button(Setup& setup, const char* name)
    {
        return setup.dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    }

private slots:
    void noPrinterStopsPrintPreviewAndSetup_data();
    void noPrinterStopsPrintPreviewAndSetup();
    void printRunsOnlyAfterTheDialogIsConfirmed_data();
    void printRunsOnlyAfterTheDialogIsConfirmed();
    void previewHandsOverTitleOptionsAndPrinter();
    void saveAsPdfWorksWithoutPrinters();
    void saveAsPdfCancelledWritesNothing();
};

void TestReportPrinting::noPrinterStopsPrintPreviewAndSetup_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::newRow("print") << "PrintNow";
    QTest::newRow("preview") << "Previewbutton";
    QTest::newRow("setup") << "PrintSetup";
}

void TestReportPrinting::noPrinterStopsPrintPreviewAndSetup()
{
    QFETCH(QString, buttonName);
    FakePrinters printing(0);
    ScriptedMessages messages;
    Setup setup;
    QVERIFY(open(setup, m_formats));
    button(setup, buttonName.toLatin1().constData())->click();
    QCOMPARE(messages.infos(), QStringList{"There are no printers installed"});
    QVERIFY(setup.runs.isEmpty());
    QCOMPARE(printing.printDialogs + printing.setupDialogs, 0);
}

void TestReportPrinting::printRunsOnlyAfterTheDialogIsConfirmed_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void TestReportPrinting::printRunsOnlyAfterTheDialogIsConfirmed()
{
    QFETCH(bool, confirm);
    FakePrinters printing(2);
    printing.confirmPrint = confirm;
    printing.confirmSetup = true;
    ScriptedMessages messages;
    Setup setup;
    QVERIFY(open(setup, m_formats));
    button(setup, "PrintNow")->click();
    QCOMPARE(printing.printDialogs, 1);
    QCOMPARE(setup.runs.size(), confirm ? 1 : 0);
    if (confirm) {
        QVERIFY(!setup.runs[0].preview);
        QCOMPARE(setup.runs[0].printer, &setup.dialog->printing().printer());
    }
    QCOMPARE(setup.dialog->runMode(), TReportSetup::RunMode::Printing);
    button(setup, "PrintSetup")->click();
    QCOMPARE(printing.setupDialogs, 1);
    QCOMPARE(setup.runs.size(), confirm ? 1 : 0);
}

void TestReportPrinting::previewHandsOverTitleOptionsAndPrinter()
{
    FakePrinters printing(1);
    ScriptedMessages messages;
    Setup setup;
    QVERIFY(open(setup, m_formats));
    setup.dialog->findChild<QLineEdit*>(QStringLiteral("ReportTitleField"))->setText(QStringLiteral("Errands"));
    setup.dialog->findChild<QCheckBox*>(QStringLiteral("PrintKeywords"))->setChecked(true);
    setup.dialog->findChild<QCheckBox*>(QStringLiteral("DoubleSpace"))->setChecked(true);
    setup.dialog->printing().printer().setPageOrientation(QPageLayout::Landscape);
    button(setup, "Previewbutton")->click();
    QCOMPARE(printing.printDialogs, 0);
    QCOMPARE(setup.runs.size(), 1);
    const PrintRequest& run = setup.runs[0];
    QVERIFY(run.preview);
    QCOMPARE(run.settings.title, QStringLiteral("Errands"));
    QVERIFY(run.settings.printKeywords && run.settings.doubleSpace);
    QVERIFY(!run.settings.printMemo && !run.settings.printCheckbox);
    QCOMPARE(run.printer->pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(run.owner, setup.dialog.get());
    QVERIFY(run.preferencesFile.endsWith(QStringLiteral("/TODO.INI")));
}

void TestReportPrinting::saveAsPdfWorksWithoutPrinters()
{
    FakePrinters printing(0);
    ScriptedFileDialogs save;
    ScriptedMessages messages;
    Setup setup;
    QVERIFY(open(setup, m_formats));
    QVERIFY(setup.fixture.engine().go(2).ok());
    const QString file = setup.dir.filePath(QStringLiteral("list.pdf"));
    save.answer(file);
    button(setup, "SaveAsPdf")->click();
    QCOMPARE(save.requests.size(), 1);
    QCOMPARE(save.requests[0].filter, QStringLiteral("PDF Document|*.pdf"));
    QCOMPARE(save.requests[0].proposedName, QStringLiteral("Todo.pdf"));
    QCOMPARE(messages.infos(), QStringList{QStringLiteral("Saved as ") + file});
    QVERIFY(messages.errors().isEmpty());
    QCOMPARE(setup.fixture.engine().recNo(), 2u); // back on the task it stood on
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* task : {"First", "Second", "Third", "Quorvo"})
        QVERIFY2(out.contains(QLatin1String(task)), task);
    // The next time the dialog proposes the file just written.
    button(setup, "SaveAsPdf")->click();
    QCOMPARE(save.requests[1].proposedName, QStringLiteral("list.pdf"));
}

void TestReportPrinting::saveAsPdfCancelledWritesNothing()
{
    FakePrinters printing(1);
    ScriptedFileDialogs save;
    ScriptedMessages messages;
    Setup setup;
    QVERIFY(open(setup, m_formats));
    save.answer(std::nullopt);
    button(setup, "SaveAsPdf")->click();
    QCOMPARE(save.requests.size(), 1);
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(!QFile::exists(setup.dir.filePath(QStringLiteral("Todo.pdf"))));
}

QTEST_MAIN(TestReportPrinting)
#include "TestReportPrinting.moc"
