// The report dialog: its window and controls, the report preferences in their two homes, the colour panel,
// the save flow, the printer check, and the main window's Report button.
#include "datetime/DateFormats.h"
#include "dialogs/ReportPrinting.h"
#include "dialogs/TReportSetup.h"
#include "mainwindow/TMainScreen.h"
#include "reports/ColorText.h"
#include "store/IniFile.h"
#include "store/TaskGenerator.h"
#include "support/FakePrinters.h"
#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/RegionalFixtures.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"
#include "support/TaskTableFixture.h"
#include "support/xbase/FileBytes.h"
#include "ui/PopupHelp.h"
#include "ui/TGraphicPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace quorvo;

namespace {

// The colour dialog answers from a queue (none is a cancel) and keeps the colours it started from.
class ScriptedReportSetup : public TReportSetup
{
public:
    using TReportSetup::TReportSetup;

    QList<std::optional<QColor>> answers;
    QList<QColor> starts;

protected:
    std::optional<QColor> askColor(const QColor& start) override
    {
        starts.append(start);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

template <typename T> T* child(QWidget& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no %s named %s", T::staticMetaObject.className(), name);
    return widget;
}

} // namespace

class TestReportSetup : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2026, 12, 8)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    RecordingHelpService m_help;
    TaskTableFixture m_tasks;
    QTemporaryDir m_programDir;

    QString dir() const { return m_programDir.path() + QLatin1Char('/'); }

