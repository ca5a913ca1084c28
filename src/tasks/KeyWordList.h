#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace quorvo {

// The distinct key words of the tasks, in the order they were first met. Only the blank separates words
// (commas and tabs belong to them) and two words that differ only in letter case are one word, the first
// spelling met being kept. The list only grows while the program runs: words of a changed or deleted task
// stay until the next start, so the menus built from it keep offering them.
class KeyWordList
{
public:
    // Adds each word of a KEYS text that the list does not hold yet; returns how many were added.
    int breakStringIntoWords(const QString& text);

    void clear();
    bool contains(const QString& word) const;
    const QStringList& words() const { return m_words; }
    int size() const { return int(m_words.size()); }
    bool isEmpty() const { return m_words.isEmpty(); }

private:
    bool addWord(const QString& word);

    QStringList m_words;
    // Case-folded forms of m_words, so a start-up pass over every task stays linear.
    QSet<QString> m_folded;
};

} // namespace quorvo
