#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

#include <array>

namespace quorvo {

// The system's regional date and time items, captured once at start-up. Patterns are held in the
// display-pattern letters of DisplayFormatter, not in Qt's. The short date pattern is the system's own,
// before it is widened to a four-digit year for the user settings, reduced to what typed dates can
// repeat (see QtPatternConverter::toShortDatePattern) since the task editor must read back what it shows.
struct RegionalSettings
{
    QString shortDatePattern;
    QChar dateSeparator;
    QString longDatePattern;
    QChar timeSeparator;
    QString amDesignator;
    QString pmDesignator;
    QString shortTimePattern;
    QString longTimePattern;
    std::array<QString, 12> shortMonthNames; // January first
    std::array<QString, 12> longMonthNames;
    std::array<QString, 7> shortDayNames; // Sunday first
    std::array<QString, 7> longDayNames;

    // What is used for every item the system does not supply: "m/d/yy", "/", "mmmm d, yyyy", ":", "am",
    // "pm", the time patterns "h:mm AMPM" and "h:mm:ss AMPM", and the English names.
    static RegionalSettings fallback();

    // Reads the items from a locale; the program passes QLocale::system(), which on Linux follows
    // LC_TIME and LANG. Items the locale leaves empty take the fallback.
    static RegionalSettings fromLocale(const QLocale& locale);

    // The time patterns are built rather than read: "hh" or "h" by the leading zero, ":mm" and for the
    // long form ":ss", then " AMPM" on a 12-hour clock.
    static QString buildTimePattern(bool leadingZero, bool twelveHourClock, bool withSeconds);

    friend bool operator==(const RegionalSettings&, const RegionalSettings&) = default;
};

} // namespace quorvo
