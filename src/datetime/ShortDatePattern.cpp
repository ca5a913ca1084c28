#include "datetime/ShortDatePattern.h"

namespace quorvo {

namespace {

char16_t asciiLower(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + (u'a' - u'A')) : u;
}

} // namespace

DateFieldOrder ShortDatePattern::fieldOrder(QStringView pattern)
{
    for (const QChar c : pattern) {
        switch (asciiLower(c)) {
        case u'd':
            return DateFieldOrder::DayMonthYear;
        case u'y':
            return DateFieldOrder::YearMonthDay;
        case u'm':
            return DateFieldOrder::MonthDayYear;
        default:
            break;
        }
    }
    return DateFieldOrder::MonthDayYear;
}

QString ShortDatePattern::widen(const QString& pattern, QChar dateSeparator)
{
    if (pattern.contains(QLatin1String("yyyy"), Qt::CaseInsensitive))
        return pattern;
    QString widened = pattern;
    if (const qsizetype at = widened.indexOf(QLatin1String("yyy"), 0, Qt::CaseInsensitive); at >= 0)
        widened.insert(at, QLatin1String("Y"));
    else if (const qsizetype at2 = widened.indexOf(QLatin1String("yy"), 0, Qt::CaseInsensitive); at2 >= 0)
        widened.insert(at2, QLatin1String("YY"));
    else if (const qsizetype at1 = widened.indexOf(QLatin1Char('y'), 0, Qt::CaseInsensitive); at1 >= 0)
        widened.insert(at1, QLatin1String("YYY"));
    else
        widened.append(dateSeparator).append(QLatin1String("YYYY"));
    return widened.toLower();
}

QString ShortDatePattern::narrow(QStringView pattern)
{
    QString narrowed;
    narrowed.reserve(pattern.size());
    int days = 0;
    int months = 0;
    for (const QChar c : pattern) {
        const char16_t lower = asciiLower(c);
        if (lower == u'd' && days++ >= 2)
            continue;
        if (lower == u'm' && months++ >= 2)
            continue;
        narrowed.append(c);
    }
    return narrowed;
}

} // namespace quorvo
