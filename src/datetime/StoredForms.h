#pragma once

#include "datetime/DateTime.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace quorvo {

// The task record's forms: DATE is "yyyymmdd" (zero-padded, so stored dates sort and compare as
// text) and TIME is "hh:nn" on the 24-hour clock with a literal colon whatever the time separator.
// An empty field means no date or no time, and so does one that does not read back.
class StoredForms
{
public:
    static constexpr qsizetype kDateLength = 8;
    static constexpr qsizetype kTimeLength = 5;

    static QString dateText(const DateTime& value);
    // Seconds are dropped, not rounded.
    static QString timeText(const DateTime& value);

    // Exactly eight ASCII digits that make a date of the years 1 to 9999; anything else (blank-filled,
    // damaged, 20241340) is no date. The year is taken as written, never moved into this century.
    static std::optional<DateTime> parseDate(QStringView stored);
    // Read as a typed time under the working settings, so "14:30" and also " 9:05" are times.
    static std::optional<DateTime> parseTime(QStringView stored);
};

} // namespace quorvo
