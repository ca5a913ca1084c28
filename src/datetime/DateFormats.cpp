#include "datetime/DateFormats.h"

#include "datetime/DateEntryParser.h"
#include "datetime/DisplayFormatter.h"
#include "datetime/ShortDatePattern.h"
#include "datetime/TimeEntryParser.h"
#include "store/Clock.h"
#include "store/SystemClock.h"

#include <QLocale>

namespace quorvo {

namespace {

DateFormats* g_installed = nullptr;

} // namespace

DateFormats::DateFormats(RegionalSettings regional, const Clock& clock)
    : m_regional(std::move(regional)), m_clock(clock), m_user(FormatSettings::working())
{}

DateFormats& DateFormats::current()
{
    if (g_installed)
        return *g_installed;
    static DateFormats builtIn(RegionalSettings::fromLocale(QLocale::system()), SystemClock::instance());
    return builtIn;
}

DateFormats* DateFormats::install(DateFormats* formats)
{
    DateFormats* previous = g_installed;
    g_installed = formats;
    return previous;
}

void DateFormats::SaveUserDateFormats()
{
    m_user = FormatSettings{ShortDatePattern::widen(m_regional.shortDatePattern, m_regional.dateSeparator),
                            m_regional.dateSeparator, m_regional.timeSeparator, m_regional.amDesignator,
                            m_regional.pmDesignator};
    m_fullUserPattern.reset();
}

void DateFormats::UseUserDateFormats()
{
    m_userInForce = true;
}

void DateFormats::UseWorkingDateFormats()
{
    m_userInForce = false;
}

void DateFormats::narrowUserShortDatePattern()
{
    if (m_fullUserPattern)
        return;
    m_fullUserPattern = m_user.shortDatePattern;
    m_user.shortDatePattern = ShortDatePattern::narrow(m_user.shortDatePattern);
}

void DateFormats::restoreUserShortDatePattern()
{
    if (!m_fullUserPattern)
        return;
    m_user.shortDatePattern = std::move(*m_fullUserPattern);
    m_fullUserPattern.reset();
}

std::optional<DateTime> DateFormats::parseDate(QStringView text, const FormatSettings& settings) const
{
    // The clock is read only when the text leaves the year or the century open.
    const auto numbers = DateEntryParser::read(text, settings.dateSeparator);
    if (!numbers)
        return std::nullopt;
    const DateFieldOrder order = ShortDatePattern::fieldOrder(settings.shortDatePattern);
    const int currentYear = DateEntryParser::needsCurrentYear(*numbers, order) ? today().year() : 0;
    return DateEntryParser::resolve(*numbers, order, currentYear);
}

std::optional<DateTime> DateFormats::parseTime(QStringView text, const FormatSettings& settings) const
{
    return TimeEntryParser::parse(text, settings);
}

QString DateFormats::format(QStringView pattern, const DateTime& value, const FormatSettings& settings) const
{
    return DisplayFormatter(settings, m_regional).format(pattern, value);
}

DateTime DateFormats::today() const
{
    return DateTime::fromQDate(m_clock.today()).value_or(DateTime());
}

DateTime DateFormats::now() const
{
    return DateTime::fromQDateTime(m_clock.now()).value_or(DateTime());
}

} // namespace quorvo
