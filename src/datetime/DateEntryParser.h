#pragma once

#include "datetime/DateTime.h"
#include "datetime/FormatSettings.h"
#include "datetime/ShortDatePattern.h"

#include <QStringView>

#include <optional>

namespace quorvo {

// Typed text to a date. The text is two or three numbers joined by the date separator, blanks allowed
// before each number and separator and at the end, and one more separator allowed after a third
// number. Two numbers are a day and month of the current year; three follow the order of the short
// date pattern. A year below 100 is moved into the current century. Anything else, and any date
// that does not exist, fails.
class DateEntryParser
{
public:
    // The numbers of a text that has the shape of a date, before they are given their meaning.
    struct Numbers
    {
        int first;
        int second;
        std::optional<int> third;
    };

    static std::optional<DateTime> parse(QStringView text, const FormatSettings& settings, int currentYear);

    // The two halves of parse(), for callers that find the current year costly: only a result that
    // needsCurrentYear() asks for it.
    static std::optional<Numbers> read(QStringView text, QChar dateSeparator);
    static bool needsCurrentYear(const Numbers& numbers, DateFieldOrder order);
    static std::optional<DateTime> resolve(const Numbers& numbers, DateFieldOrder order, int currentYear);
};

} // namespace quorvo
