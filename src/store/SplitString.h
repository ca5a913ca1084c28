#pragma once

#include <QString>
#include <QStringList>

namespace quorvo {

// Appends to list the pieces of text between occurrences of delimiter. Every delimiter ends a piece, so
// a text that ends with the delimiter gives an empty last piece and an empty text gives one empty piece;
// the filter builder relies on those empty pieces. An empty delimiter is never found: the whole text is
// one piece.
void SplitString(const QString& text, const QString& delimiter, QStringList& list);

} // namespace quorvo
