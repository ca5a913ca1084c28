#pragma once

#include "ui/FileDialogs.h"
#include "ui/PrintingService.h"

#include <QStringList>

#include <optional>

namespace quorvo {

// The printing seam for tests: a chosen number of printers and scripted answers from the print and
// printer-setup dialogs, which it counts. Installs itself for its lifetime.
class FakePrinting final : public PrintingService
{
public:
    explicit FakePrinting(int printers = 1) : printers(printers), m_previous(PrintingService::install(this)) {}
    ~FakePrinting() override { PrintingService::install(m_previous); }
    FakePrinting(const FakePrinting&) = delete;
    FakePrinting& operator=(const FakePrinting&) = delete;

    int installedPrinterCount() const override { return printers; }
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

    int printers;
    bool confirmPrint = true;
    bool confirmSetup = true;
    int printDialogs = 0;
    int setupDialogs = 0;

private:
    PrintingService* m_previous;
};

// A save dialog that answers with a scripted file name (none: cancelled) and keeps what it was asked.
class FakeSaveDialog final : public FileDialogs
{
public:
    FakeSaveDialog() : m_previous(FileDialogs::install(this)) {}
    ~FakeSaveDialog() override { FileDialogs::install(m_previous); }
    FakeSaveDialog(const FakeSaveDialog&) = delete;
    FakeSaveDialog& operator=(const FakeSaveDialog&) = delete;

    std::optional<QString> getSaveFileName(QWidget*, const SaveRequest& request) override
    {
        asked.append(request);
        return answer;
    }

    std::optional<QString> answer;
    QList<SaveRequest> asked;

private:
    FileDialogs* m_previous;
};

} // namespace quorvo
