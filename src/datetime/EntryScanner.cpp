#include "datetime/EntryScanner.h"

namespace quorvo {

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

qsizetype EntryScanner::skipSpaces()
{
    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && m_text[m_pos] == u' ')
        ++m_pos;
    return m_pos - start;
}

bool EntryScanner::atDigit() const
{
    return m_pos < m_text.size() && isAsciiDigit(m_text[m_pos]);
}

std::optional<int> EntryScanner::readNumber()
{
    if (!atDigit())
        return std::nullopt;
    int value = 0;
    while (value < 1000 && atDigit()) {
        value = value * 10 + (m_text[m_pos].unicode() - u'0');
        ++m_pos;
    }
    return value;
}

bool EntryScanner::take(QChar c)
{
    if (m_pos >= m_text.size() || m_text[m_pos] != c)
        return false;
    ++m_pos;
    return true;
}

bool EntryScanner::takeIgnoringCase(QStringView word)
{
    if (word.isEmpty() || !m_text.sliced(m_pos).startsWith(word, Qt::CaseInsensitive))
        return false;
    m_pos += word.size();
    return true;
}

} // namespace quorvo
