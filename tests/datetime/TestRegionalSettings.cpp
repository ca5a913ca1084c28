#include "datetime/QtPatternConverter.h"
#include "datetime/RegionalSettings.h"

#include <QtTest>

using namespace quorvo;

class TestRegionalSettings : public QObject
{
    Q_OBJECT

private slots:
    void fromLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("patterns"); // short date, long date, short time, long time
        QTest::addColumn<QString>("separators");   // date separator, time separator
        QTest::addColumn<QStringList>("words");    // AM, PM, January short and long, Sunday short and long
        QTest::newRow("en_US") << "en_US" << QStringList{"m/d/yy", "dddd, mmmm d, yyyy", "h:mm AMPM", "h:mm:ss AMPM"}
                               << "/:" << QStringList{"AM", "PM", "Jan", "January", "Sun", "Sunday"};
        QTest::newRow("en_GB") << "en_GB" << QStringList{"dd/mm/yyyy", "dddd, d mmmm yyyy", "hh:mm", "hh:mm:ss"}
                               << "/:" << QStringList{"am", "pm", "Jan", "January", "Sun", "Sunday"};
        QTest::newRow("de_DE") << "de_DE" << QStringList{"dd.mm.yy", "dddd, d. mmmm yyyy", "hh:mm", "hh:mm:ss"}
                               << ".:" << QStringList{"AM", "PM", "Jan.", "Januar", "So.", "Sonntag"};
        QTest::newRow("fr_FR") << "fr_FR" << QStringList{"dd/mm/yyyy", "dddd d mmmm yyyy", "hh:mm", "hh:mm:ss"}
                               << "/:" << QStringList{"AM", "PM", "janv.", "janvier", "dim.", "dimanche"};
        QTest::newRow("ja_JP") << "ja_JP"
                               << QStringList{"yyyy/mm/dd", QString::fromUtf8("yyyy年m月d日dddd"), "h:mm", "h:mm:ss"}
                               << "/:" << QStringList{QString::fromUtf8("午前"), QString::fromUtf8("午後"),
                                                      QString::fromUtf8("1月"),  QString::fromUtf8("1月"),
                                                      QString::fromUtf8("日"),   QString::fromUtf8("日曜日")};
        QTest::newRow("C") << "C" << QStringList{"d mmm yyyy", "dddd, d mmmm yyyy", "hh:mm", "hh:mm:ss"} << " :"
                           << QStringList{"AM", "PM", "Jan", "January", "Sun", "Sunday"};
    }
    void fromLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, patterns);
        QFETCH(QString, separators);
        QFETCH(QStringList, words);
        const RegionalSettings settings = RegionalSettings::fromLocale(QLocale(locale));
        QCOMPARE(QStringList({settings.shortDatePattern, settings.longDatePattern, settings.shortTimePattern,
                              settings.longTimePattern}),
                 patterns);
        QCOMPARE((QString(settings.dateSeparator) + settings.timeSeparator), separators);
        QCOMPARE(QStringList({settings.amDesignator, settings.pmDesignator, settings.shortMonthNames[0],
                              settings.longMonthNames[0], settings.shortDayNames[0], settings.longDayNames[0]}),
                 words);
        // Sunday first, Saturday last.
        QCOMPARE(settings.longDayNames[6], QLocale(locale).dayName(6, QLocale::LongFormat));
        QCOMPARE(settings.longMonthNames[11], QLocale(locale).monthName(12, QLocale::LongFormat));
    }

    void fallbackValues()
    {
        const RegionalSettings settings = RegionalSettings::fallback();
        QCOMPARE(QStringList({settings.shortDatePattern, settings.longDatePattern, settings.shortTimePattern,
                              settings.longTimePattern, settings.amDesignator, settings.pmDesignator}),
                 QStringList({"m/d/yy", "mmmm d, yyyy", "h:mm AMPM", "h:mm:ss AMPM", "am", "pm"}));
        QCOMPARE((QString(settings.dateSeparator) + settings.timeSeparator), QStringLiteral("/:"));
        QCOMPARE(settings.shortMonthNames[8], QStringLiteral("Sep"));
        QCOMPARE(settings.longDayNames[3], QStringLiteral("Wednesday"));
    }

    void toDisplayPattern_data()
    {
        QTest::addColumn<QString>("qtFormat");
        QTest::addColumn<QString>("separators"); // date, time
        QTest::addColumn<QString>("expected");
        QTest::newRow("M/d/yy") << "M/d/yy"
                                << "/:"
                                << "m/d/yy";
        QTest::newRow("dd.MM.yy") << "dd.MM.yy"
                                  << ".:"
                                  << "dd.mm.yy";
        QTest::newRow("d MMM yyyy") << "d MMM yyyy"
                                    << " :"
                                    << "d mmm yyyy";
        QTest::newRow("quoted letters stay literal") << "d 'de' MMMM 'de' yyyy"
                                                     << "/:"
                                                     << "d \"de\" mmmm \"de\" yyyy";
        QTest::newRow("other scripts' letters plain") << "d. MMMM yyyy 'г'."
                                                      << ".:" << QString::fromUtf8("d. mmmm yyyy г.");
        QTest::newRow("unquoted literal letter") << "d x M"
                                                 << "/:"
                                                 << "d \"x\" m";
        QTest::newRow("escaped quote") << "d 'o''clock'"
                                       << "/:"
                                       << "d \"o'clock\"";
        QTest::newRow("double quote") << "d '\"'"
                                      << "/:"
                                      << "d '\"'";
        QTest::newRow("slash not the separator") << "dd/MM/yyyy"
                                                 << ".:"
                                                 << "dd\"/\"mm\"/\"yyyy";
        QTest::newRow("colon not the separator") << "HH:mm"
                                                 << "/."
                                                 << "hh\":\"nn";
        QTest::newRow("24-hour time") << "HH:mm:ss"
                                      << "/:"
                                      << "hh:nn:ss";
        QTest::newRow("12-hour time") << "h:mm AP"
                                      << "/:"
                                      << "h:nn ampm";
        QTest::newRow("zone and milliseconds dropped") << "H:mm:ss.zzz t"
                                                       << "/:"
                                                       << "h:nn:ss. ";
        QTest::newRow("empty") << ""
                               << "/:"
                               << "";
    }
    void toDisplayPattern()
    {
        QFETCH(QString, qtFormat);
        QFETCH(QString, separators);
        QFETCH(QString, expected);
        QCOMPARE(QtPatternConverter::toDisplayPattern(qtFormat, separators[0], separators[1]), expected);
    }

    void toShortDatePattern_data()
    {
        // Only what typed dates can repeat stays, so the task editor reads back what it shows.
        QTest::addColumn<QString>("qtFormat");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "dd.MM.yyyy" << QChar(u'.') << "dd.mm.yyyy";
        QTest::newRow("closing text dropped") << QString::fromUtf8("d.MM.yy 'г'.") << QChar(u'.') << "d.mm.yy";
        QTest::newRow("opening text dropped") << "'Date:' dd.MM.yyyy" << QChar(u'.') << "dd.mm.yyyy";
        QTest::newRow("closing separator kept") << "yyyy. MM. dd." << QChar(u'.') << "yyyy. mm. dd.";
        QTest::newRow("blank between becomes separator") << "dd/MM yyyy" << QChar(u'/') << "dd/mm/yyyy";
        QTest::newRow("letters between become separator")
            << QString::fromUtf8("yyyy'年'M'月'd'日'") << QChar(u'/') << "yyyy/m/d";
        QTest::newRow("direction marks dropped")
            << QString::fromUtf16(u"d\u200f/M\u200f/yyyy") << QChar(u'/') << "d/m/yyyy";
        QTest::newRow("blank separator") << "d MMM yyyy" << QChar(u' ') << "d mmm yyyy";
        QTest::newRow("no date field") << "HH:mm" << QChar(u'/') << "hh:nn";
    }
    void toShortDatePattern()
    {
        QFETCH(QString, qtFormat);
        QFETCH(QChar, separator);
        QFETCH(QString, expected);
        QCOMPARE(QtPatternConverter::toShortDatePattern(qtFormat, separator, u':'), expected);
    }

    void separators_data()
    {
        QTest::addColumn<QString>("qtFormat");
        QTest::addColumn<QString>("date"); // empty: none found
        QTest::addColumn<QString>("time");
        QTest::newRow("M/d/yy") << "M/d/yy"
                                << "/"
                                << "";
        QTest::newRow("dd.MM.yy") << "dd.MM.yy"
                                  << "."
                                  << "";
        QTest::newRow("yyyy-MM-dd") << "yyyy-MM-dd"
                                    << "-"
                                    << "";
        QTest::newRow("blanks only") << "d MMM yyyy"
                                     << " "
                                     << "";
        QTest::newRow("direction marks skipped") << QString::fromUtf16(u"d\u200f/M\u200f/yyyy") << "/"
                                                 << "";
        QTest::newRow("point after blank") << "yy. M. d."
                                           << "."
                                           << "";
        QTest::newRow("only letters between") << QString::fromUtf8("yyyy'年'M'月'd'日'") << ""
                                              << "";
        QTest::newRow("one field") << "dddd"
                                   << ""
                                   << "";
        QTest::newRow("HH:mm") << "HH:mm"
                               << ""
                               << ":";
        QTest::newRow("H.mm") << "H.mm"
                              << ""
                              << ".";
        QTest::newRow("AP first") << "AP h:mm"
                                  << ""
                                  << ":";
        QTest::newRow("letters between") << "HH 'h' mm"
                                         << ""
                                         << "";
    }
    void separators()
    {
        QFETCH(QString, qtFormat);
        QFETCH(QString, date);
        QFETCH(QString, time);
        const auto dateSeparator = QtPatternConverter::dateSeparator(qtFormat);
        const auto timeSeparator = QtPatternConverter::timeSeparator(qtFormat);
        QCOMPARE(dateSeparator ? QString(*dateSeparator) : QString(), date);
        QCOMPARE(timeSeparator ? QString(*timeSeparator) : QString(), time);
    }

    void clockFlags_data()
    {
        QTest::addColumn<QString>("qtFormat");
        QTest::addColumn<bool>("leadingZero");
        QTest::addColumn<bool>("twelveHour");
        QTest::addColumn<QString>("shortPattern");
        QTest::newRow("HH:mm") << "HH:mm" << true << false << "hh:mm";
        QTest::newRow("H:mm") << "H:mm" << false << false << "h:mm";
        QTest::newRow("h:mm AP") << "h:mm AP" << false << true << "h:mm AMPM";
        QTest::newRow("hh:mm ap") << "hh:mm ap" << true << true << "hh:mm AMPM";
        QTest::newRow("AP h:mm") << "AP h:mm" << false << true << "h:mm AMPM";
        QTest::newRow("H with AP stays 24-hour") << "H:mm AP" << false << false << "h:mm";
        QTest::newRow("no hour") << "mm:ss" << false << false << "h:mm";
    }
    void clockFlags()
    {
        QFETCH(QString, qtFormat);
        QFETCH(bool, leadingZero);
        QFETCH(bool, twelveHour);
        QFETCH(QString, shortPattern);
        QCOMPARE(QtPatternConverter::hasLeadingZeroHour(qtFormat), leadingZero);
        QCOMPARE(QtPatternConverter::isTwelveHourClock(qtFormat), twelveHour);
        QCOMPARE(RegionalSettings::buildTimePattern(leadingZero, twelveHour, false), shortPattern);
        QCOMPARE(RegionalSettings::buildTimePattern(leadingZero, twelveHour, true),
                 QString(shortPattern).replace(QLatin1String(":mm"), QLatin1String(":mm:ss")));
    }
};

QTEST_APPLESS_MAIN(TestRegionalSettings)
#include "TestRegionalSettings.moc"
