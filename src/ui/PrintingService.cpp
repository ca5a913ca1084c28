#include "ui/PrintingService.h"

#include "ui/SystemPrintingService.h"

namespace quorvo {

namespace {

PrintingService* g_installed = nullptr;

} // namespace

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
