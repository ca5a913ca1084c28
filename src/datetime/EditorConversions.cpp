#include "datetime/EditorConversions.h"

#include "datetime/DateFormats.h"
#include "datetime/StoredForms.h"

namespace quorvo {

QString EditorConversions::dateToEditor(const DateFormats& formats, QStringView stored)
{
    const auto date = StoredForms::parseDate(stored);
    return date ? formats.format(u"ddddd", *date, formats.user()) : QString();
}

QString EditorConversions::timeToEditor(const DateFormats& formats, QStringView stored)
{
    const auto time = StoredForms::parseTime(stored);
    return time ? formats.format(u"t", *time, formats.user()) : QString();
}

QString EditorConversions::dateFromEditor(const DateFormats& formats, QStringView text)
{
    auto date = formats.parseDate(text, formats.user());
    if (!date)
        date = formats.parseDate(text, FormatSettings::working());
    return date ? StoredForms::dateText(*date) : QString();
}

QString EditorConversions::timeFromEditor(const DateFormats& formats, QStringView text)
{
    auto time = formats.parseTime(text, formats.user());
    if (!time)
        time = formats.parseTime(text, FormatSettings::working());
    return time ? StoredForms::timeText(*time) : QString();
}

} // namespace quorvo
