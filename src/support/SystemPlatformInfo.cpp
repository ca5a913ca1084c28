#include "support/SystemPlatformInfo.h"

#include <QFile>
#include <QLocale>
#include <QMap>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>

#include <cmath>

namespace quorvo {

namespace {

QString readTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromLocal8Bit(file.readAll());
}

QString processorModel()
{
    static const QRegularExpression model(QStringLiteral("^(model name|Model|Hardware)\\s*:\\s*(.+)$"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = model.match(readTextFile(QStringLiteral("/proc/cpuinfo")));
    return match.hasMatch() ? match.captured(2).simplified() : QString();
}

QString systemLocaleName()
{
    for (const char* file : {"/etc/default/locale", "/etc/locale.conf"}) {
        const QString lang = SystemPlatformInfo::langOf(readTextFile(QString::fromLatin1(file)));
        if (!lang.isEmpty())
            return lang;
    }
    return {};
}

} // namespace

void SystemPlatformInfo::readMemInfo(const QString& text, PlatformInfo& info)
{
    QMap<QString, qint64> kb;
    for (const QString& line : text.split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            continue;
        const QStringList value = line.mid(colon + 1).simplified().split(u' ');
        bool ok = false;
        const qint64 figure = value.value(0).toLongLong(&ok);
        if (ok)
            kb.insert(line.left(colon), figure);
    }
    auto bytes = [&](const char* key) { return kb.value(QLatin1String(key)) * 1024; };
    info.physicalTotal = bytes("MemTotal");
    // Kernels before 3.14 have no MemAvailable; free memory is the nearest they offer.
    info.physicalAvailable = kb.contains(QStringLiteral("MemAvailable")) ? bytes("MemAvailable") : bytes("MemFree");
    info.swapTotal = bytes("SwapTotal");
    info.swapAvailable = bytes("SwapFree");
    info.virtualTotal = bytes("CommitLimit");
    info.virtualAvailable = std::max<qint64>(0, bytes("CommitLimit") - bytes("Committed_AS"));
    info.memoryLoad = info.physicalTotal > 0
                          ? static_cast<int>(std::lround(100.0 * double(info.physicalTotal - info.physicalAvailable) /
                                                         double(info.physicalTotal)))
                          : 0;
}

QString SystemPlatformInfo::langOf(const QString& text)
{
    static const QRegularExpression lang(QStringLiteral("^\\s*LANG\\s*=\\s*\"?([^\"\\s]*)\"?\\s*$"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = lang.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString SystemPlatformInfo::languageName(const QString& localeName)
{
    if (localeName.isEmpty())
        return {};
    const QLocale locale(localeName);
    QString name = QLocale::languageToString(locale.language());
    if (locale.territory() != QLocale::AnyTerritory)
        name += QStringLiteral(" (") + QLocale::territoryToString(locale.territory()) + u')';
    return name;
}

QString SystemPlatformInfo::countryCode(const QString& localeName)
{
    if (localeName.isEmpty())
        return {};
    const QLocale locale(localeName);
    return locale.territory() == QLocale::AnyTerritory ? QString() : QLocale::territoryToCode(locale.territory());
}

PlatformInfo SystemPlatformInfo::read(const QScreen* screen)
{
    PlatformInfo info;
    info.operatingSystem = QSysInfo::prettyProductName() + QStringLiteral(" version ") + QSysInfo::kernelVersion();
    info.processorArchitecture = QSysInfo::currentCpuArchitecture();
    info.processorType = processorModel();
    if (screen) {
        info.screenWidth = screen->geometry().width();
        info.screenHeight = screen->geometry().height();
        info.colourBits = screen->depth();
        info.logicalDpi = qRound(screen->logicalDotsPerInch());
    }
    readMemInfo(readTextFile(QStringLiteral("/proc/meminfo")), info);
    const QString user = QLocale::system().name();
    const QString system = systemLocaleName();
    info.userLanguage = languageName(user);
    info.systemLanguage = languageName(system);
    info.userCountry = countryCode(user);
    info.systemCountry = countryCode(system);
    info.thousandsSeparator = QLocale::system().groupSeparator();
    return info;
}

} // namespace quorvo
