#include "datetime/StoredForms.h"

#include "datetime/FormatSettings.h"
#include "datetime/TimeEntryParser.h"

namespace quorvo {

namespace {

void appendDigits(QString& out, int value, int digits)
{
    char16_t text[4];
    for (int i = digits - 1; i >= 0; --i) {
        text[i] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    }
    out.append(QStringView(text, digits));
}

// Digits at [from, from + count), or -1 when any of them is not an ASCII digit.
int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

QString StoredForms::dateText(const DateTime& value)
{
    const DateTime::Ymd date = value.ymd();
    QString text;
    text.reserve(kDateLength);
    appendDigits(text, date.year, 4);
    appendDigits(text, date.month, 2);
    appendDigits(text, date.day, 2);
    return text;
}

QString StoredForms::timeText(const DateTime& value)
{
    QString text;
    text.reserve(kTimeLength);
    appendDigits(text, value.hour(), 2);
    text.append(u':');
    appendDigits(text, value.minute(), 2);
    return text;
}

std::optional<DateTime> StoredForms::parseDate(QStringView stored)
{
    if (stored.size() != kDateLength)
        return std::nullopt;
    const int year = digitsAt(stored, 0, 4);
    const int month = digitsAt(stored, 4, 2);
    const int day = digitsAt(stored, 6, 2);
    if (year < 0 || month < 0 || day < 0)
        return std::nullopt;
    return DateTime::fromDate(year, month, day);
}

std::optional<DateTime> StoredForms::parseTime(QStringView stored)
{
    return TimeEntryParser::parse(stored, FormatSettings::working());
}

} // namespace quorvo
