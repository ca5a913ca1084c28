#pragma once

#include "reports/PlatformInfo.h"

#include <QString>

class QScreen;

namespace quorvo {

// Reads PlatformInfo from this machine: the system's name and kernel, the processor, the screen the window
// is on, the kernel's memory figures, and the user's and the system's locale.
class SystemPlatformInfo
{
public:
    static PlatformInfo read(const QScreen* screen);

    // The memory lines of /proc/meminfo (figures in kB) into the memory members of info.
    static void readMemInfo(const QString& text, PlatformInfo& info);
    // The value of LANG in a file of KEY=value lines (/etc/default/locale), without quotes.
    static QString langOf(const QString& text);
    // "English (United States)", as the language line names a locale.
    static QString languageName(const QString& localeName);
    static QString countryCode(const QString& localeName);
};

} // namespace quorvo
