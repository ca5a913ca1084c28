#include "datetime/DisplayFormatter.h"

namespace quorvo {

namespace {

constexpr int kMaxExpansionDepth = 2;

struct Fields
{
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
    int dayOfWeek;
    bool hasTime;
};

char16_t asciiLower(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + (u'a' - u'A')) : u;
}

void appendNumber(QString& out, int value, int minDigits)
{
    char16_t digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count < minDigits)
        digits[count++] = u'0';
    while (count > 0)
        out.append(QChar(digits[--count]));
}

// The end of text quoted from `at`, an opening quote; an unclosed quote runs to the end.
qsizetype quoteEnd(QStringView pattern, qsizetype at)
{
    qsizetype end = at + 1;
    while (end < pattern.size() && pattern[end] != pattern[at])
        ++end;
    return end;
}

bool startsWithIgnoringCase(QStringView pattern, qsizetype at, QLatin1String word)
{
    return pattern.sliced(at).startsWith(word, Qt::CaseInsensitive);
}

// An hour group counts on the 12-hour clock when a letter a follows it before the next h.
bool twelveHourFrom(QStringView pattern, qsizetype from)
{
    for (qsizetype i = from; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"' || c == u'\'') {
            i = quoteEnd(pattern, i);
            continue;
        }
        const char16_t lower = asciiLower(c);
        if (lower == u'a')
            return true;
        if (lower == u'h')
            return false;
    }
    return false;
}

class Writer
{
public:
    Writer(const FormatSettings& settings, const RegionalSettings& regional, const Fields& fields, QString& out)
        : m_settings(settings), m_regional(regional), m_fields(fields), m_out(out)
    {}

    void write(QStringView pattern, int depth);

private:
    void writeGroup(QStringView pattern, qsizetype end, char16_t letter, qsizetype count, char16_t lastLetter,
                    int depth);
    void expand(QStringView pattern, int depth)
    {
        if (depth < kMaxExpansionDepth)
            write(pattern, depth + 1);
    }
    qsizetype writeDesignator(QStringView pattern, qsizetype at);

    const FormatSettings& m_settings;
    const RegionalSettings& m_regional;
    const Fields& m_fields;
    QString& m_out;
};

void Writer::write(QStringView pattern, int depth)
{
    char16_t lastLetter = 0;
    qsizetype i = 0;
    const qsizetype size = pattern.size();
    while (i < size) {
        const QChar c = pattern[i];
        const char16_t lower = asciiLower(c);
        switch (lower) {
        case u'"':
        case u'\'': {
            const qsizetype end = quoteEnd(pattern, i);
            m_out.append(pattern.sliced(i + 1, end - i - 1));
            i = end < size ? end + 1 : size;
            break;
        }
        case u'/':
            m_out.append(m_settings.dateSeparator);
            ++i;
            break;
        case u':':
            m_out.append(m_settings.timeSeparator);
            ++i;
            break;
        case u'a':
            i = writeDesignator(pattern, i);
            lastLetter = u'a';
            break;
        case u'd':
        case u'm':
        case u'y':
        case u'h':
        case u'n':
        case u's':
        case u't':
        case u'c': {
            qsizetype end = i + 1;
            while (end < size && asciiLower(pattern[end]) == lower)
                ++end;
            writeGroup(pattern, end, lower, end - i, lastLetter, depth);
            lastLetter = lower;
            i = end;
            break;
        }
        default:
            m_out.append(c);
            ++i;
            break;
        }
    }
}

qsizetype Writer::writeDesignator(QStringView pattern, qsizetype at)
{
    const bool morning = m_fields.hour < 12;
    if (startsWithIgnoringCase(pattern, at, QLatin1String("am/pm"))) {
        m_out.append(pattern.sliced(morning ? at : at + 3, 2));
        return at + 5;
    }
    if (startsWithIgnoringCase(pattern, at, QLatin1String("a/p"))) {
        m_out.append(pattern[morning ? at : at + 2]);
        return at + 3;
    }
    if (startsWithIgnoringCase(pattern, at, QLatin1String("ampm"))) {
        m_out.append(morning ? m_settings.amDesignator : m_settings.pmDesignator);
        return at + 4;
    }
    m_out.append(pattern[at]);
    return at + 1;
}

void Writer::writeGroup(QStringView pattern, qsizetype end, char16_t letter, qsizetype count, char16_t lastLetter,
                        int depth)
{
    const int width = count >= 2 ? 2 : 1;
    switch (letter) {
    case u'd':
        if (count <= 2)
            appendNumber(m_out, m_fields.day, width);
        else if (count == 3)
            m_out.append(m_regional.shortDayNames[m_fields.dayOfWeek]);
        else if (count == 4)
            m_out.append(m_regional.longDayNames[m_fields.dayOfWeek]);
        else if (count == 5)
            expand(m_settings.shortDatePattern, depth);
        else
            expand(m_regional.longDatePattern, depth);
        break;
    case u'm':
        if (count <= 2)
            appendNumber(m_out, lastLetter == u'h' ? m_fields.minute : m_fields.month, width);
        else if (count == 3)
            m_out.append(m_regional.shortMonthNames[m_fields.month - 1]);
        else
            m_out.append(m_regional.longMonthNames[m_fields.month - 1]);
        break;
    case u'y':
        if (count <= 2)
            appendNumber(m_out, m_fields.year % 100, 2);
        else
            appendNumber(m_out, m_fields.year, 4);
        break;
    case u'h': {
        int hour = m_fields.hour;
        if (twelveHourFrom(pattern, end)) {
            hour %= 12;
            if (hour == 0)
                hour = 12;
        }
        appendNumber(m_out, hour, width);
        break;
    }
    case u'n':
        appendNumber(m_out, m_fields.minute, width);
        break;
    case u's':
        appendNumber(m_out, m_fields.second, width);
        break;
    case u't':
        expand(count == 1 ? m_regional.shortTimePattern : m_regional.longTimePattern, depth);
        break;
    case u'c':
        if (depth >= kMaxExpansionDepth)
            break;
        expand(m_settings.shortDatePattern, depth);
        if (m_fields.hasTime) {
            m_out.append(u' ');
            expand(m_regional.longTimePattern, depth);
        }
        break;
    default:
        break;
    }
}

} // namespace

QString DisplayFormatter::format(QStringView pattern, const DateTime& value) const
{
    QString out;
    out.reserve(pattern.size() + 16);
    appendTo(out, pattern, value);
    return out;
}

void DisplayFormatter::appendTo(QString& out, QStringView pattern, const DateTime& value) const
{
    const DateTime::Ymd date = value.ymd();
    const Fields fields{date.year,      date.month,     date.day,          value.hour(),
                        value.minute(), value.second(), value.dayOfWeek(), value.hasTimeOfDay()};
    Writer(m_settings, m_regional, fields, out).write(pattern, 0);
}

} // namespace quorvo
