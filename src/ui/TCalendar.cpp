#include "ui/TCalendar.h"

#include "datetime/DateFormats.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace quorvo {

TCalendar::TCalendar(const DateFormats& formats, QWidget* parent) : QWidget(parent), m_formats(formats)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_date = m_formats.today();
    rebuild();
}

void TCalendar::setCalendarDate(const DateTime& date)
{
    m_date = date;
    rebuild();
    emit changed();
}

void TCalendar::changeDate(int year, int month, int day)
{
    // The callers have checked the year and month; the day is held to the month's end.
    day = std::min(day, DateTime::daysInMonth(year, month));
    m_date = DateTime::fromDate(year, month, day)->withTimeOf(m_date);
    m_useCurrentDate = false;
    rebuild();
    emit changed();
}

void TCalendar::setDay(int day)
{
    if (day < 1 || day == this->day() || day > DateTime::daysInMonth(year(), month()))
        return;
    changeDate(year(), month(), day);
}

void TCalendar::setMonth(int month)
{
    if (month < 1 || month > 12 || month == this->month())
        return;
    changeDate(year(), month, day());
}

void TCalendar::setYear(int year)
{
    if (year < DateTime::kMinYear || year > DateTime::kMaxYear || year == this->year())
        return;
    changeDate(year, month(), day());
}

void TCalendar::changeMonth(int delta)
{
    const DateTime::Ymd current = m_date.ymd();
    // From the month's last day one forward, or from its first one back: the neighbouring month.
    const DateTime edge =
        delta > 0 ? *DateTime::fromDate(current.year, current.month, DateTime::daysInMonth(current.year, current.month))
                  : *DateTime::fromDate(current.year, current.month, 1);
    const DateTime reached = edge.addDays(delta > 0 ? 1 : -1);
    // addDays holds to the calendar's ends, so a move past them lands on the same month.
    if (reached.year() == current.year && reached.month() == current.month)
        return;
    const int length = DateTime::daysInMonth(reached.year(), reached.month());
    const int day = current.day < length ? current.day : length;
    setCalendarDate(DateTime::fromDate(reached.year(), reached.month(), day)->withTimeOf(m_date));
}

void TCalendar::nextMonth()
{
    changeMonth(1);
}

void TCalendar::prevMonth()
{
    changeMonth(-1);
}

void TCalendar::nextYear()
{
    if (year() >= DateTime::kMaxYear)
        return;
    if (DateTime::isLeapYear(year()) && month() == 2 && day() == 29)
        setDay(28);
    setYear(year() + 1);
}

void TCalendar::prevYear()
{
    if (year() <= DateTime::kMinYear)
        return;
    if (DateTime::isLeapYear(year()) && month() == 2 && day() == 29)
        setDay(28);
    setYear(year() - 1);
}

void TCalendar::setStartOfWeek(int weekday)
{
    weekday = std::clamp(weekday, 0, 6);
    if (weekday == m_startOfWeek)
        return;
    m_startOfWeek = weekday;
    rebuild();
}

void TCalendar::setUseCurrentDate(bool use)
{
    if (use == m_useCurrentDate)
        return;
    m_useCurrentDate = use;
    if (use) {
        m_date = m_formats.today();
        rebuild();
    }
}

void TCalendar::setGridLineWidth(int width)
{
    m_gridLineWidth = std::max(width, 0);
    update();
}

void TCalendar::rebuild()
{
    m_updating = true;
    const DateTime first = *DateTime::fromDate(year(), month(), 1);
    const int weekdayOfFirst = first.dayOfWeek() + 1; // 1 for Sunday to 7 for Saturday
    const int before = (weekdayOfFirst - m_startOfWeek + 7) % 7;
    m_monthOffset = before == 0 ? -5 : 2 - before;
    const int fromOffset = day() - m_monthOffset;
    selectCell(fromOffset % 7, fromOffset / 7 + 1);
    m_updating = false;
    update();
}

QString TCalendar::cellText(int column, int row) const
{
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return {};
    if (row == 0)
        return m_formats.regional().shortDayNames[(m_startOfWeek + column) % 7];
    const int day = m_monthOffset + column + (row - 1) * 7;
    if (day < 1 || day > DateTime::daysInMonth(year(), month()))
        return {};
    return QString::number(day);
}

bool TCalendar::selectCell(int column, int row)
{
    if (row < 1 || row >= kRows || column < 0 || column >= kColumns)
        return false;
    if ((!m_updating && m_readOnly) || cellText(column, row).isEmpty())
        return false;
    if (column != m_column || row != m_row) {
        update(cellRect(m_column, m_row));
        m_column = column;
        m_row = row;
        update(cellRect(m_column, m_row));
    }
    if (!m_updating)
        setDay(m_monthOffset + column + (row - 1) * 7);
    return true;
}

int TCalendar::columnWidth() const
{
    return std::max((width() - 6 * m_gridLineWidth) / kColumns, 1);
}

int TCalendar::rowHeight() const
{
    return std::max((height() - 6 * m_gridLineWidth) / kRows, 1);
}

QRect TCalendar::cellRect(int column, int row) const
{
    return {column * (columnWidth() + m_gridLineWidth), row * (rowHeight() + m_gridLineWidth), columnWidth(),
            rowHeight()};
}

QPoint TCalendar::cellAt(const QPoint& position) const
{
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            if (cellRect(column, row).contains(position))
                return {column, row};
    return {-1, -1};
}

void TCalendar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    // The grid lines show through between the cells.
    painter.fillRect(rect(), colours.color(QPalette::Mid));
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QRect cell = cellRect(column, row);
            QPalette::ColorRole background = QPalette::Base;
            QPalette::ColorRole text = QPalette::Text;
            if (row == 0) {
                background = QPalette::Button;
                text = QPalette::ButtonText;
            } else if (column == m_column && row == m_row) {
                // The selection keeps its colours while the grid has the focus.
                background = QPalette::Highlight;
                text = QPalette::HighlightedText;
            }
            painter.fillRect(cell, colours.color(QPalette::Active, background));
            painter.setPen(colours.color(QPalette::Active, text));
            painter.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, cellText(column, row));
        }
    }
    if (hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::Active, QPalette::HighlightedText), 1, Qt::DotLine));
        painter.drawRect(cellRect(m_column, m_row).adjusted(1, 1, -2, -2));
    }
    const int right = kColumns * (columnWidth() + m_gridLineWidth);
    const int bottom = kRows * (rowHeight() + m_gridLineWidth);
    painter.fillRect(right, 0, width() - right, height(), colours.color(QPalette::Window));
    painter.fillRect(0, bottom, width(), height() - bottom, colours.color(QPalette::Window));
}

void TCalendar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint cell = cellAt(event->position().toPoint());
        selectCell(cell.x(), cell.y());
    }
    QWidget::mousePressEvent(event);
}

void TCalendar::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Picks the day like a single click; choosing it for good is left to the window's buttons.
    mousePressEvent(event);
}

void TCalendar::keyPressEvent(QKeyEvent* event)
{
    int column = m_column;
    int row = m_row;
    switch (event->key()) {
    case Qt::Key_Left:
        --column;
        break;
    case Qt::Key_Right:
        ++column;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Home:
        column = 0;
        break;
    case Qt::Key_End:
        column = kColumns - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    selectCell(column, row);
    event->accept();
}

} // namespace quorvo
