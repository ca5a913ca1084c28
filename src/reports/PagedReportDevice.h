#pragma once

#include "reports/ReportDevice.h"

#include <QPainter>

class QPagedPaintDevice;
class QPrinter;

namespace quorvo {

// Pages painted on a printer or a PDF writer. The device is used with its full paper as the page, so
// engine positions are measured from the paper's corner. A printer's document can be aborted; a PDF
// writer's output is dropped by whoever owns its file.
class PagedReportDevice final : public ReportDevice
{
public:
    explicit PagedReportDevice(QPrinter& printer);
    explicit PagedReportDevice(QPagedPaintDevice& device);
    ~PagedReportDevice() override;

    QSizeF pageSize() const override;
    QPainter* beginDocument() override;
    bool newPage() override;
    bool endDocument() override;
    void abortDocument() override;

private:
    void scaleToEngineUnits();

    QPagedPaintDevice& m_device;
    QPrinter* m_printer = nullptr;
    QPainter m_painter;
};

} // namespace quorvo
