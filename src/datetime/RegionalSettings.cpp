#include "datetime/RegionalSettings.h"

#include "datetime/QtPatternConverter.h"

namespace quorvo {

namespace {

void takeIfPresent(QString& item, QString value)
{
    if (!value.isEmpty())
        item = std::move(value);
}

} // namespace

RegionalSettings RegionalSettings::fallback()
{
    RegionalSettings settings;
    settings.shortDatePattern = QStringLiteral("m/d/yy");
    settings.dateSeparator = QLatin1Char('/');
    settings.longDatePattern = QStringLiteral("mmmm d, yyyy");
    settings.timeSeparator = QLatin1Char(':');
    settings.amDesignator = QStringLiteral("am");
    settings.pmDesignator = QStringLiteral("pm");
    settings.shortTimePattern = buildTimePattern(false, true, false);
    settings.longTimePattern = buildTimePattern(false, true, true);
    settings.shortMonthNames = {QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"),
                                QStringLiteral("Apr"), QStringLiteral("May"), QStringLiteral("Jun"),
                                QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"),
                                QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    settings.longMonthNames = {QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
                               QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
                               QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
                               QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    settings.shortDayNames = {QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                              QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                              QStringLiteral("Sat")};
    settings.longDayNames = {QStringLiteral("Sunday"),    QStringLiteral("Monday"),   QStringLiteral("Tuesday"),
                             QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                             QStringLiteral("Saturday")};
    return settings;
}

RegionalSettings RegionalSettings::fromLocale(const QLocale& locale)
{
    RegionalSettings settings = fallback();
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString longDate = locale.dateFormat(QLocale::LongFormat);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);

    if (const auto separator = QtPatternConverter::dateSeparator(shortDate))
        settings.dateSeparator = *separator;
    if (const auto separator = QtPatternConverter::timeSeparator(shortTime))
        settings.timeSeparator = *separator;
    if (!shortDate.isEmpty())
        settings.shortDatePattern =
            QtPatternConverter::toShortDatePattern(shortDate, settings.dateSeparator, settings.timeSeparator);
    if (!longDate.isEmpty())
        settings.longDatePattern =
            QtPatternConverter::toDisplayPattern(longDate, settings.dateSeparator, settings.timeSeparator);

    // An empty time format leaves both flags at 0: no leading zero, 12-hour clock.
    const bool leadingZero = QtPatternConverter::hasLeadingZeroHour(shortTime);
    const bool twelveHour = shortTime.isEmpty() || QtPatternConverter::isTwelveHourClock(shortTime);
    settings.shortTimePattern = buildTimePattern(leadingZero, twelveHour, false);
    settings.longTimePattern = buildTimePattern(leadingZero, twelveHour, true);

    takeIfPresent(settings.amDesignator, locale.amText());
    takeIfPresent(settings.pmDesignator, locale.pmText());
    for (int month = 1; month <= 12; ++month) {
        takeIfPresent(settings.shortMonthNames[month - 1], locale.monthName(month, QLocale::ShortFormat));
        takeIfPresent(settings.longMonthNames[month - 1], locale.monthName(month, QLocale::LongFormat));
    }
    // Qt counts the days from Monday (1) to Sunday (7); the tables start with Sunday.
    for (int day = 0; day < 7; ++day) {
        const int qtDay = day == 0 ? 7 : day;
        takeIfPresent(settings.shortDayNames[day], locale.dayName(qtDay, QLocale::ShortFormat));
        takeIfPresent(settings.longDayNames[day], locale.dayName(qtDay, QLocale::LongFormat));
    }
    return settings;
}

QString RegionalSettings::buildTimePattern(bool leadingZero, bool twelveHourClock, bool withSeconds)
{
    QString pattern = leadingZero ? QStringLiteral("hh") : QStringLiteral("h");
    pattern += withSeconds ? QStringLiteral(":mm:ss") : QStringLiteral(":mm");
    if (twelveHourClock)
        pattern += QStringLiteral(" AMPM");
    return pattern;
}

} // namespace quorvo
