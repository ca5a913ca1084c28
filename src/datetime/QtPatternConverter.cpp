#include "datetime/QtPatternConverter.h"

#include <QList>

namespace quorvo {

namespace {

// One piece of a Qt format: a field (a run of one format letter, or the AM/PM marker) or literal text
// with its quotes already removed.
struct Token
{
    QChar letter; // null for literal text; 'a' for the AM/PM marker
    qsizetype count = 0;
    QString literal;

    bool isField() const { return !letter.isNull(); }
    bool isDateField() const { return letter == u'd' || letter == u'M' || letter == u'y'; }
    bool isHourField() const { return letter == u'h' || letter == u'H'; }
};

bool isQtFieldLetter(QChar c)
{
    switch (c.unicode()) {
    case u'd':
    case u'M':
    case u'y':
    case u'h':
    case u'H':
    case u'm':
    case u's':
    case u'z':
    case u't':
        return true;
    default:
        return false;
    }
}

// Qt's format grammar: runs of format letters, "AP"/"ap"/"A"/"a", text in single quotes, and "''" for a
// quote character inside or outside quotes. An unclosed quote runs to the end.
QList<Token> tokenize(QStringView format)
{
    QList<Token> tokens;
    auto appendLiteral = [&tokens](QChar c) {
        if (tokens.isEmpty() || tokens.last().isField())
            tokens.append(Token{});
        tokens.last().literal.append(c);
    };
    qsizetype i = 0;
    const qsizetype size = format.size();
    while (i < size) {
        const QChar c = format[i];
        if (c == u'\'') {
            if (i + 1 < size && format[i + 1] == u'\'') {
                appendLiteral(c);
                i += 2;
                continue;
            }
            ++i;
            while (i < size) {
                if (format[i] == u'\'') {
                    if (i + 1 < size && format[i + 1] == u'\'') {
                        appendLiteral(format[i]);
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                appendLiteral(format[i]);
                ++i;
            }
            continue;
        }
        if (c == u'a' || c == u'A') {
            const bool pair = i + 1 < size && (format[i + 1] == u'p' || format[i + 1] == u'P');
            tokens.append(Token{QLatin1Char('a'), 1, {}});
            i += pair ? 2 : 1;
            continue;
        }
        if (isQtFieldLetter(c)) {
            qsizetype end = i + 1;
            while (end < size && format[end] == c)
                ++end;
            tokens.append(Token{c, end - i, {}});
            i = end;
            continue;
        }
        appendLiteral(c);
        ++i;
    }
    return tokens;
}

bool isSeparatorCandidate(QChar c)
{
    return (c.isPunct() || c.isSymbol()) && c != u'\'' && c != u'"';
}

// Invisible direction marks and the like only steer how text is laid out; typed dates never hold them.
bool isFormatMark(QChar c)
{
    return c.category() == QChar::Other_Format;
}

bool isBlankText(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c != u' ' && c != QChar::Nbsp && !isFormatMark(c))
            return false;
    }
    return true;
}

void appendRun(QString& out, char16_t letter, qsizetype count)
{
    out.append(QString(count, QChar(letter)));
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// Literal text that the display patterns would read as something else goes inside double quotes; a
// double quote itself inside single quotes. Format marks are left out.
void appendLiteral(QString& out, const QString& text, QChar dateSeparator, QChar timeSeparator)
{
    QString quoted;
    auto flush = [&]() {
        if (quoted.isEmpty())
            return;
        out.append(u'"').append(quoted).append(u'"');
        quoted.clear();
    };
    for (const QChar c : text) {
        if (isFormatMark(c))
            continue;
        if (c == u'"') {
            flush();
            out.append(QLatin1String("'\"'"));
        } else if (isAsciiLetter(c) || c == u'\'' || (c == u'/' && dateSeparator != u'/') ||
                   (c == u':' && timeSeparator != u':')) {
            quoted.append(c);
        } else {
            flush();
            out.append(c);
        }
    }
    flush();
}

void appendField(QString& out, const Token& token)
{
    switch (token.letter.unicode()) {
    case u'd':
        appendRun(out, u'd', token.count);
        break;
    case u'M':
        appendRun(out, u'm', token.count);
        break;
    case u'y':
        appendRun(out, u'y', token.count);
        break;
    case u'h':
    case u'H':
        appendRun(out, u'h', qMin<qsizetype>(token.count, 2));
        break;
    case u'm':
        appendRun(out, u'n', qMin<qsizetype>(token.count, 2));
        break;
    case u's':
        appendRun(out, u's', qMin<qsizetype>(token.count, 2));
        break;
    case u'a':
        out.append(QLatin1String("ampm"));
        break;
    default: // time zone and milliseconds have no display letter
        break;
    }
}

// Literal text between date fields that typed dates can repeat: one separator with blanks around it, or
// with a blank separator, blanks alone.
bool isPlainSeparator(const QString& literal, QChar separator)
{
    int separators = 0;
    for (const QChar c : literal) {
        if (isFormatMark(c) || (c == u' ' && separator != u' '))
            continue;
        if (c != separator)
            return false;
        ++separators;
    }
    return separator == u' ' ? separators > 0 : separators == 1;
}

} // namespace

QString QtPatternConverter::toDisplayPattern(QStringView qtFormat, QChar dateSeparator, QChar timeSeparator)
{
    QString out;
    out.reserve(qtFormat.size() + 4);
    for (const Token& token : tokenize(qtFormat)) {
        if (token.isField())
            appendField(out, token);
        else
            appendLiteral(out, token.literal, dateSeparator, timeSeparator);
    }
    return out;
}

QString QtPatternConverter::toShortDatePattern(QStringView qtFormat, QChar dateSeparator, QChar timeSeparator)
{
    const QList<Token> tokens = tokenize(qtFormat);
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens[i].isDateField()) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    if (first < 0)
        return toDisplayPattern(qtFormat, dateSeparator, timeSeparator);

