#pragma once

#include "datetime/DateTime.h"

#include <QWidget>

namespace quorvo {

class DateFormats;

// One month as a grid of seven columns by seven rows: a header row of short day names, then the days, the
// first of the month always in row 1 under its weekday. The selected cell is the calendar date's day; the
// user moves it with the mouse or the arrow keys, but never onto the header or a cell without a day.
// changed() follows every change of the calendar date, by the program or by the user.
//
// Dates stay within the years 1 to 9999: a move that would leave them does nothing.
class TCalendar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kColumns = 7;
    static constexpr int kRows = 7;

    // Holds the rules by reference (for today, the day names and the clock): they must outlive the calendar.
    explicit TCalendar(const DateFormats& formats, QWidget* parent = nullptr);

    DateTime calendarDate() const { return m_date; }
    // Rebuilds and raises changed(), even for the same date.
    void setCalendarDate(const DateTime& date);

    int day() const { return m_date.day(); }
    int month() const { return m_date.month(); }
    int year() const { return m_date.year(); }
    // Each ignores a value below 1, a value equal to the current one, a month above 12 and a day past the
    // month's end; otherwise it sets that part, clears useCurrentDate, rebuilds and raises changed(). A day
    // that the new month or year lacks becomes that month's last day.
    void setDay(int day);
    void setMonth(int month);
    void setYear(int year);

    // The day is kept when the month reached has it, else it becomes that month's last day.
    void nextMonth();
    void prevMonth();
    // 29 February first becomes the 28th (one changed() of its own), then the year moves.
    void nextYear();
    void prevYear();

    // 0 for Sunday to 6 for Saturday: the weekday of the first column.
    int startOfWeek() const { return m_startOfWeek; }
    void setStartOfWeek(int weekday);
    bool useCurrentDate() const { return m_useCurrentDate; }
    // True puts today back without raising changed().
    void setUseCurrentDate(bool use);
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    int gridLineWidth() const { return m_gridLineWidth; }
    void setGridLineWidth(int width);

    // Between -5 and 1: the day number that column 0 of row 1 would hold.
    int monthOffset() const { return m_monthOffset; }
    // The day names in row 0; below it the day number, or empty where the month has no day.
    QString cellText(int column, int row) const;
    int selectedColumn() const { return m_column; }
    int selectedRow() const { return m_row; }
    // As a click or an arrow key would: false, and nothing moves, for the header, an empty cell, or any
    // cell while read-only.
    bool selectCell(int column, int row);
    // The cell under a point, or (-1, -1).
    QPoint cellAt(const QPoint& position) const;
    QRect cellRect(int column, int row) const;

    QSize sizeHint() const override { return {413, 132}; }

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void changeDate(int year, int month, int day);
    void changeMonth(int delta);
    void rebuild();
    int columnWidth() const;
    int rowHeight() const;

    const DateFormats& m_formats;
    DateTime m_date;
    int m_startOfWeek = 0;
    bool m_useCurrentDate = true;
    bool m_readOnly = false;
    int m_gridLineWidth = 1;
    int m_monthOffset = 0;
    bool m_updating = false;
    int m_column = 0;
    int m_row = 1;
};

} // namespace quorvo
