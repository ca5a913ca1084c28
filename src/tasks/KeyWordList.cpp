#include "tasks/KeyWordList.h"

namespace quorvo {

int KeyWordList::breakStringIntoWords(const QString& text)
{
    int added = 0;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool blank = i == text.size() || text.at(i) == QLatin1Char(' ');
        if (!blank) {
            if (start < 0)
                start = i;
            continue;
        }
        if (start >= 0 && addWord(text.mid(start, i - start)))
            ++added;
        start = -1;
    }
    return added;
}

void KeyWordList::clear()
{
    m_words.clear();
    m_folded.clear();
}

bool KeyWordList::contains(const QString& word) const
{
    return m_folded.contains(word.toCaseFolded());
}

bool KeyWordList::addWord(const QString& word)
{
    QString folded = word.toCaseFolded();
    if (m_folded.contains(folded))
        return false;
    m_folded.insert(std::move(folded));
    m_words.append(word);
    return true;
}

} // namespace quorvo
