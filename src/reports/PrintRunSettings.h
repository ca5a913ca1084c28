#pragma once

#include <QString>

namespace quorvo {

// What one printed report shows, as the report dialog hands it over.
struct PrintRunSettings
{
    QString title;
    bool printCheckbox = false;
    bool doubleSpace = false;
    bool printMemo = false;
    bool printKeywords = false;
};

} // namespace quorvo
