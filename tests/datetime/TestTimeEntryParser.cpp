#include "datetime/TimeEntryParser.h"

#include <QtTest>

using namespace quorvo;

namespace {

FormatSettings settingsNamed(const QString& name)
{
    FormatSettings settings = FormatSettings::working();
    if (name == u"dotted") { // "a.m."/"p.m." designators
        settings.amDesignator = QStringLiteral("a.m.");
        settings.pmDesignator = QStringLiteral("p.m.");
    } else if (name == u"japanese") {
        settings.amDesignator = QStringLiteral("午前");
        settings.pmDesignator = QStringLiteral("午後");
    } else if (name == u"swapped") { // designators that match each other's literal forms
        settings.amDesignator = QStringLiteral("PM");
        settings.pmDesignator = QStringLiteral("AM");
    } else if (name == u"none") {
        settings.amDesignator.clear();
        settings.pmDesignator.clear();
    } else if (name == u"letters") {
        settings.amDesignator = QStringLiteral("a");
        settings.pmDesignator = QStringLiteral("p");
    } else if (name == u"point") {
        settings.timeSeparator = u'.';
    }
    return settings;
}

} // namespace

class TestTimeEntryParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        // The expected time as hh:mm:ss; empty when the text must fail.
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString working = QStringLiteral("working");
        QTest::newRow("14:30") << working << "14:30"
                               << "14:30:00";
        QTest::newRow("2:30 pm") << working << "2:30 pm"
                                 << "14:30:00";
        QTest::newRow("2:30PM") << working << "2:30PM"
                                << "14:30:00";
        QTest::newRow("14") << working << "14"
                            << "14:00:00";
        QTest::newRow("0 PM") << working << "0 PM"
                              << "";
        QTest::newRow("13 PM") << working << "13 PM"
                               << "";
        QTest::newRow("24:00") << working << "24:00"
                               << "";
        QTest::newRow("12:60") << working << "12:60"
                               << "";
        QTest::newRow("14:") << working << "14:"
                             << "";
        QTest::newRow("2.30") << working << "2.30"
                              << "";
        QTest::newRow("seconds with pm") << working << "1:05:59 pm"
                                         << "13:05:59";
        QTest::newRow("12 AM") << working << "12 AM"
                               << "00:00:00";
        QTest::newRow("12 PM") << working << "12 PM"
                               << "12:00:00";
        QTest::newRow("12:30 am") << working << "12:30 am"
                                  << "00:30:00";
        QTest::newRow("11:59:59 PM") << working << "11:59:59 PM"
                                     << "23:59:59";
        QTest::newRow("0:00") << working << "0:00"
                              << "00:00:00";
        QTest::newRow("second 60") << working << "23:59:60"
                                   << "";
        QTest::newRow("blanks everywhere") << working << " 9 : 05 : 07  am  "
                                           << "09:05:07";
        QTest::newRow("one-digit minutes") << working << "9:5"
                                           << "09:05:00";
        QTest::newRow("designator after hour") << working << "9pm"
                                               << "21:00:00";
        QTest::newRow("separator after seconds") << working << "9:05:07:"
                                                 << "";
        QTest::newRow("double separator") << working << "9::05"
                                          << "";
        QTest::newRow("four parts") << working << "9:05:07:01"
                                    << "";
        QTest::newRow("designator alone") << working << "pm"
                                          << "";
        QTest::newRow("minutes alone") << working << ":30"
                                       << "";
        QTest::newRow("two designators") << working << "2:30 AM PM"
                                         << "";
        QTest::newRow("half a designator") << working << "2:30 p"
                                           << "";
        QTest::newRow("text after designator") << working << "2:30 pmx"
                                               << "";
        QTest::newRow("mixed case Pm") << working << "2:30 Pm"
                                       << "14:30:00";
        QTest::newRow("mixed case aM") << working << "2:30 aM"
                                       << "02:30:00";
        QTest::newRow("dotted P.M.") << "dotted"
                                     << "2:30 P.M."
                                     << "14:30:00";
        QTest::newRow("dotted a.m.") << "dotted"
                                     << "2:30 a.m."
                                     << "02:30:00";
        QTest::newRow("dotted, literal PM") << "dotted"
                                            << "2:30 pm"
                                            << "14:30:00";
        QTest::newRow("japanese") << "japanese"
                                  << "2:30 午後"
                                  << "14:30:00";
        QTest::newRow("japanese, literal AM") << "japanese"
                                              << "12:10AM"
                                              << "00:10:00";
        QTest::newRow("AM designator wins over PM") << "swapped"
                                                    << "2 pm"
                                                    << "02:00:00";
        QTest::newRow("literal AM wins over PM designator") << "swapped"
                                                            << "2 am"
                                                            << "02:00:00";
        QTest::newRow("no designators, literal AM") << "none"
                                                    << "2 am"
                                                    << "02:00:00";
        QTest::newRow("no designators, literal PM") << "none"
                                                    << "2 pm"
                                                    << "14:00:00";
        QTest::newRow("letter designator") << "letters"
                                           << "2 p"
                                           << "14:00:00";
        QTest::newRow("letter designator, literal PM") << "letters"
                                                       << "2 PM"
                                                       << "14:00:00";
        QTest::newRow("letter designator, literal AM") << "letters"
                                                       << "12 am"
                                                       << "00:00:00";
        QTest::newRow("point separator") << "point"
                                         << "14.30"
                                         << "14:30:00";
        QTest::newRow("point separator, colon") << "point"
                                                << "14:30"
                                                << "";
    }
    void parse()
    {
        QFETCH(QString, settings);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const auto time = TimeEntryParser::parse(text, settingsNamed(settings));
        QCOMPARE(time ? time->toQTime().toString(u"hh:mm:ss") : QString(), expected);
        if (time)
            QCOMPARE(time->dayNumber(), 0);
    }

    void badInputFailsCleanly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks only") << "    ";
        QTest::newRow("a thousand digits") << QString(1000, u'1');
        QTest::newRow("a thousand digits of minutes") << "1:" + QString(1000, u'5');
        QTest::newRow("letters") << "noon";
        QTest::newRow("tab") << "2:30\t";
        QTest::newRow("control characters") << "\x07\x08";
        QTest::newRow("NUL") << QString(1, QChar(u'\0'));
        QTest::newRow("full-width digits") << QString::fromUtf16(u"\uff11\uff14:30");
        QTest::newRow("negative") << "-2:30";
    }
    void badInputFailsCleanly()
    {
        QFETCH(QString, text);
        QVERIFY(!TimeEntryParser::parse(text, FormatSettings::working()));
    }
};

QTEST_APPLESS_MAIN(TestTimeEntryParser)
#include "TestTimeEntryParser.moc"
