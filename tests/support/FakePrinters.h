#pragma once

#include "ui/PrintingService.h"

namespace quorvo {

// A PrintingService double with a given number of printers, installed for its lifetime. Its print and
// printer-setup dialogs answer as scripted (cancelled unless told) and count how often they were shown.
class FakePrinters final : public PrintingService
{
public:
    explicit FakePrinters(int count) : m_count(count), m_previous(PrintingService::install(this)) {}
    ~FakePrinters() override { PrintingService::install(m_previous); }
    FakePrinters(const FakePrinters&) = delete;
    FakePrinters& operator=(const FakePrinters&) = delete;

    int installedPrinterCount() const override { return m_count; }
    bool printDialog(QPrinter&, QWidget*) override
    {
        ++printDialogs;
        return confirmPrint;
    }
    bool pageSetupDialog(QPrinter&, QWidget*) override
    {
        ++setupDialogs;
        return confirmSetup;
    }

    bool confirmPrint = false;
    bool confirmSetup = false;
    int printDialogs = 0;
    int setupDialogs = 0;

private:
    int m_count;
    PrintingService* m_previous;
};

} // namespace quorvo
