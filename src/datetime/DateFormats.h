#pragma once

#include "datetime/DateTime.h"
#include "datetime/FormatSettings.h"
#include "datetime/RegionalSettings.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace quorvo {

class Clock;

// The program's date and time rules with the format settings in force. The working settings are in
// force except while the task editor is shown, when the task commands put the user settings in force;
// every parse and "ddddd" display reads whichever set is in force at that moment.
//
// One instance serves the whole program (current()); tests install their own, built from hand-made
// regional settings and a fixed clock. Everything runs on the user-interface thread.
class DateFormats
{
public:
    // Holds the clock by reference: it must outlive this object.
    DateFormats(RegionalSettings regional, const Clock& clock);
    DateFormats(const DateFormats&) = delete;
    DateFormats& operator=(const DateFormats&) = delete;

    // The instance the program uses: the installed one, or else one built on first use from
    // QLocale::system() and the system clock.
    static DateFormats& current();
    // Makes `formats` the program's instance (nullptr returns to the built-in one) and returns the
    // one installed before, so a test can put it back.
    static DateFormats* install(DateFormats* formats);

    // Takes the system's five items as the user settings, with the short date pattern widened to a
    // four-digit year. Called once, first thing when the main window is created.
    void SaveUserDateFormats();
    void UseUserDateFormats();
    void UseWorkingDateFormats();
    bool userDateFormatsInForce() const { return m_userInForce; }

    // While the task editor is open its date field shows and accepts numbers only: the saved user
    // pattern keeps at most two letters d and two letters m until restored. Narrowing twice keeps the
    // first full pattern; restoring without narrowing does nothing.
    void narrowUserShortDatePattern();
    void restoreUserShortDatePattern();

    const FormatSettings& inForce() const { return m_userInForce ? m_user : FormatSettings::working(); }
    const FormatSettings& user() const { return m_user; }
    const RegionalSettings& regional() const { return m_regional; }
    const Clock& clock() const { return m_clock; }

    // Under the settings in force. Callers test with IsValidDate or IsValidTime and parse only text
    // that passed; neither reports anything.
    bool IsValidDate(QStringView text) const { return parseDate(text).has_value(); }
    bool IsValidTime(QStringView text) const { return parseTime(text).has_value(); }
    std::optional<DateTime> parseDate(QStringView text) const { return parseDate(text, inForce()); }
    std::optional<DateTime> parseTime(QStringView text) const { return parseTime(text, inForce()); }
    QString format(QStringView pattern, const DateTime& value) const { return format(pattern, value, inForce()); }

    // Under a given set, whatever is in force.
    std::optional<DateTime> parseDate(QStringView text, const FormatSettings& settings) const;
    std::optional<DateTime> parseTime(QStringView text, const FormatSettings& settings) const;
    QString format(QStringView pattern, const DateTime& value, const FormatSettings& settings) const;

    // The clock's date at midnight, and its date and time of day.
    DateTime today() const;
    DateTime now() const;

private:
    RegionalSettings m_regional;
    const Clock& m_clock;
    FormatSettings m_user; // the working settings until SaveUserDateFormats
    std::optional<QString> m_fullUserPattern;
    bool m_userInForce = false;
};

} // namespace quorvo
