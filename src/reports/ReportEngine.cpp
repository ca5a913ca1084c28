#include "reports/ReportEngine.h"

#include "reports/ReportDevice.h"

#include <QPainter>

#include <cmath>

namespace quorvo {

namespace {

constexpr double kUnits = ReportDevice::kUnitsPerInch;

QPointF units(double x, double y)
{
    return QPointF(x * kUnits, y * kUnits);
}

QRectF units(const QRectF& inches)
{
    return QRectF(inches.x() * kUnits, inches.y() * kUnits, inches.width() * kUnits, inches.height() * kUnits);
}

} // namespace

ReportEngine::ReportEngine() : m_metrics(m_font)
{
    setFont(QStringLiteral("Arial"), 10);
    resetSection();
}

void ReportEngine::setPageSize(double width, double height)
{
    m_pageWidth = width;
    m_pageHeight = height;
}

bool ReportEngine::execute(ReportDevice& device)
{
    m_aborted = false;
    m_printing = true;
    m_page = 1;
    m_device = &device;
    const QSizeF size = device.pageSize();
    setPageSize(size.width(), size.height());
    resetSection();
    m_tabs.clear();
    m_savedTabs.clear();
    m_tabIndex = -1;
    m_painter = device.beginDocument();
    // A device that cannot start or finish its document counts as an aborted run, so that no caller
    // reports a report that never came out as done.
    m_aborted = m_painter == nullptr;
    bool ok = !m_aborted;
    if (ok) {
        preparePainter();
        home();
        if (m_beforePrint)
            m_beforePrint();
        updateStatus();
        if (m_onPrint && !m_aborted)
            m_onPrint();
        ok = !m_aborted && device.endDocument();
        if (!ok)
            m_aborted = true;
    }
    m_painter = nullptr;
    m_device = nullptr;
    m_printing = false;
    return ok;
}

void ReportEngine::abort()
{
    if (m_aborted)
        return;
    m_aborted = true;
    if (m_device)
        m_device->abortDocument();
    m_painter = nullptr;
}

void ReportEngine::newPage()
{
    if (!canPaint())
        return;
    if (!m_device->newPage()) {
        abort();
        return;
    }
    ++m_page;
    preparePainter();
    home();
    updateStatus();
}

void ReportEngine::setSection(double top, double bottom, double left, double right)
{
    m_section = QRectF(QPointF(left, top), QPointF(right, bottom));
}

void ReportEngine::resetSection()
{
    setSection(m_marginTop, m_pageHeight - m_marginBottom, m_marginLeft, m_pageWidth - m_marginRight);
}

int ReportEngine::linesLeft() const
{
    if (m_lineHeight <= 0)
        return 0;
    // A line that ends a hair below the bottom through rounding of inches still fits.
    const double lines = (sectionBottom() - lineTop()) / m_lineHeight + 1e-6;
    return lines <= 0 ? 0 : static_cast<int>(std::floor(lines));
}

void ReportEngine::gotoXY(double x, double y)
{
    m_x = x;
    m_y = y;
}

void ReportEngine::home()
{
    m_x = sectionLeft();
    m_y = sectionTop() + m_ascent;
    m_tabIndex = -1;
}

void ReportEngine::newLine()
{
    m_x = sectionLeft();
    m_y += m_lineHeight;
    m_tabIndex = -1;
}

void ReportEngine::setFont(const QString& family, double points)
{
    m_font = QFont(family);
    // Pixel sizes in engine units keep text measurement independent of any screen's resolution, and a
    // size this large is measured without hinting distortions.
    m_font.setPixelSize(qMax(1, qRound(points * kUnits / 72.0)));
    m_font.setHintingPreference(QFont::PreferNoHinting);
    m_font.setBold(false);
    m_font.setItalic(false);
    applyFont();
}

void ReportEngine::setBold(bool on)
{
    if (m_font.bold() == on)
        return;
    m_font.setBold(on);
    applyFont();
}

void ReportEngine::setItalic(bool on)
{
    if (m_font.italic() == on)
        return;
    m_font.setItalic(on);
    applyFont();
}

void ReportEngine::preparePainter()
{
    // Rules half a point wide: a hairline all but vanishes on a 1200-dot printer.
    m_painter->setPen(QPen(Qt::black, kUnits / 144.0));
    m_painter->setFont(m_font);
}

void ReportEngine::applyFont()
{
    m_metrics = QFontMetricsF(m_font);
    m_ascent = m_metrics.ascent() / kUnits;
    m_lineHeight = m_metrics.lineSpacing() / kUnits;
    if (m_painter)
        m_painter->setFont(m_font);
}

void ReportEngine::clearTabs()
{
    m_tabs.clear();
    m_tabIndex = -1;
}

void ReportEngine::setTab(double position, TabStop::Justify justify, double width, int margin, int boxLines, int shade)
{
    TabStop stop;
    if (position == kFollow)
        position = m_tabs.empty() ? sectionLeft() : m_tabs.back().end();
    stop.position = position;
    stop.justify = justify;
    stop.width = width;
    stop.margin = margin;
    stop.boxLines = boxLines;
    stop.shade = shade;
    m_tabs.push_back(stop);
}

void ReportEngine::saveTabs()
{
    m_savedTabs.push_back(m_tabs);
}

void ReportEngine::restoreTabs()
{
    if (m_savedTabs.empty())
        return;
    m_tabs = std::move(m_savedTabs.back());
    m_savedTabs.pop_back();
    m_tabIndex = -1;
}

void ReportEngine::tab()
{
    if (m_tabIndex + 1 >= static_cast<int>(m_tabs.size()))
        return;
    ++m_tabIndex;
    const TabStop& stop = m_tabs[static_cast<std::size_t>(m_tabIndex)];
    m_x = stop.position;
    drawTabDecoration(stop);
}

double ReportEngine::tabStart() const
{
    if (m_tabIndex < 0)
        return m_x;
    return m_tabs[static_cast<std::size_t>(m_tabIndex)].textStart();
}

double ReportEngine::tabWidth() const
{
    if (m_tabIndex < 0)
        return 0;
    return m_tabs[static_cast<std::size_t>(m_tabIndex)].textWidth();
}

void ReportEngine::drawTabDecoration(const TabStop& stop)
{
    if (!canPaint() || (stop.shade <= 0 && stop.boxLines == TabStop::NoBox))
        return;
    const QRectF cell(stop.position, lineTop(), stop.width, m_lineHeight);
    if (stop.shade > 0) {
        const int level = qBound(0, qRound(255.0 * (100 - qMin(stop.shade, 100)) / 100.0), 255);
        m_painter->fillRect(units(cell), QColor(level, level, level));
    }
    if (stop.boxLines & TabStop::BoxLeft)
        line(cell.left(), cell.top(), cell.left(), cell.bottom());
    if (stop.boxLines & TabStop::BoxRight)
        line(cell.right(), cell.top(), cell.right(), cell.bottom());
    if (stop.boxLines & TabStop::BoxTop)
        line(cell.left(), cell.top(), cell.right(), cell.top());
    if (stop.boxLines & TabStop::BoxBottom)
        line(cell.left(), cell.bottom(), cell.right(), cell.bottom());
}

double ReportEngine::textWidth(const QString& text) const
{
    return m_metrics.horizontalAdvance(text) / kUnits;
}

void ReportEngine::printSegment(const QString& text)
{
    double x = m_x;
    const double width = textWidth(text);
    if (m_tabIndex >= 0 && m_x == m_tabs[static_cast<std::size_t>(m_tabIndex)].position) {
        const TabStop& stop = m_tabs[static_cast<std::size_t>(m_tabIndex)];
        switch (stop.justify) {
        case TabStop::Justify::Left:
            x = stop.textStart();
            break;
        case TabStop::Justify::Center:
            x = stop.textStart() + (stop.textWidth() - width) / 2;
            break;
        case TabStop::Justify::Right:
            x = stop.textStart() + stop.textWidth() - width;
            break;
        }
    }
    if (canPaint() && !text.isEmpty())
        m_painter->drawText(units(x, m_y), text);
    m_x = x + width;
}

void ReportEngine::print(const QString& text)
{
    const QStringList parts = text.split(u'\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            tab();
        printSegment(parts[i]);
    }
}

void ReportEngine::println(const QString& text)
{
    print(text);
    newLine();
}

void ReportEngine::printRight(const QString& text, double x)
{
    const double width = textWidth(text);
    if (canPaint() && !text.isEmpty())
        m_painter->drawText(units(x - width, m_y), text);
    m_x = x;
}

void ReportEngine::printClipped(const QRectF& rect, double x, const QString& text)
{
    m_x = x + textWidth(text);
    if (!canPaint() || text.isEmpty() || rect.width() <= 0)
        return;
    m_painter->save();
    m_painter->setClipRect(units(rect));
    m_painter->drawText(units(x, m_y), text);
    m_painter->restore();
}

void ReportEngine::rectangle(double x1, double y1, double x2, double y2)
{
    if (!canPaint())
        return;
    m_painter->save();
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawRect(units(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized()));
    m_painter->restore();
}

void ReportEngine::line(double x1, double y1, double x2, double y2)
{
    if (canPaint())
        m_painter->drawLine(units(x1, y1), units(x2, y2));
}

QString ReportEngine::statusLine() const
{
    QString out;
    out.reserve(m_statusFormat.size() + 16);
    for (qsizetype i = 0; i < m_statusFormat.size(); ++i) {
        const QChar c = m_statusFormat[i];
        if (c == u'%' && i + 1 < m_statusFormat.size()) {
            const QChar next = m_statusFormat[i + 1];
            if (next == u'p' || next == u'P') {
                out += QString::number(m_page);
                ++i;
                continue;
            }
            if (next >= u'0' && next <= u'9') {
                const int line = next.unicode() - u'0';
                if (line < m_statusText.size())
                    out += m_statusText[line];
                ++i;
                continue;
            }
        }
        out += c == u'\r' ? QChar(u'\n') : c;
    }
    return out;
}

void ReportEngine::updateStatus()
{
    if (m_statusSink)
        m_statusSink(statusLine());
}

} // namespace quorvo
