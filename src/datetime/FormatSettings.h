#pragma once

#include <QChar>
#include <QString>

namespace quorvo {

// The five items that every date parse and every display pattern reads. Two sets exist: the working
// settings, in force almost always so that internal text conversions never depend on the user's
// regional settings, and the user settings, in force while the user reads and types dates in the task
// editor.
struct FormatSettings
{
    QString shortDatePattern; // display-pattern letters, see DisplayFormatter
    QChar dateSeparator;
    QChar timeSeparator;
    QString amDesignator;
    QString pmDesignator;

    // "mm/dd/yyyy", "/", ":", "AM", "PM".
    static const FormatSettings& working();

    friend bool operator==(const FormatSettings&, const FormatSettings&) = default;
};

} // namespace quorvo
