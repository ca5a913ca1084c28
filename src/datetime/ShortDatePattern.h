#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace quorvo {

enum class DateFieldOrder
{
    MonthDayYear,
    DayMonthYear,
    YearMonthDay,
};

// Rules on the short date pattern itself, apart from formatting with it.
class ShortDatePattern
{
public:
    // The order in which typed dates give their numbers: the first of the letters d, m and y (any case)
    // decides; a pattern with none of them reads month-day-year.
    static DateFieldOrder fieldOrder(QStringView pattern);

    // Gives the pattern a four-digit year so that the user settings never show a two-digit one: a
    // pattern with "yyyy" (any case) stays as it is; otherwise the first run of one to three y letters
    // is made four long, or, with no year at all, the separator and "yyyy" are appended. A changed
    // pattern is lower-cased as a whole. "M/d/yy" becomes "m/d/yyyy", "dd/MM" with "/" "dd/mm/yyyy".
    static QString widen(const QString& pattern, QChar dateSeparator);

    // Keeps only the first two letters d and the first two letters m (either case) of the whole pattern
    // and drops the others, so day and month names give way to numbers that date entry can read back:
    // "dd-mmm-yyyy" becomes "dd-mm-yyyy", "dddd" becomes "dd".
    static QString narrow(QStringView pattern);
};

} // namespace quorvo
