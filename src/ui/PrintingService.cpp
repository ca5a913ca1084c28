#include "ui/PrintingService.h"

#include "ui/SystemPrintingService.h"

#include <QPageSetupDialog>
#include <QPrintDialog>

namespace quorvo {

namespace {

PrintingService* g_installed = nullptr;

} // namespace

bool PrintingService::printDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

bool PrintingService::pageSetupDialog(QPrinter& printer, QWidget* parent)
{
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

PrintingService& PrintingService::current()
{
    static SystemPrintingService system;
    return g_installed ? *g_installed : system;
}

PrintingService* PrintingService::install(PrintingService* service)
{
    PrintingService* previous = g_installed;
    g_installed = service;
    return previous;
}

} // namespace quorvo
