#include "store/TaskDisplay.h"

#include "datetime/DateFormats.h"
#include "datetime/FormatSettings.h"
#include "store/Windows1252.h"

namespace quorvo {

QString TaskDisplay::ShowPriority(std::string_view priority)
{
    if (priority.size() != 1)
        return {};
    switch (priority[0]) {
    case 'A':
    case 'a':
        return QStringLiteral("High");
    case 'B':
    case 'b':
        return QStringLiteral("Medium");
    case 'C':
    case 'c':
        return QStringLiteral("Low");
    default:
        return {};
    }
}

QString TaskDisplay::ShowDate(std::string_view date, const DateFormats& formats)
{
    // The stored "yyyymmdd" goes through the working settings' "mm/dd/yyyy", so a malformed date
    // fails exactly as typed text would.
    if (date.size() < 8)
        return {};
    const QString text = Windows1252::toUnicode(date.substr(4, 2)) + u'/' + Windows1252::toUnicode(date.substr(6, 2)) +
                         u'/' + Windows1252::toUnicode(date.substr(0, 4));
    const auto value = formats.parseDate(text, FormatSettings::working());
    if (!value)
        return {};
    return formats.format(u"dd mmm yyyy", *value, FormatSettings::working());
}

QString TaskDisplay::ShowTime(std::string_view time, const DateFormats& formats)
{
    const auto value = formats.parseTime(Windows1252::toUnicode(time), FormatSettings::working());
    if (!value)
        return {};
    return formats.format(u" hh:mmam/pm", *value, FormatSettings::working());
}

} // namespace quorvo
