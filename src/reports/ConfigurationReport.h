#pragma once

#include "reports/PlatformInfo.h"

#include <QStringList>

namespace quorvo {

// The plain-text report of the Configuration Information window, one report line per list entry. Every label
// is padded to 13 characters and followed by a tab, so that the values line up in a fixed-pitch font.
class ConfigurationReport
{
public:
    // The program's side of the report.
    struct Program
    {
        QString today; // the current date in the system's long date pattern
        QString version;
        QString shortDatePattern; // the one in force
        QString longDatePattern;
        QString shortTimePattern;
        QString longTimePattern;
        QString preferencesFile; // full path, which also tells where the task files are kept
        int splitterBar = 0;
        int sortOrder = 0;
        bool showDoneTasks = false;
    };

    static QStringList lines(const PlatformInfo& platform, const Program& program);

    // A whole number grouped in thousands with separator ("" groups nothing).
    static QString number(qint64 value, const QString& separator);
    // The number of colours a pixel depth shows, as other systems report it: 16 bits give 65535.
    static qint64 colours(int bits);
    static QString fontSize(int logicalDpi);
};

} // namespace quorvo
