#include "reports/ConfigurationReport.h"

namespace quorvo {

namespace {

QString label(const char* name)
{
    return QString::fromLatin1(name).leftJustified(13, u' ') + u'\t';
}

QString pair(const QString& first, const char* secondName, const QString& second)
{
    return first + QStringLiteral(";    ") + QLatin1String(secondName) + second;
}

} // namespace

QString ConfigurationReport::number(qint64 value, const QString& separator)
{
    const QString digits = QString::number(value < 0 ? -value : value);
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return value < 0 ? u'-' + grouped : grouped;
}

qint64 ConfigurationReport::colours(int bits)
{
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    case 15:
        return 32768;
    case 16:
        return 65535;
    case 24:
    case 32:
        return 16777216;
    default:
        return bits;
    }
}

QString ConfigurationReport::fontSize(int logicalDpi)
{
    if (logicalDpi == 96)
        return QStringLiteral("Small Fonts in use");
    if (logicalDpi == 120)
        return QStringLiteral("Large Fonts in use");
    return QStringLiteral("Custom font size in use");
}

QStringList ConfigurationReport::lines(const PlatformInfo& platform, const Program& program)
{
    const QString& sep = platform.thousandsSeparator;
    auto bytes = [&](qint64 total, qint64 available) {
        return pair(QStringLiteral("Total: ") + number(total, sep), "Available: ", number(available, sep));
    };
    QStringList report{program.today,
                       QString(),
                       QStringLiteral("[Product]"),
                       label("Program:") + QStringLiteral("Quorvo"),
                       label("Version:") + program.version,
                       QString(),
                       QStringLiteral("[Environment]")};
    // This system has no System.Ini or Win.Ini: their lines are left out, as on the systems that never read them.
    report << label("Windows:") + platform.operatingSystem
           << label("CPU:") + QStringLiteral("Processor:  ") + platform.processorArchitecture + u' ' +
                  platform.processorType
           << label("Video:") + QString::number(platform.screenWidth) + QStringLiteral(" x ") +
                  QString::number(platform.screenHeight) + QStringLiteral(" x ") +
                  number(colours(platform.colourBits), sep) + QStringLiteral(" colors")
           << label("Font:") + fontSize(platform.logicalDpi)
           << label("Memory Load:") + QString::number(platform.memoryLoad)
           << label("Phys Memory:") + bytes(platform.physicalTotal, platform.physicalAvailable)
           << label("Page File:") + bytes(platform.swapTotal, platform.swapAvailable)
           << label("Virt Memory:") + bytes(platform.virtualTotal, platform.virtualAvailable)
           << label("Language:") +
                  pair(QStringLiteral("User: ") + platform.userLanguage, "System: ", platform.systemLanguage)
           << label("Country:") +
                  pair(QStringLiteral("User: ") + platform.userCountry, "System: ", platform.systemCountry)
           << label("Date Format:") +
                  pair(QStringLiteral("Short: ") + program.shortDatePattern, "Long: ", program.longDatePattern)
           << label("Time Format:") +
                  pair(QStringLiteral("Short: ") + program.shortTimePattern, "Long: ", program.longTimePattern);
    report << QString() << u'[' + program.preferencesFile + u']' << QString()
           << label("Barposition:") + QString::number(program.splitterBar)
           << label("IndexOrder:") + QString::number(program.sortOrder)
           << label("Show Filter:") + (program.showDoneTasks ? QStringLiteral("1") : QStringLiteral("0"));
    return report;
}

} // namespace quorvo
