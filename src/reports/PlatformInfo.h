#pragma once

#include <QString>
#include <QtGlobal>

namespace quorvo {

// What the configuration report tells about the machine, read once when the window opens. Memory figures
// are bytes in 64 bits: machines have far more than the 2 GiB a signed 32-bit figure holds. A value the
// platform does not supply stays empty (or 0) and its line is still written.
struct PlatformInfo
{
    QString operatingSystem;       // name and version of the system and its kernel
    QString processorArchitecture; // "x86_64", "arm64"
    QString processorType;         // the processor's model name
    int screenWidth = 0;
    int screenHeight = 0;
    int colourBits = 0; // bits per pixel
    int logicalDpi = 0;
    int memoryLoad = 0; // percent of physical memory in use
    qint64 physicalTotal = 0;
    qint64 physicalAvailable = 0;
    qint64 swapTotal = 0; // the page file of other systems
    qint64 swapAvailable = 0;
    qint64 virtualTotal = 0; // what the kernel will commit
    qint64 virtualAvailable = 0;
    QString userLanguage;
    QString systemLanguage;
    QString userCountry;
    QString systemCountry;
    QString thousandsSeparator;
};

} // namespace quorvo
