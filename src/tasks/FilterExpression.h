#pragma once

#include "store/xbase/Error.h"
#include "tasks/FilterCriteria.h"

#include <QDate>
#include <QString>

#include <optional>

namespace quorvo::xbase {
class Table;
}

namespace quorvo {

// Turns filter criteria into the engine's query: up to five clauses joined by ".and.", each a fixed text
// around the user's pieces, so that the same criteria on the same day always give the same bytes.
//
// A text or key word is put between double quotes as the dialect's texts are. One that itself holds a
// double quote would end its constant early and turn the rest into expression syntax, so it is put
// between ' or [ ] instead; a text that no delimiter can hold cannot be filtered on (build() refuses it).
class FilterExpression
{
public:
    // Empty when no criterion applies; nullopt when a text holds ", ' and ] together.
    static std::optional<QString> build(const FilterCriteria& criteria, const QDate& today);

    // text as a text constant of the dialect, or nullopt when no delimiter can hold it.
    static std::optional<QString> quoted(const QString& text);
    // Only a to z change, as the engine's upper() does: other letters compare as they stand.
    static QString upperAsciiLetters(QString text);

    // Why build() refused, for the user.
    static QString refusalText();

    // Makes expression the table's query ("" removes it) after compiling it once on its own, so a bad
    // expression leaves the query in force. The current task stays current when it passes; otherwise the
    // table goes to the first task of the new view.
    static xbase::Status apply(xbase::Table& table, const QString& expression);
};

} // namespace quorvo
