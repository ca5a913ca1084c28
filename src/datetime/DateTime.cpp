#include "datetime/DateTime.h"

#include <algorithm>

namespace quorvo {

namespace {

// Civil-calendar day arithmetic on 400-year eras (146 097 days each), counted from 1 March so that the
// leap day falls at the end of the year. Years here are at least 0 after the March shift, so plain
// division suffices.
constexpr int kEraDays = 146097;

constexpr int daysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int era = year / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * kEraDays + dayOfEra;
}

constexpr int kDayOfYearOne = daysFromCivil(1, 1, 1);
constexpr int kLastDay = daysFromCivil(9999, 12, 31) - kDayOfYearOne;

} // namespace

bool DateTime::isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DateTime::daysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool DateTime::isValidDate(int year, int month, int day)
{
    return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

std::optional<DateTime> DateTime::fromDate(int year, int month, int day)
{
    if (!isValidDate(year, month, day))
        return std::nullopt;
    return DateTime(daysFromCivil(year, month, day) - kDayOfYearOne, 0);
}

std::optional<DateTime> DateTime::fromTime(int hour, int minute, int second)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return DateTime(0, hour * 3600 + minute * 60 + second);
}

std::optional<DateTime> DateTime::fromQDate(const QDate& date)
{
    if (!date.isValid())
        return std::nullopt;
    return fromDate(date.year(), date.month(), date.day());
}

std::optional<DateTime> DateTime::fromQDateTime(const QDateTime& dateTime)
{
    const auto date = fromQDate(dateTime.date());
    const QTime time = dateTime.time();
    if (!date || !time.isValid())
        return std::nullopt;
    return DateTime(date->m_days, time.hour() * 3600 + time.minute() * 60 + time.second());
}

DateTime::Ymd DateTime::ymd() const
{
    const int days = m_days + kDayOfYearOne;
    const int era = days / kEraDays;
    const int dayOfEra = days - era * kEraDays;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const int month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

DateTime DateTime::addDays(int days) const
{
    const long long target = static_cast<long long>(m_days) + days;
    return DateTime(static_cast<int>(std::clamp<long long>(target, 0, kLastDay)), m_seconds);
}

QDate DateTime::toQDate() const
{
    const Ymd parts = ymd();
    return QDate(parts.year, parts.month, parts.day);
}

QTime DateTime::toQTime() const
{
    return QTime(hour(), minute(), second());
}

QDateTime DateTime::toQDateTime() const
{
    return QDateTime(toQDate(), toQTime());
}

} // namespace quorvo
