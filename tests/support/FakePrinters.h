#pragma once

#include "ui/PrintingService.h"

namespace quorvo {

// A PrintingService double with a given number of printers, installed for its lifetime.
class FakePrinters final : public PrintingService
{
public:
    explicit FakePrinters(int count) : m_count(count), m_previous(PrintingService::install(this)) {}
    ~FakePrinters() override { PrintingService::install(m_previous); }
    FakePrinters(const FakePrinters&) = delete;
    FakePrinters& operator=(const FakePrinters&) = delete;

    int installedPrinterCount() const override { return m_count; }

private:
    int m_count;
    PrintingService* m_previous;
};

} // namespace quorvo
