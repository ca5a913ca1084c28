#pragma once

#include "ui/PrintingService.h"

namespace quorvo {

// The printers that the print system (CUPS, through Qt) knows of.
class SystemPrintingService : public PrintingService
{
public:
    int installedPrinterCount() const override;
};

} // namespace quorvo
