#pragma once

namespace quorvo {

// What the windows ask of the platform's printing: for now how many printers are installed, which the
// report dialog checks before it prints, previews or sets up a printer. The program uses the system's;
// tests install a double with as many printers as they need.
class PrintingService
{
public:
    virtual ~PrintingService() = default;

    virtual int installedPrinterCount() const = 0;

    // The installed service, or the system's when none is. install() returns the previous one (null
    // for the system's), so a test can put it back; the installer keeps ownership.
    static PrintingService& current();
    static PrintingService* install(PrintingService* service);
};

} // namespace quorvo