    QString out;
    for (qsizetype i = first; i <= last; ++i) {
        const Token& token = tokens[i];
        if (token.isField())
            appendField(out, token);
        else if (isPlainSeparator(token.literal, dateSeparator))
            appendLiteral(out, token.literal, dateSeparator, timeSeparator);
        else
            appendLiteral(out, QString(dateSeparator), dateSeparator, timeSeparator);
    }
    // A closing separator, as in "yyyy. MM. dd.", may be typed again; other closing text may not.
    const qsizetype next = last + 1;
    if (next < tokens.size() && !tokens[next].isField() && dateSeparator != u' ' &&
        isPlainSeparator(tokens[next].literal, dateSeparator))
        appendLiteral(out, tokens[next].literal, dateSeparator, timeSeparator);
    return out;
}

std::optional<QChar> QtPatternConverter::dateSeparator(QStringView qtFormat)
{
    const QList<Token> tokens = tokenize(qtFormat);
    bool blankBetweenFields = false;
    bool afterDateField = false;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.isField()) {
            afterDateField = token.isDateField();
            continue;
        }
        const bool beforeDateField = i + 1 < tokens.size() && tokens[i + 1].isDateField();
        if (!afterDateField || !beforeDateField)
            continue;
        for (const QChar c : token.literal) {
            if (isSeparatorCandidate(c))
                return c;
        }
        blankBetweenFields = blankBetweenFields || isBlankText(token.literal);
    }
    if (blankBetweenFields)
        return QLatin1Char(' ');
    return std::nullopt;
}

std::optional<QChar> QtPatternConverter::timeSeparator(QStringView qtFormat)
{
    const QList<Token> tokens = tokenize(qtFormat);
    for (qsizetype i = 0; i + 2 < tokens.size(); ++i) {
        if (!tokens[i].isHourField() || tokens[i + 1].isField() || tokens[i + 2].letter != u'm')
            continue;
        for (const QChar c : tokens[i + 1].literal) {
            if (isSeparatorCandidate(c))
                return c;
        }
    }
    return std::nullopt;
}

bool QtPatternConverter::hasLeadingZeroHour(QStringView qtFormat)
{
    for (const Token& token : tokenize(qtFormat)) {
        if (token.isHourField())
            return token.count >= 2;
    }
    return false;
}

bool QtPatternConverter::isTwelveHourClock(QStringView qtFormat)
{
    bool marker = false;
    bool twelveHourField = false;
    for (const Token& token : tokenize(qtFormat)) {
        marker = marker || token.letter == u'a';
        twelveHourField = twelveHourField || token.letter == u'h';
    }
    return marker && twelveHourField;
}

} // namespace quorvo
