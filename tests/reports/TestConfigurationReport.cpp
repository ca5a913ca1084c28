// The configuration report line by line over a hand-built platform, and its number and colour rules.
#include "reports/ConfigurationReport.h"

#include <QtTest>

using namespace quorvo;

namespace {

PlatformInfo fixedPlatform()
{
    PlatformInfo p;
    p.operatingSystem = "Debian GNU/Linux 12 (bookworm) version 6.1.0-18-amd64";
    p.processorArchitecture = "x86_64";
    p.processorType = "Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz";
    p.screenWidth = 1024;
    p.screenHeight = 768;
    p.colourBits = 32;
    p.logicalDpi = 96;
    p.memoryLoad = 37;
    p.physicalTotal = 134217728;
    p.physicalAvailable = 67108864;
    p.swapTotal = 0;
    p.swapAvailable = 0;
    // Beyond what a signed 32-bit figure holds.
    p.virtualTotal = 17179869184;
    p.virtualAvailable = 4294967296;
    p.userLanguage = "English (United States)";
    p.systemLanguage = "German (Germany)";
    p.userCountry = "US";
    p.systemCountry = "DE";
    p.thousandsSeparator = ",";
    return p;
}

ConfigurationReport::Program fixedProgram()
{
    ConfigurationReport::Program p;
    p.today = "Tuesday, December 8, 2026";
    p.version = "2.8b";
    p.shortDatePattern = "mm/dd/yyyy";
    p.longDatePattern = "dddd, mmmm d, yyyy";
    p.shortTimePattern = "h:mm AMPM";
    p.longTimePattern = "h:mm:ss AMPM";
    p.preferencesFile = "/opt/quorvo/TODO.INI";
    p.splitterBar = 200;
    p.sortOrder = 1;
    p.showDoneTasks = false;
    return p;
}

} // namespace

class TestConfigurationReport : public QObject
{
    Q_OBJECT

private slots:
    void wholeReport()
    {
        const QStringList expected{
            "Tuesday, December 8, 2026",
            "",
            "[Product]",
            "Program:     \tQuorvo",
            "Version:     \t2.8b",
            "",
            "[Environment]",
            "Windows:     \tDebian GNU/Linux 12 (bookworm) version 6.1.0-18-amd64",
            "CPU:         \tProcessor:  x86_64 Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz",
            "Video:       \t1024 x 768 x 16,777,216 colors",
            "Font:        \tSmall Fonts in use",
            "Memory Load: \t37",
            "Phys Memory: \tTotal: 134,217,728;    Available: 67,108,864",
            "Page File:   \tTotal: 0;    Available: 0",
            "Virt Memory: \tTotal: 17,179,869,184;    Available: 4,294,967,296",
            "Language:    \tUser: English (United States);    System: German (Germany)",
            "Country:     \tUser: US;    System: DE",
            "Date Format: \tShort: mm/dd/yyyy;    Long: dddd, mmmm d, yyyy",
            "Time Format: \tShort: h:mm AMPM;    Long: h:mm:ss AMPM",
            "",
            "[/opt/quorvo/TODO.INI]",
            "",
            "Barposition: \t200",
            "IndexOrder:  \t1",
            "Show Filter: \t0",
        };
        const QStringList actual = ConfigurationReport::lines(fixedPlatform(), fixedProgram());
        for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i)
            QCOMPARE(actual[i], expected[i]);
        QCOMPARE(actual.size(), expected.size());
    }

    void missingValuesLeaveTheLabel()
    {
        PlatformInfo platform;
        ConfigurationReport::Program program = fixedProgram();
        program.showDoneTasks = true;
        const QStringList lines = ConfigurationReport::lines(platform, program);
        QVERIFY(lines.contains("Windows:     \t"));
        QVERIFY(lines.contains("CPU:         \tProcessor:   "));
        QVERIFY(lines.contains("Country:     \tUser: ;    System: "));
        QCOMPARE(lines.last(), QStringLiteral("Show Filter: \t1"));
    }

    void numbers_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::newRow("below a thousand") << qint64(999) << ","
                                          << "999";
        QTest::newRow("a thousand") << qint64(1000) << ","
                                    << "1,000";
        QTest::newRow("physical memory") << qint64(134217728) << ","
                                         << "134,217,728";
        QTest::newRow("dot") << qint64(134217728) << "."
                             << "134.217.728";
        QTest::newRow("narrow no-break space") << qint64(65535) << "\u202f"
                                               << "65\u202f535";
        QTest::newRow("no separator") << qint64(65535) << ""
                                      << "65535";
        QTest::newRow("beyond 32 bits") << qint64(8589934592) << ","
                                        << "8,589,934,592";
        QTest::newRow("zero") << qint64(0) << ","
                              << "0";
        QTest::newRow("negative") << qint64(-1234) << ","
                                  << "-1,234";
    }

    void numbers()
    {
        QFETCH(qint64, value);
        QFETCH(QString, separator);
        QFETCH(QString, text);
        QCOMPARE(ConfigurationReport::number(value, separator), text);
    }

    void colours_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<QString>("video");
        QTest::newRow("1") << 1 << "2";
        QTest::newRow("4") << 4 << "16";
        QTest::newRow("8") << 8 << "256";
        QTest::newRow("15") << 15 << "32,768";
        QTest::newRow("16") << 16 << "65,535";
        QTest::newRow("24") << 24 << "16,777,216";
        QTest::newRow("32") << 32 << "16,777,216";
        QTest::newRow("unmapped 30") << 30 << "30";
    }

    void colours()
    {
        QFETCH(int, bits);
        QFETCH(QString, video);
        PlatformInfo platform = fixedPlatform();
        platform.colourBits = bits;
        const QStringList lines = ConfigurationReport::lines(platform, fixedProgram());
        QCOMPARE(lines.at(9), "Video:       \t1024 x 768 x " + video + " colors");
    }

    void fonts_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("text");
        QTest::newRow("96") << 96 << "Small Fonts in use";
        QTest::newRow("120") << 120 << "Large Fonts in use";
        QTest::newRow("144") << 144 << "Custom font size in use";
        QTest::newRow("unknown") << 0 << "Custom font size in use";
    }

    void fonts()
    {
        QFETCH(int, dpi);
        QFETCH(QString, text);
        QCOMPARE(ConfigurationReport::fontSize(dpi), text);
    }
};

QTEST_GUILESS_MAIN(TestConfigurationReport)
#include "TestConfigurationReport.moc"
