#include "dialogs/ReportPrinting.h"

#include "dialogs/TReportSetup.h"
#include "reports/PrintedReportPdf.h"
#include "store/Messages.h"
#include "store/ProgramDir.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"
#include "ui/FileDialogs.h"
#include "ui/PrintingService.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>

namespace quorvo {

ReportPrinting::ReportPrinting(TReportSetup& dialog, TodoTable& table, const DateFormats& formats, HelpService& help,
                               const QString& programDir)
    : QObject(&dialog), m_dialog(dialog), m_table(table), m_formats(formats), m_help(help), m_programDir(programDir),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_pdfFile(programDir + QStringLiteral("Todo.pdf"))
{
    m_runner = [this](const PrintRequest& request) { DoPrint(m_table, m_formats, request); };
}

ReportPrinting::~ReportPrinting() = default;

PrintRequest ReportPrinting::request(bool preview) const
{
    const ReportOptions options = m_dialog.reportOptions();
    PrintRequest request;
    request.settings.title = m_dialog.reportTitle();
    request.settings.printCheckbox = options.printCheckbox;
    request.settings.doubleSpace = options.printDoubleSpace;
    request.settings.printMemo = options.printMemo;
    request.settings.printKeywords = options.printKeywords;
    request.preview = preview;
    request.printer = m_printer.get();
    request.owner = &m_dialog;
    request.mainWindow = m_dialog.parentWidget();
    request.preferencesFile = PreferencesFileName(m_programDir);
    request.help = &m_help;
    return request;
}

void ReportPrinting::print()
{
    if (!PrintingService::current().printDialog(*m_printer, &m_dialog))
        return;
    m_printerSetUp = true;
    m_runner(request(false));
}

void ReportPrinting::preview()
{
    m_runner(request(true));
}

void ReportPrinting::printerSetup()
{
    if (PrintingService::current().pageSetupDialog(*m_printer, &m_dialog))
        m_printerSetUp = true;
}

void ReportPrinting::saveAsPdf()
{
    FileDialogs::SaveRequest ask;
    ask.filter = QStringLiteral("PDF Document|*.pdf");
    const QFileInfo last(m_pdfFile);
    ask.folder = last.path();
    ask.proposedName = last.fileName();
    ask.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> chosen = FileDialogs::current().getSaveFileName(&m_dialog, ask);
    if (!chosen)
        return;

    // The page of the printer in use where there is one, otherwise the locale's paper.
    QPageLayout layout = PrintedReportPdf::defaultPageLayout();
    if (m_printerSetUp || PrintingService::current().installedPrinterCount() > 0)
        layout = m_printer->pageLayout();

    const PrintRequest settings = request(false);
    xbase::Table& cursor = m_table.engine();
    const std::uint32_t noted = cursor.eof() ? 0 : cursor.recNo();
    PrintedReportPdf::Result result;
    if (auto top = cursor.goTop(); !top) {
        result.error = Windows1252::toUnicode(top.error().message);
    } else {
        QFont wrapFont = m_dialog.font();
        wrapFont.setPixelSize(13);
        const QScreen* screen = m_dialog.screen() ? m_dialog.screen() : QGuiApplication::primaryScreen();
        result = PrintedReportPdf::write(*chosen, m_table, m_formats, settings.settings, layout, wrapFont,
                                         screen ? screen->logicalDotsPerInchX() : 96.0);
    }
    if (noted > 0)
        (void)cursor.go(noted);
    if (!result.ok) {
        ShowError(result.error);
        return;
    }
    m_pdfFile = *chosen;
    ShowInfo(QStringLiteral("Saved as ") + *chosen);
}

} // namespace quorvo
