#pragma once

#include "datetime/RegionalSettings.h"

namespace quorvo {

// Hand-made regional settings for the three field orders, English names throughout.
struct RegionalFixtures
{
    // "m/d/yy", 12-hour clock with "AM"/"PM", like a US system.
    static RegionalSettings monthDayYear()
    {
        RegionalSettings settings = RegionalSettings::fallback();
        settings.longDatePattern = QStringLiteral("dddd, mmmm d, yyyy");
        settings.amDesignator = QStringLiteral("AM");
        settings.pmDesignator = QStringLiteral("PM");
        return settings;
    }

    // "dd/mm/yyyy", 24-hour clock with leading zero.
    static RegionalSettings dayMonthYear()
    {
        RegionalSettings settings = withShortDate(QStringLiteral("dd/mm/yyyy"), u'/');
        settings.longDatePattern = QStringLiteral("dd mmmm yyyy");
        settings.shortTimePattern = RegionalSettings::buildTimePattern(true, false, false);
        settings.longTimePattern = RegionalSettings::buildTimePattern(true, false, true);
        return settings;
    }

    // "yyyy-mm-dd", 24-hour clock with leading zero.
    static RegionalSettings yearMonthDay()
    {
        RegionalSettings settings = dayMonthYear();
        settings.shortDatePattern = QStringLiteral("yyyy-mm-dd");
        settings.dateSeparator = u'-';
        return settings;
    }

    static RegionalSettings withShortDate(const QString& pattern, QChar separator)
    {
        RegionalSettings settings = RegionalSettings::fallback();
        settings.shortDatePattern = pattern;
        settings.dateSeparator = separator;
        return settings;
    }
};

} // namespace quorvo
