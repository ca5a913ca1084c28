#include "reports/PagedReportDevice.h"

#include <QPagedPaintDevice>
#include <QPrinter>

namespace quorvo {

PagedReportDevice::PagedReportDevice(QPrinter& printer) : m_device(printer), m_printer(&printer)
{
    printer.setFullPage(true);
}

PagedReportDevice::PagedReportDevice(QPagedPaintDevice& device) : m_device(device)
{
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
}

PagedReportDevice::~PagedReportDevice()
{
    if (m_painter.isActive())
        m_painter.end();
}

QSizeF PagedReportDevice::pageSize() const
{
    return m_device.pageLayout().fullRect(QPageLayout::Inch).size();
}

void PagedReportDevice::scaleToEngineUnits()
{
    m_painter.resetTransform();
    m_painter.scale(m_device.logicalDpiX() / kUnitsPerInch, m_device.logicalDpiY() / kUnitsPerInch);
}

QPainter* PagedReportDevice::beginDocument()
{
    if (!m_painter.begin(&m_device))
        return nullptr;
    scaleToEngineUnits();
    return &m_painter;
}

bool PagedReportDevice::newPage()
{
    if (!m_device.newPage())
        return false;
    // A printer may start the next page with a fresh painter state.
    scaleToEngineUnits();
    return true;
}

bool PagedReportDevice::endDocument()
{
    if (!m_painter.isActive())
        return false;
    return m_painter.end();
}

void PagedReportDevice::abortDocument()
{
    if (m_printer)
        m_printer->abort();
    if (m_painter.isActive())
        m_painter.end();
}

} // namespace quorvo
