#pragma once

#include "datetime/DateTime.h"
#include "datetime/FormatSettings.h"
#include "datetime/RegionalSettings.h"

#include <QString>
#include <QStringView>

namespace quorvo {

// Date-time values to text by display pattern. A pattern is read left to right; letters match in any
// case and a run of one letter is one group:
//   d dd            day of the month, without / with a leading zero
//   ddd dddd        short / long day name
//   ddddd           the whole date by the short date pattern in force
//   dddddd (6+)     the whole date by the long date pattern
//   m mm            month number, or the minutes when the last letter group before it was an h
//   mmm mmmm (4+)   short / long month name
//   y yy            last two digits of the year;  yyy yyyy (3+) the year in four digits
//   h hh (2+)       hour; 12-hour clock when a letter a follows before the next h
//   n nn, s ss      minutes, seconds
//   t, tt (2+)      the whole time by the short / long time pattern
//   c               the short date, then a blank and the long time unless the time is midnight
//   am/pm, a/p      the first or second half as written, by the hour; ampm the designator in force
//   /  :            the date / time separator in force
//   "…" '…'         copied without the quotes
// Anything else is copied. Groups that name a whole pattern expand at most two levels deep, so a
// pattern that refers to itself ends.
class DisplayFormatter
{
public:
    // Holds references: both must outlive the formatter.
    DisplayFormatter(const FormatSettings& settings, const RegionalSettings& regional)
        : m_settings(settings), m_regional(regional)
    {}

    QString format(QStringView pattern, const DateTime& value) const;
    void appendTo(QString& out, QStringView pattern, const DateTime& value) const;

private:
    const FormatSettings& m_settings;
    const RegionalSettings& m_regional;
};

} // namespace quorvo
