#include "ui/SystemPrintingService.h"

#include <QPrinterInfo>

namespace quorvo {

int SystemPrintingService::installedPrinterCount() const
{
    return static_cast<int>(QPrinterInfo::availablePrinterNames().size());
}

} // namespace quorvo
