#pragma once

#include <QChar>
#include <QStringView>

#include <optional>

namespace quorvo {

// A cursor over typed date or time text, with the lexical rules both entries share: only the blank
// counts as a space, and a number is a run of ASCII digits read while its value is below 1000, so
// it never exceeds 9999 however many digits follow.
class EntryScanner
{
public:
    explicit EntryScanner(QStringView text) : m_text(text) {}

    // Returns how many blanks were skipped.
    qsizetype skipSpaces();
    // Empty, and nothing consumed, when no digit stands at the cursor.
    std::optional<int> readNumber();
    // Consumes the character when it stands at the cursor.
    bool take(QChar c);
    // Consumes the word when it stands at the cursor in any letter case; never an empty word.
    bool takeIgnoringCase(QStringView word);

    bool atEnd() const { return m_pos >= m_text.size(); }
    bool atDigit() const;
    qsizetype position() const { return m_pos; }
    void rewind(qsizetype position) { m_pos = position; }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

} // namespace quorvo
