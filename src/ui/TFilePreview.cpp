#include "ui/TFilePreview.h"

#include "reports/PageStream.h"
#include "reports/ReportDevice.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace quorvo {

PreviewPage::PreviewPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PreviewPage"));
}

void PreviewPage::setPage(const PageStream* stream, int index, double scale, int margin)
{
    m_stream = stream;
    m_index = index;
    m_scale = scale;
    m_margin = margin;
    update();
}

void PreviewPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (!m_stream || m_index < 0 || m_index >= m_stream->pageCount())
        return;
    const QSizeF paper = m_stream->pageSize() * ReportDevice::kUnitsPerInch * m_scale;
    const QRectF sheet(m_margin, m_margin, paper.width(), paper.height());
    painter.fillRect(sheet, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRect(sheet);
    painter.translate(m_margin, m_margin);
    // Playing a picture scales it by the widget's resolution over the picture's own; that is undone here,
    // the zoom already being in screen pixels.
    const QPicture& page = m_stream->page(m_index);
    const double dpiRatio = double(page.logicalDpiX()) / logicalDpiX();
    painter.scale(m_scale * dpiRatio, m_scale * dpiRatio);
    painter.drawPicture(0, 0, page);
}

void PreviewPage::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button());
}

TFilePreview::TFilePreview(QObject* parent) : QObject(parent) {}

void TFilePreview::start(const PageStream* stream, QScrollArea* scrollBox)
{
    m_stream = stream;
    m_scrollBox = scrollBox;
    if (!m_pageWidget) {
        m_pageWidget = new PreviewPage;
        scrollBox->setWidget(m_pageWidget);
        scrollBox->setAlignment(Qt::AlignCenter);
    }
    m_page = pages() > 0 ? 1 : 0;
    layoutPage();
    emit pageChanged();
}

void TFilePreview::finish()
{
    m_stream = nullptr;
    if (m_pageWidget)
        m_pageWidget->setPage(nullptr, 0, 1, 0);
}

int TFilePreview::pages() const
{
    return m_stream ? m_stream->pageCount() : 0;
}

void TFilePreview::showPage(int page)
{
    if (page < 1 || page > pages() || page == m_page)
        return;
    m_page = page;
    layoutPage();
    emit pageChanged();
}

void TFilePreview::nextPage()
{
    showPage(m_page + 1);
}

void TFilePreview::prevPage()
{
    showPage(m_page - 1);
}

void TFilePreview::setZoom(double percent)
{
    if (percent < 0 || std::isnan(percent))
        return;
    m_zoom = qBound(kMinZoom, percent, kMaxZoom);
    layoutPage();
    emit zoomChanged();
}

QSizeF TFilePreview::viewportSize() const
{
    if (!m_scrollBox)
        return {};
    const int frame = m_scrollBox->frameWidth();
    return QSizeF(m_scrollBox->width() - 2 * frame, m_scrollBox->height() - 2 * frame);
}

double TFilePreview::zoomPageWidthFactor() const
{
    if (!m_stream || m_stream->pageSize().isEmpty())
        return m_zoom;
    const QSizeF paper = m_stream->pageSize() * m_dpi; // pixels at 100 %
    const double margins = 2 * kMarginPercent / 100.0;
    QSizeF box = viewportSize();
    double factor = box.width() / (paper.width() * (1 + margins));
    // Taller than the box at that width: the vertical scroll bar takes its share of the width.
    if (paper.height() * factor + paper.width() * factor * margins > box.height()) {
        box.setWidth(box.width() - m_scrollBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        factor = box.width() / (paper.width() * (1 + margins));
    }
    return factor * 100;
}

double TFilePreview::zoomPageFactor() const
{
    if (!m_stream || m_stream->pageSize().isEmpty())
        return m_zoom;
    const QSizeF paper = m_stream->pageSize() * m_dpi;
    const double margins = 2 * kMarginPercent / 100.0;
    const QSizeF box = viewportSize();
    const double byWidth = box.width() / (paper.width() * (1 + margins));
    const double byHeight = box.height() / (paper.height() + paper.width() * margins);
    return qMin(byWidth, byHeight) * 100;
}

void TFilePreview::layoutPage()
{
    if (!m_pageWidget || !m_stream)
        return;
    const double pixelsPerInch = m_dpi * m_zoom / 100.0;
    const QSizeF paper = m_stream->pageSize() * pixelsPerInch;
    const int margin = qRound(paper.width() * kMarginPercent / 100.0);
    m_pageWidget->setFixedSize(qCeil(paper.width()) + 2 * margin, qCeil(paper.height()) + 2 * margin);
    m_pageWidget->setPage(m_stream, m_page - 1, pixelsPerInch / ReportDevice::kUnitsPerInch, margin);
}

} // namespace quorvo
