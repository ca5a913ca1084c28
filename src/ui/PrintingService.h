#pragma once

class QPrinter;
class QWidget;

namespace quorvo {

// What the windows ask of the platform's printing: how many printers are installed, which the report
// dialog checks before it prints, previews or sets up a printer, and the print and printer-setup dialogs. The program
// uses the system's; tests install a double with as many printers as they need.
class PrintingService
{
public:
    virtual ~PrintingService() = default;

    virtual int installedPrinterCount() const = 0;
    // The platform's print dialog on the report's printer: the printer, copies and collation, no page
    // range or selection. True when the user confirmed; the choices are then in the printer.
    virtual bool printDialog(QPrinter& printer, QWidget* parent);
    // The platform's printer-setup dialog: printer, paper and orientation. True when confirmed.
    virtual bool pageSetupDialog(QPrinter& printer, QWidget* parent);

    // The installed service, or the system's when none is. install() returns the previous one (null
    // for the system's), so a test can put it back; the installer keeps ownership.
    static PrintingService& current();
    static PrintingService* install(PrintingService* service);
};

} // namespace quorvo
