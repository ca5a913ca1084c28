#pragma once

#include <QList>
#include <QString>

namespace quorvo {

// Finds the help topics that speak of what the user typed: every word of the query must appear in the
// topic's text (title included), in capitals or not. Topics come back in the contents' order.
class HelpSearch
{
public:
    // Reads the text of every topic once.
    HelpSearch();

    QList<int> find(const QString& query) const;

private:
    struct Entry
    {
        int context;
        QString text;
    };
    QList<Entry> m_entries;
};

} // namespace quorvo