    std::unique_ptr<ScriptedReportSetup> makeDialog()
    {
        return std::make_unique<ScriptedReportSetup>(m_tasks.table(), m_formats, m_help, dir());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tasks.create(
            {{"20240105", "14:30", "Pay rent", "", "A", false, "note"}, {"", "", "Call Ann", "", "", true, ""}}));
    }

    void init()
    {
        QFile::remove(dir() + QStringLiteral("QVTSK.INI"));
        m_help.topics.clear();
    }

    void theWindow()
    {
        auto dialog = makeDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Print Report"));
        QCOMPARE(dialog->size(), QSize(607, 421));
        QCOMPARE(dialog->font().pixelSize(), 11);
        QCOMPARE(child<QTabBar>(*dialog, "TabSet1")->currentIndex(), 0);
        QCOMPARE(dialog->currentPage(), int(TReportSetup::PrintedReportPage));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
        auto* ok = child<QPushButton>(*dialog, "ReturnButton");
        QVERIFY(ok->isDefault());
    }

    void controls_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("help");
        const auto row = [](const char* name, const char* caption, const char* help) {
            QTest::newRow(name) << QByteArray(name) << QString::fromLatin1(caption) << QString::fromLatin1(help);
        };
        row("ReportTitleField", "", "Enter a title to be printed at the top of the report");
        row("PrintMemoBox", "Print Notes", "Select this option to also print the notes information");
        row("PrintCheckBox", "Print Checkbox",
            "Select this option to also print a small checkbox next to each task (for your use in checking them off)");
        row("DoubleSpace", "Double Spaced", "Select this option to use double-space printing");
        row("PrintKeywords", "Print Keywords",
            "Select this option to also print the KEYWORDS. (note: keywords will be printed on a seperate line)");
        row("PrintNow", "Print", "Click here to print the list now.");
        row("Previewbutton", "Preview", "Click here to preview the printed report");
        row("PrintSetup", "Printer Setup", "Click here to set up the printer prior to printing the list.");
        row("HTMLPageTitle", "", "Enter the HTML page title here");
        row("HTMLDoNotes", "Copy Notes", "Check here to write the notes (memo) as part of the HTML document");
        row("ColorPanel", "Background Color (click to change)",
            "Click here to change the background color for the HTML document");
        row("HTMLSaveAs", "Save As", "Click here to save the current Todo List as an HTML file");
        row("RTFPageTitle", "", "Enter a title to print on the top of the RTF file page here");
        row("RTFDoNotes", "Copy Notes", "Check here to write the notes (memo) as part of the RTF file");
        row("SaveAsRTFClick", "Save As", "Click here to save the current Todo List as an RTF file");
        row("TextPageTitle", "", "Enter a title for the text file page here");
        row("TextDoNotes", "Copy Notes", "Check here to write the notes (memo) as part of the text file");
        row("SaveAsText", "Save As", "Click here to save the current ToDo List as a text file (ASCII)");
        row("ICalPageTitle", "", "Enter the name calendar programs show for the exported tasks here");
        row("ICalDoNotes", "Copy Notes", "Check here to write the notes (memo) as the description of each task");
        row("SaveAsICal", "Save As",
            "Click here to save the current Todo List as an iCalendar file of tasks for calendar programs");
        row("ReturnButton", "Ok", "Click here to return to the main screen");
        row("Helpbutton", "Help", "");
        row("MouseHelpButton", "", "");
    }

    void controls()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, caption);
        QFETCH(QString, help);
        auto dialog = makeDialog();
        QWidget* control = child<QWidget>(*dialog, name.constData());
        QVERIFY(control);
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            QCOMPARE(button->text(), caption);
        else if (auto* panel = qobject_cast<TGraphicPanel*>(control))
            QCOMPARE(panel->caption(), caption);
        // This dialog's pop-ups wrap at 200 pixels, narrower than the main window's.
        QCOMPARE(control->whatsThis(), help.isEmpty() ? QString() : PopupHelp::richText(help, 200));
    }

    void titleLabels()
    {
        auto dialog = makeDialog();
        QStringList labels;
        for (auto* label : dialog->findChildren<QLabel*>())
            labels << label->text();
        for (const char* text :
             {"Report Title", "HTML Page Title", "RTF Page Title", "Text File Page Title", "iCalendar Title"})
            QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
        QStringList tabs;
        auto* tabSet = child<QTabBar>(*dialog, "TabSet1");
        for (int i = 0; i < tabSet->count(); ++i)
            tabs << tabSet->tabText(i);
        QCOMPARE(tabs, (QStringList{"Printed Report", "HTML Document", "RTF File", "Text File", "iCalendar"}));
        tabSet->setCurrentIndex(2);
        QCOMPARE(dialog->currentPage(), int(TReportSetup::RtfPage));
        QVERIFY(child<QLineEdit>(*dialog, "RTFPageTitle")->isVisibleTo(dialog.get()));
    }

    void firstUse()
    {
        ScriptedFileDialogs files;
        auto dialog = makeDialog();
        for (const char* edit : {"ReportTitleField", "HTMLPageTitle", "RTFPageTitle", "TextPageTitle", "ICalPageTitle"})
            QCOMPARE(child<QLineEdit>(*dialog, edit)->text(), QStringLiteral("Quorvo"));
        dialog->setReportOptions(ReportOptions());
        for (auto* box : dialog->findChildren<QCheckBox*>())
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        QCOMPARE(dialog->colorText(), QStringLiteral("FFFF80"));
        QCOMPARE(child<TGraphicPanel>(*dialog, "ColorPanel")->color(), QColor(255, 255, 128));

        dialog->HTMLSaveAsClick();
        dialog->SaveAsRTFClickClick();
        dialog->SaveAsTextClick();
        dialog->SaveAsICalClick();
        QCOMPARE(files.requests.size(), 4);
        const QStringList names{"Todo.htm", "Todo.rtf", "Todo.txt", "Todo.ics"};
        const QStringList filters{"HTM Document|*.htm", "RTF Document|*.rtf", "Text File|*.txt",
                                  "iCalendar File|*.ics"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(files.requests[i].folder, dir());
            QCOMPARE(files.requests[i].proposedName, names[i]);
            QCOMPARE(files.requests[i].filter, filters[i]);
        }
        // Cancelled: nothing written or remembered.
        QVERIFY(!QFile::exists(dir() + QStringLiteral("QVTSK.INI")));
        QVERIFY(!QFile::exists(dir() + QStringLiteral("Todo.htm")));
    }

    void colourText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("default light yellow") << 8454143 << QStringLiteral("FFFF80");
        QTest::newRow("pure red") << 0x0000FF << QStringLiteral("FF0000");
        QTest::newRow("pure blue") << 0xFF0000 << QStringLiteral("0000FF");
        QTest::newRow("mixed") << 0x123456 << QStringLiteral("563412");
        QTest::newRow("black") << 0 << QStringLiteral("000000");
    }

    void colourText()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        auto dialog = makeDialog();
        ReportOptions options;
        options.htmlColor = value;
        dialog->setReportOptions(options);
        QCOMPARE(dialog->colorText(), text);
        QCOMPARE(dialog->reportOptions().htmlColor, value);
        QCOMPARE(ColorText::toValue(text), std::optional<int>(value));
        QCOMPARE(ColorText::toValue(text.toLower()), std::optional<int>(value));
    }

    void colourTextRefusesWhatIsNotSixHexDigits()
    {
        for (const char* text : {"", "FFFF8", "FFFF800", "GGGGGG", "+FFFFF", " FFFFF"})
            QVERIFY2(!ColorText::toValue(QString::fromLatin1(text)), text);
    }

    void colourDialog()
    {
        auto dialog = makeDialog();
        ReportOptions options;
        options.htmlColor = 0x0000FF;
        dialog->setReportOptions(options);

        dialog->ColorPanelClick(); // cancelled
        QCOMPARE(dialog->colorText(), QStringLiteral("FF0000"));
        QCOMPARE(dialog->reportOptions().htmlColor, 0x0000FF);

        dialog->answers = {QColor(0x12, 0x34, 0x56)};
        dialog->ColorPanelClick();
        QCOMPARE(dialog->colorText(), QStringLiteral("123456"));
        QCOMPARE(dialog->reportOptions().htmlColor, 0x563412);
        QCOMPARE(child<TGraphicPanel>(*dialog, "ColorPanel")->color(), QColor(0x12, 0x34, 0x56));

        dialog->ColorPanelClick();
        // The colour dialog starts from its own colour, then from the last one confirmed in it.
        QCOMPARE(dialog->starts,
                 (QList<QColor>{QColor(255, 255, 128), QColor(255, 255, 128), QColor(0x12, 0x34, 0x56)}));
        QCOMPARE(dialog->colorText(), QStringLiteral("123456"));
    }

    void saveFlow_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("html") << int(TReportSetup::HtmlPage) << QStringLiteral("list.htm") << QByteArray("HTMLFilespec")
                              << QByteArray("<!DOCTYPE HTML");
        QTest::newRow("rtf") << int(TReportSetup::RtfPage) << QStringLiteral("list.rtf") << QByteArray("RTFFilespec")
                             << QByteArray("{\\rtf1");
        QTest::newRow("text") << int(TReportSetup::TextPage) << QStringLiteral("list.txt") << QByteArray("TextFilespec")
                              << QByteArray("Text title\r\n");
        QTest::newRow("ical") << int(TReportSetup::ICalPage) << QStringLiteral("list.ics") << QByteArray("ICalFilespec")
                              << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n");
    }

    void saveFlow()
    {
        QFETCH(int, page);
        QFETCH(QString, name);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, start);
        QTemporaryDir out;
        const QString file = out.filePath(name);
        ScriptedFileDialogs files;
        ScriptedMessages messages;
        {
            auto dialog = makeDialog();
            child<QLineEdit>(*dialog, "ReportTitleField")->setText(QStringLiteral("Printed title"));
            child<QLineEdit>(*dialog, "TextPageTitle")->setText(QStringLiteral("Text title"));
            files.answer(file);
            switch (page) {
            case TReportSetup::HtmlPage:
                dialog->HTMLSaveAsClick();
                break;
            case TReportSetup::RtfPage:
                dialog->SaveAsRTFClickClick();
                break;
            case TReportSetup::ICalPage:
                dialog->SaveAsICalClick();
                break;
            default:
                dialog->SaveAsTextClick();
            }
            QVERIFY(test::readFileBytes(file).startsWith(start));
            QCOMPARE(messages.infos(), QStringList{QStringLiteral("Saved as ") + file});

            // The next save of that page proposes the file just written.
            files.answer(std::nullopt);
            page == TReportSetup::HtmlPage   ? dialog->HTMLSaveAsClick()
            : page == TReportSetup::RtfPage  ? dialog->SaveAsRTFClickClick()
            : page == TReportSetup::ICalPage ? dialog->SaveAsICalClick()
                                             : dialog->SaveAsTextClick();
            QCOMPARE(files.requests.last().folder, out.path() + QLatin1Char('/'));
            QCOMPARE(files.requests.last().proposedName, name);
        }
        const IniFile ini(dir() + QStringLiteral("QVTSK.INI"));
        QCOMPARE(ini.readString("Report", key), file.toLocal8Bit());
        QCOMPARE(ini.readString("Report", "ReportTitle"), QByteArray("Printed title"));
        QCOMPARE(ini.readString("Report", "HTMLTitle"), QByteArray("Quorvo"));
        QCOMPARE(ini.readString("Report", "TextTitle"), QByteArray("Text title"));
        const QByteArray written = test::readFileBytes(dir() + QStringLiteral("QVTSK.INI"));
        qsizetype at = 0;
        for (const char* k : {"ReportTitle=", "HTMLTitle=", "RTFTitle=", "TextTitle=", "HTMLFilespec=", "RTFFilespec=",
                              "TextFilespec=", "ICalTitle=", "ICalFilespec=", "ICalNotes="}) {
            at = written.indexOf(k, at);
            QVERIFY2(at >= 0, k);
        }

        // A new dialog reads what was stored.
        auto again = makeDialog();
        QCOMPARE(child<QLineEdit>(*again, "ReportTitleField")->text(), QStringLiteral("Printed title"));
        QCOMPARE(again->exportPreferences().htmlFilespec,
                 page == TReportSetup::HtmlPage ? file : dir() + QStringLiteral("Todo.htm"));
    }

    void titleIsKeptOnlyThroughASave()
    {
        {
            auto dialog = makeDialog();
            child<QLineEdit>(*dialog, "ReportTitleField")->setText(QStringLiteral("Changed"));
            dialog->ReturnButtonClick();
        }
        auto dialog = makeDialog();
        QCOMPARE(child<QLineEdit>(*dialog, "ReportTitleField")->text(), QStringLiteral("Quorvo"));
        QVERIFY(!QFile::exists(dir() + QStringLiteral("QVTSK.INI")));
    }

    void failedSaveKeepsTheEarlierFileAndRemembersNothing()
    {
        ScriptedFileDialogs files;
        ScriptedMessages messages;
        auto dialog = makeDialog();
        files.answer(dir() + QStringLiteral("no such folder/list.htm"));
        dialog->HTMLSaveAsClick();
        QCOMPARE(messages.infos(), QStringList());
        QCOMPARE(messages.errors().size(), 1);
        QVERIFY(messages.errors().constFirst().contains(QStringLiteral("no such folder/list.htm")));
        QVERIFY(!QFile::exists(dir() + QStringLiteral("QVTSK.INI")));
        QCOMPARE(dialog->exportPreferences().htmlFilespec, dir() + QStringLiteral("Todo.htm"));
    }

    void rememberedNameWithoutAFolder()
    {
        QVERIFY(test::writeFileBytes(dir() + QStringLiteral("QVTSK.INI"), "[Report]\r\nRTFFilespec=plain.rtf\r\n"));
        ScriptedFileDialogs files;
        auto dialog = makeDialog();
        dialog->SaveAsRTFClickClick();
        QCOMPARE(files.requests.size(), 1);
        QCOMPARE(files.requests[0].folder, QString());
        QCOMPARE(files.requests[0].proposedName, QStringLiteral("plain.rtf"));
    }

    void printerCheck_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("signal");
        QTest::newRow("Print") << QByteArray("PrintNow") << QByteArray(SIGNAL(printRequested()));
        QTest::newRow("Preview") << QByteArray("Previewbutton") << QByteArray(SIGNAL(previewRequested()));
        QTest::newRow("Printer Setup") << QByteArray("PrintSetup") << QByteArray(SIGNAL(printerSetupRequested()));
    }

    void printerCheck()
    {
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, signal);
        ScriptedMessages messages;
        auto dialog = makeDialog();
        // The run itself is the printed report's; here only that the dialog gets that far.
        dialog->printing().setRunner([](const PrintRequest&) {});
        QSignalSpy spy(dialog.get(), signal.constData());
        {
            FakePrinters none(0);
            child<QPushButton>(*dialog, button.constData())->click();
            QCOMPARE(messages.infos(), QStringList{QStringLiteral("There are no printers installed")});
            QCOMPARE(spy.count(), 0);
        }
        FakePrinters one(1);
        child<QPushButton>(*dialog, button.constData())->click();
        QCOMPARE(messages.infos().size(), 1);
        QCOMPARE(spy.count(), 1);
        if (button == "Previewbutton")
            QCOMPARE(dialog->runMode(), TReportSetup::RunMode::Preview);
    }

    void escapeAndEnterCloseWithOk_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }

    void escapeAndEnterCloseWithOk()
    {
        QFETCH(int, key);
        auto dialog = makeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTest::keyClick(child<QLineEdit>(*dialog, "ReportTitleField"), Qt::Key(key));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }

    void helpOpensItsTopic()
    {
        auto dialog = makeDialog();
        child<QPushButton>(*dialog, "Helpbutton")->click();
        QCOMPARE(m_help.topics, QList<int>{1007});
    }

    void theToolWritesTheSameBytes_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("html with notes") << QStringLiteral("html") << QStringList{"--notes", "--color", "123456"};
        QTest::newRow("html, a query") << QStringLiteral("html") << QStringList{"--query", "DONE"};
        QTest::newRow("rtf with notes") << QStringLiteral("rtf") << QStringList{"--notes"};
        QTest::newRow("text with notes") << QStringLiteral("text") << QStringList{"--notes"};
        QTest::newRow("text, a query") << QStringLiteral("text") << QStringList{"--query", ".not. DONE"};
        QTest::newRow("ics with notes, a query") << QStringLiteral("ics") << QStringList{"--notes", "--query", "DONE"};
    }

    void theToolWritesTheSameBytes()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, options);
        QTemporaryDir temp;
        const QString table = temp.filePath(QStringLiteral("QVTSK.DBF"));
        QVERIFY(TaskGenerator::createTable(table.toStdString(), 60, {}).ok());
        TodoTable todo;
        QVERIFY(todo.open(table, false).ok());
        QVERIFY(todo.engine().setOrder(todo.engine().tagOrder("DATETIME")).ok());
        const qsizetype query = options.indexOf(QStringLiteral("--query"));
        if (query >= 0)
            QVERIFY(todo.engine().setQuery(options[query + 1].toStdString()).ok());
        const bool notes = options.contains(QStringLiteral("--notes"));
        const qsizetype color = options.indexOf(QStringLiteral("--color"));

        TReportSetup dialog(todo, DateFormats::current(), m_help, dir());
        ReportOptions report;
        report.htmlPrintMemo = report.rtfPrintMemo = report.textPrintMemo = notes;
        if (color >= 0)
            report.htmlColor = *ColorText::toValue(options[color + 1]);
        dialog.setReportOptions(report);
        child<QCheckBox>(dialog, "ICalDoNotes")->setChecked(notes);
        const QString fromDialog = temp.filePath(QStringLiteral("dialog.out"));
        const QString title = QStringLiteral("Caf\u00e9 & {x}");
        const bool written = format == QLatin1String("html")  ? dialog.CopyHTML(fromDialog, dialog.colorText(), title)
                             : format == QLatin1String("rtf") ? dialog.CopyRTF(fromDialog, title)
                             : format == QLatin1String("ics") ? dialog.CopyICal(fromDialog, title)
                                                              : dialog.CopyText(fromDialog, title);
        QVERIFY(written);

        const QString fromTool = temp.filePath(QStringLiteral("tool.out"));
        QProcess tool;
        tool.start(QStringLiteral(QUORVO_BINARY_DIR "/tools/quorvo-store"),
                   QStringList{"export", table, fromTool, "--format", format, "--title", title} + options);
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        // The time stamp of the writing is the one line an iCalendar file may differ in.
        static const QRegularExpression stamp(QStringLiteral("DTSTAMP:[0-9TZ]+\r\n"));
        const auto unstamped = [](QByteArray bytes) { return QString::fromLatin1(bytes).remove(stamp).toLatin1(); };
        const QByteArray bytes = unstamped(test::readFileBytes(fromDialog));
        QVERIFY(bytes.contains(format == QLatin1String("ics") ? "Caf\xC3\xA9 " : "Caf\xE9 "));
        QCOMPARE(unstamped(test::readFileBytes(fromTool)), bytes);
    }

    void reportButtonHandsTheOptionsThereAndBack()
    {
        QTemporaryDir temp;
        const QString programDir = temp.path() + QLatin1Char('/');
        QVERIFY(TaskGenerator::createTable((programDir + QStringLiteral("QVTSK.DBF")).toStdString(), 12, {}).ok());
        QVERIFY(test::writeFileBytes(
            programDir + QStringLiteral("TODO.INI"),
            "[Preferences]\r\nShowDone=1\r\n[Reindex]\r\nNeeded=0\r\n[Report]\r\nPrintKeywoirds=1\r\n"
            "HTMLColor=255\r\n"));
        ScriptedMessages messages;
        ScriptedFileDialogs files;
        const QString exported = programDir + QStringLiteral("out.txt");
        files.answer(exported);
        TMainScreen window(m_help, m_clock, programDir);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.firstActivation());

        bool seen = false;
        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<TReportSetup*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QVERIFY(child<QCheckBox>(*dialog, "PrintKeywords")->isChecked());
            QCOMPARE(dialog->colorText(), QStringLiteral("FF0000"));
            child<QCheckBox>(*dialog, "RTFDoNotes")->setChecked(true);
            child<QCheckBox>(*dialog, "PrintKeywords")->setChecked(false);
            dialog->SaveAsTextClick();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        window.findChild<QPushButton*>(QStringLiteral("Printbutton"))->click();
        QVERIFY(seen);
        QVERIFY(window.preferences().report.rtfPrintMemo);
        QVERIFY(!window.preferences().report.printKeywords);
        QCOMPARE(window.preferences().report.htmlColor, 255);
        // The export left the list on the last task of the view.
        QVERIFY(test::readFileBytes(exported).count("\r\n") == 5 + 12);
        QVERIFY(!window.todoTable().engine().eof());
        auto& engine = window.todoTable().engine();
        const std::uint32_t last = engine.recNo();
        QVERIFY(engine.skip(1).ok());
        QVERIFY(engine.eof());
        QVERIFY(engine.go(last).ok());
        window.close();
        // The options reach TODO.INI with the window's preferences, under the old spelling.
        const IniFile todo(programDir + QStringLiteral("TODO.INI"));
        QCOMPARE(todo.readString("Report", "RTFPrintMemo"), QByteArray("1"));
        QCOMPARE(todo.readString("Report", "PrintKeywoirds"), QByteArray("0"));
    }
};

QTEST_MAIN(TestReportSetup)
#include "TestReportSetup.moc"
