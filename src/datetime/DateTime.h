#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <compare>
#include <optional>

namespace quorvo {

// A calendar date with a time of day to the second, exact over the years 1 to 9999 of the proleptic
// Gregorian calendar. The date part is a day number (0 is 1 January of year 1), the time part seconds
// since midnight. A time on its own (what time-entry parsing gives) sits on day 0.
class DateTime
{
public:
    struct Ymd
    {
        int year;
        int month;
        int day;
    };

    static constexpr int kMinYear = 1;
    static constexpr int kMaxYear = 9999;
    static constexpr int kSecondsPerDay = 86400;

    constexpr DateTime() = default;

    // Empty when the date does not exist or lies outside the years 1 to 9999.
    static std::optional<DateTime> fromDate(int year, int month, int day);
    // Empty unless hour 0-23, minute 0-59, second 0-59. The date part is day 0.
    static std::optional<DateTime> fromTime(int hour, int minute, int second = 0);
    static std::optional<DateTime> fromQDate(const QDate& date);
    // Milliseconds are dropped.
    static std::optional<DateTime> fromQDateTime(const QDateTime& dateTime);

    static bool isLeapYear(int year);
    static int daysInMonth(int year, int month);
    static bool isValidDate(int year, int month, int day);

    Ymd ymd() const;
    int year() const { return ymd().year; }
    int month() const { return ymd().month; }
    int day() const { return ymd().day; }
    int hour() const { return m_seconds / 3600; }
    int minute() const { return m_seconds / 60 % 60; }
    int second() const { return m_seconds % 60; }
    // 0 is Sunday, 6 is Saturday: the order of the day-name tables.
    int dayOfWeek() const { return (m_days + 1) % 7; }

    int dayNumber() const { return m_days; }
    int secondsOfDay() const { return m_seconds; }
    bool hasTimeOfDay() const { return m_seconds != 0; }

    // The same date at midnight.
    DateTime date() const { return DateTime(m_days, 0); }
    // This date at the time of day of another value.
    DateTime withTimeOf(const DateTime& time) const { return DateTime(m_days, time.m_seconds); }
    // Whole days later (or earlier for a negative count); the time of day stays. The result is held
    // to 1 January of year 1 and 31 December 9999, the calendar's ends.
    DateTime addDays(int days) const;

    QDate toQDate() const;
    QTime toQTime() const;
    QDateTime toQDateTime() const;

    friend constexpr bool operator==(const DateTime&, const DateTime&) = default;
    friend constexpr auto operator<=>(const DateTime&, const DateTime&) = default;

private:
    constexpr DateTime(int days, int seconds) : m_days(days), m_seconds(seconds) {}

    int m_days = 0;
    int m_seconds = 0;
};

} // namespace quorvo
