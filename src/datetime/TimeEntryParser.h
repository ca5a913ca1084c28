#pragma once

#include "datetime/DateTime.h"
#include "datetime/FormatSettings.h"

#include <QStringView>

#include <optional>

namespace quorvo {

// Typed text to a time of day (on day 0). The text is an hour, optionally the time separator and the
// minutes, after them optionally the separator and the seconds, then optionally a designator, with
// blanks allowed before each part and at the end. Designators are matched in any letter case, in this
// order: the AM designator in force, "AM", the PM designator in force, "PM". With a designator the
// hour must be 1 to 12, 12 counting as 0; PM adds 12 hours.
class TimeEntryParser
{
public:
    static std::optional<DateTime> parse(QStringView text, const FormatSettings& settings);
};

} // namespace quorvo
