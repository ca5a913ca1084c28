#pragma once

#include <QString>

namespace quorvo {

// Blank trimming for the exporters and the filter: only the space character counts, so tabs and line
// breaks that belong to the text survive.
QString TrimLeftSpaces(const QString& text);
QString TrimRightSpaces(const QString& text);
QString TrimSpaces(const QString& text);

} // namespace quorvo
