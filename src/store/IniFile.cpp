#include "store/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdint>
#include <limits>
#include <utility>

namespace quorvo {

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// Windows-1252 case folding: ASCII, the Latin-1 letters and the four pairs in 0x80-0x9F.
unsigned char foldCase(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldCase(static_cast<unsigned char>(a[i])) != foldCase(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QByteArrayView withoutLineEnd(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

bool hasLineEnd(const QByteArray& line)
{
    return line.endsWith('\n');
}

struct ParsedLine
{
    enum Kind
    {
        Other,
        Section,
        Key
    };
    Kind kind = Other;
    QByteArrayView name;
    QByteArrayView value;
    qsizetype valueOffset = 0; // where the value begins in the line, after "=" and any blanks
};

ParsedLine parseLine(const QByteArray& line, bool firstLine)
{
    ParsedLine parsed;
    QByteArrayView body = withoutLineEnd(line);
    qsizetype offset = 0;
    if (firstLine && body.startsWith(kUtf8Bom)) {
        body = body.sliced(kUtf8Bom.size());
        offset = kUtf8Bom.size();
    }
    const QByteArrayView content = trimBlanks(body);
    if (content.isEmpty() || content.front() == ';')
        return parsed;
    if (content.front() == '[') {
        const QByteArrayView inside = content.sliced(1);
        const qsizetype close = inside.indexOf(']');
        parsed.kind = ParsedLine::Section;
        parsed.name = trimBlanks(close < 0 ? inside : inside.first(close));
        return parsed;
    }
    const qsizetype equals = body.indexOf('=');
    if (equals < 0)
        return parsed;
    parsed.name = trimBlanks(body.first(equals));
    if (parsed.name.isEmpty())
        return parsed;
    parsed.kind = ParsedLine::Key;
    const QByteArrayView afterEquals = body.sliced(equals + 1);
    qsizetype blanks = 0;
    while (blanks < afterEquals.size() && isBlank(afterEquals[blanks]))
        ++blanks;
    parsed.value = trimBlanks(afterEquals);
    parsed.valueOffset = offset + equals + 1 + blanks;
    return parsed;
}

// One pair of matching quotes around a value is not part of it.
QByteArrayView unquoted(QByteArrayView value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

QByteArray lineEndOf(const QList<QByteArray>& lines)
{
    for (const QByteArray& line : lines) {
        if (hasLineEnd(line))
            return line.endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    }
    return QByteArray("\n");
}

void ensureLineEnd(QByteArray& line, const QByteArray& lineEnd)
{
    if (!hasLineEnd(line))
        line += lineEnd;
}

void applyChange(QList<QByteArray>& lines, QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QByteArray lineEnd = lineEndOf(lines);
    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(lines[i], i == 0);
        if (parsed.kind == ParsedLine::Section && sameName(parsed.name, section)) {
            sectionLine = i;
            break;
        }
    }

    if (sectionLine < 0) {
        if (!lines.isEmpty())
            ensureLineEnd(lines.back(), lineEnd);
        lines.append('[' + section.toByteArray() + ']' + lineEnd);
        lines.append(key.toByteArray() + '=' + value.toByteArray() + lineEnd);
        return;
    }

    // New keys go after the section's last non-blank line, so that blank lines separating it from the
    // next section stay where they are.
    qsizetype lastContent = sectionLine;
    for (qsizetype i = sectionLine + 1; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(lines[i], false);
        if (parsed.kind == ParsedLine::Section)
            break;
        if (parsed.kind == ParsedLine::Key && sameName(parsed.name, key)) {
            QByteArray& line = lines[i];
            const QByteArray end =
                hasLineEnd(line) ? (line.endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n")) : QByteArray();
            line = line.first(parsed.valueOffset) + value.toByteArray() + end;
            return;
        }
        if (!trimBlanks(withoutLineEnd(lines[i])).isEmpty())
            lastContent = i;
    }
    ensureLineEnd(lines[lastContent], lineEnd);
    lines.insert(lastContent + 1, key.toByteArray() + '=' + value.toByteArray() + lineEnd);
}

bool usableSection(QByteArrayView section)
{
    return !trimBlanks(section).isEmpty() && !section.contains(']') && !section.contains('\n') &&
           !section.contains('\r');
}

bool usableKey(QByteArrayView key)
{
    const QByteArrayView name = trimBlanks(key);
    return !name.isEmpty() && name.front() != '[' && name.front() != ';' && !key.contains('=') && !key.contains('\n') &&
           !key.contains('\r');
}

QByteArrayView firstLine(QByteArrayView value)
{
    qsizetype end = 0;
    while (end < value.size() && value[end] != '\r' && value[end] != '\n')
        ++end;
    return value.first(end);
}

QList<QByteArray> splitLines(const QByteArray& content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        lines.append(content.sliced(start, end - start));
        start = end;
    }
    return lines;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName))
{
    reload();
}

bool IniFile::reload()
{
    QList<QByteArray> lines;
    m_readable = readFile(lines);
    m_lines = m_readable ? std::move(lines) : QList<QByteArray>();
    return m_readable;
}

bool IniFile::readFile(QList<QByteArray>& lines) const
{
    lines.clear();
    QFile file(m_fileName);
    if (!file.exists())
        return true;
    if (!QFileInfo(m_fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    lines = splitLines(content);
    return true;
}

bool IniFile::writeFile(const QList<QByteArray>& lines) const
{
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray& line : lines) {
        if (file.write(line) != line.size()) {
            file.cancelWriting();
            return false;
        }
    }
    return file.commit();
}

std::optional<QByteArray> IniFile::find(QByteArrayView section, QByteArrayView key) const
{
    bool inSection = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const ParsedLine parsed = parseLine(m_lines[i], i == 0);
        if (parsed.kind == ParsedLine::Section) {
            // Only the first section of a name counts; a repeated one is dead text.
            if (inSection)
                return std::nullopt;
            inSection = sameName(parsed.name, section);
        } else if (inSection && parsed.kind == ParsedLine::Key && sameName(parsed.name, key)) {
            return unquoted(parsed.value).toByteArray();
        }
    }
    return std::nullopt;
}

bool IniFile::contains(QByteArrayView section, QByteArrayView key) const
{
    return find(trimBlanks(section), trimBlanks(key)).has_value();
}

QByteArray IniFile::readString(QByteArrayView section, QByteArrayView key, const QByteArray& defaultValue) const
{
    return find(trimBlanks(section), trimBlanks(key)).value_or(defaultValue);
}

int IniFile::readInt(QByteArrayView section, QByteArrayView key, int defaultValue) const
{
    const std::optional<QByteArray> text = find(trimBlanks(section), trimBlanks(key));
    if (!text)
        return defaultValue;
    return parseInt(*text).value_or(defaultValue);
}

bool IniFile::readBool(QByteArrayView section, QByteArrayView key, bool defaultValue) const
{
    return readInt(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::writeString(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (!usableSection(section) || !usableKey(key))
        return false;
    Change change{trimBlanks(section).toByteArray(), trimBlanks(key).toByteArray(), firstLine(value).toByteArray()};
    applyChange(m_lines, change.section, change.key, change.value);
    m_pending.append(std::move(change));
    return m_inBatch ? true : commit();
}

bool IniFile::writeInt(QByteArrayView section, QByteArrayView key, int value)
{
    return writeString(section, key, QByteArray::number(value));
}

bool IniFile::writeBool(QByteArrayView section, QByteArrayView key, bool value)
{
    return writeString(section, key, value ? "1" : "0");
}

void IniFile::beginBatch()
{
    m_inBatch = true;
}

bool IniFile::commit()
{
    m_inBatch = false;
    if (m_pending.isEmpty())
        return true;
    const QList<Change> changes = std::exchange(m_pending, {});

    // Start again from the file as it is now, so that whatever another writer put there since we read it
    // survives as well.
    QList<QByteArray> lines;
    if (!readFile(lines)) {
        reload();
        return false;
    }
    for (const Change& change : changes)
        applyChange(lines, change.section, change.key, change.value);
    if (!writeFile(lines)) {
        reload();
        return false;
    }
    m_lines = std::move(lines);
    m_readable = true;
    return true;
}

std::optional<int> IniFile::parseInt(QByteArrayView text)
{
    const QByteArrayView digits = trimBlanks(text);
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        // Hexadecimal is the bit pattern of a 32-bit value: colours are written that way.
        std::uint64_t value = 0;
        for (const char c : digits.sliced(2)) {
            const int digit = hexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > std::numeric_limits<std::uint32_t>::max())
                return std::nullopt;
        }
        return static_cast<int>(static_cast<std::uint32_t>(value));
    }

    qsizetype i = 0;
    bool negative = false;
    if (i < digits.size() && (digits[i] == '-' || digits[i] == '+')) {
        negative = digits[i] == '-';
        ++i;
    }
    if (i == digits.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < digits.size(); ++i) {
        const char c = digits[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace quorvo
