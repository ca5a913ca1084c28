#include "reports/PageStreamDevice.h"

#include "reports/PageStream.h"

namespace quorvo {

PageStreamDevice::~PageStreamDevice()
{
    if (m_painter.isActive())
        m_painter.end();
}

QSizeF PageStreamDevice::pageSize() const
{
    return m_stream.pageSize();
}

void PageStreamDevice::startPage()
{
    m_page = QPicture();
    m_painter.begin(&m_page);
}

void PageStreamDevice::finishPage()
{
    m_painter.end();
    const QSizeF size = m_stream.pageSize() * kUnitsPerInch;
    // The preview scales the whole sheet, not just what was drawn on it.
    m_page.setBoundingRect(QRect(0, 0, qRound(size.width()), qRound(size.height())));
    m_stream.append(m_page);
}

QPainter* PageStreamDevice::beginDocument()
{
    m_stream.clear();
    startPage();
    return &m_painter;
}

bool PageStreamDevice::newPage()
{
    finishPage();
    startPage();
    return true;
}

bool PageStreamDevice::endDocument()
{
    if (m_painter.isActive())
        finishPage();
    return true;
}

void PageStreamDevice::abortDocument()
{
    if (m_painter.isActive())
        m_painter.end();
}

} // namespace quorvo
