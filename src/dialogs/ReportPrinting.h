#pragma once

#include "dialogs/DoPrint.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;

namespace quorvo {

class DateFormats;
class HelpService;
class TReportSetup;
class TodoTable;

// The report dialog's printer component: it keeps the printer the print and printer-setup dialogs
// configure (printer, copies, paper, orientation) for the dialog's lifetime, and starts the printed
// report, its preview or its PDF file with the dialog's title and options. The dialog has already
// checked that a printer is installed before Print, Preview and Printer Setup reach it; Save as PDF
// needs none.
class ReportPrinting : public QObject
{
    Q_OBJECT

public:
    using Runner = std::function<void(const PrintRequest&)>;

    ReportPrinting(TReportSetup& dialog, TodoTable& table, const DateFormats& formats, HelpService& help,
                   const QString& programDir);
    ~ReportPrinting() override;

    QPrinter& printer() { return *m_printer; }
    // Replaces DoPrint, so that tests see the request instead of a modal run.
    void setRunner(Runner runner) { m_runner = std::move(runner); }

    void print();
    void preview();
    void printerSetup();
    void saveAsPdf();

private:
    PrintRequest request(bool preview) const;

    TReportSetup& m_dialog;
    TodoTable& m_table;
    const DateFormats& m_formats;
    HelpService& m_help;
    QString m_programDir;
    std::unique_ptr<QPrinter> m_printer;
    bool m_printerSetUp = false;
    QString m_pdfFile;
    Runner m_runner;
};

} // namespace quorvo
