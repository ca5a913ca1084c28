#include "datetime/DateFormats.h"
#include "datetime/EditorConversions.h"
#include "datetime/ShortDateNarrowing.h"

#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"

#include <QtTest>

using namespace quorvo;

class TestDateFormats : public QObject
{
    Q_OBJECT

private slots:
    void workingSettingsAreInForceUntilSwitched()
    {
        FixedClock clock(QDate(2026, 12, 7));
        DateFormats formats(RegionalFixtures::dayMonthYear(), clock);
        formats.SaveUserDateFormats();
        formats.UseWorkingDateFormats();
        QCOMPARE(formats.inForce().shortDatePattern, QStringLiteral("mm/dd/yyyy"));
        QVERIFY(formats.IsValidDate(u"01/13/2024"));
        QVERIFY(!formats.IsValidDate(u"13/01/2024"));

        formats.UseUserDateFormats();
        QVERIFY(formats.userDateFormatsInForce());
        QCOMPARE(formats.inForce().shortDatePattern, QStringLiteral("dd/mm/yyyy"));
        QVERIFY(formats.IsValidDate(u"13/01/2024"));
        QVERIFY(!formats.IsValidDate(u"01/13/2024"));
        QCOMPARE(formats.format(u"ddddd", *formats.parseDate(u"13/1/24")), QStringLiteral("13/01/2024"));

        formats.UseWorkingDateFormats();
        QCOMPARE(formats.format(u"ddddd", *formats.parseDate(u"1/13/24")), QStringLiteral("01/13/2024"));
    }

    void userSettingsComeFromTheSystemWidened_data()
    {
        QTest::addColumn<QString>("systemPattern");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("userPattern");
        QTest::newRow("M/d/yy") << "M/d/yy" << QChar(u'/') << "m/d/yyyy";
        QTest::newRow("dd.MM.yy") << "dd.MM.yy" << QChar(u'.') << "dd.mm.yyyy";
        QTest::newRow("dd/MM") << "dd/MM" << QChar(u'/') << "dd/mm/yyyy";
        QTest::newRow("yyyy-MM-dd") << "yyyy-MM-dd" << QChar(u'-') << "yyyy-MM-dd";
    }
    void userSettingsComeFromTheSystemWidened()
    {
        QFETCH(QString, systemPattern);
        QFETCH(QChar, separator);
        QFETCH(QString, userPattern);
        FixedClock clock(QDate(2026, 1, 1));
        RegionalSettings regional = RegionalFixtures::withShortDate(systemPattern, separator);
        regional.timeSeparator = u'.';
        regional.amDesignator = QStringLiteral("vorm.");
        regional.pmDesignator = QStringLiteral("nachm.");
        DateFormats formats(regional, clock);
        formats.SaveUserDateFormats();
        QCOMPARE(formats.user(),
                 (FormatSettings{userPattern, separator, u'.', QStringLiteral("vorm."), QStringLiteral("nachm.")}));
        QCOMPARE(formats.regional().shortDatePattern, systemPattern);
    }

    void shortTwoDigitYearIsShownAndStoredInFull()
    {
        // System pattern M/d/yy in 2026: 3/4/26 reads back as 3/4/2026 and is stored as 20260304.
        FixedClock clock(QDate(2026, 6, 1));
        DateFormats formats(RegionalFixtures::monthDayYear(), clock);
        formats.SaveUserDateFormats();
        formats.UseUserDateFormats();
        QVERIFY(formats.IsValidDate(u"3/4/26"));
        QCOMPARE(formats.format(u"ddddd", *formats.parseDate(u"3/4/26")), QStringLiteral("3/4/2026"));
        QCOMPARE(EditorConversions::dateFromEditor(formats, u"3/4/26"), QStringLiteral("20260304"));
        // The example of the editor's date message: the pattern in force on 7 December 2026.
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        QCOMPARE(formats.format(formats.inForce().shortDatePattern, formats.today()), QStringLiteral("12/7/2026"));
    }

    void twoNumbersTakeTheClocksYear_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("3/4 in 2026") << QDate(2026, 12, 31) << "3/4"
                                     << "20260403";
        QTest::newRow("3/4 in 1999") << QDate(1999, 1, 1) << "3/4"
                                     << "19990403";
        QTest::newRow("3/4/27 in 2126") << QDate(2126, 5, 5) << "3/4/27"
                                        << "21270403";
        QTest::newRow("29/2 in 2027") << QDate(2027, 5, 5) << "29/2"
                                      << "";
        QTest::newRow("29/2 in 2028") << QDate(2028, 5, 5) << "29/2"
                                      << "20280229";
    }
    void twoNumbersTakeTheClocksYear()
    {
        QFETCH(QDate, today);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        FixedClock clock(today);
        DateFormats formats(RegionalFixtures::dayMonthYear(), clock);
        formats.SaveUserDateFormats();
        formats.UseUserDateFormats();
        const auto date = formats.parseDate(text);
        QCOMPARE(date ? date->toQDate().toString(u"yyyyMMdd") : QString(), stored);
    }

    void narrowingLastsForOneEditorCommand()
    {
        FixedClock clock(QDate(2024, 1, 5));
        DateFormats formats(RegionalFixtures::withShortDate(QStringLiteral("dd-mmm-yy"), u'-'), clock);
        formats.SaveUserDateFormats();
        formats.UseWorkingDateFormats();
        QCOMPARE(formats.user().shortDatePattern, QStringLiteral("dd-mmm-yyyy"));
        {
            ShortDateNarrowing narrowing(formats);
            QCOMPARE(formats.user().shortDatePattern, QStringLiteral("dd-mm-yyyy"));
            formats.narrowUserShortDatePattern(); // a second narrowing must not lose the full pattern
            formats.UseUserDateFormats();
            QCOMPARE(formats.format(u"ddddd", formats.today()), QStringLiteral("05-01-2024"));
            QVERIFY(formats.IsValidDate(formats.format(u"ddddd", formats.today())));
            formats.UseWorkingDateFormats();
        }
        QCOMPARE(formats.user().shortDatePattern, QStringLiteral("dd-mmm-yyyy"));
        formats.restoreUserShortDatePattern();
        QCOMPARE(formats.user().shortDatePattern, QStringLiteral("dd-mmm-yyyy"));
        formats.UseUserDateFormats();
        QCOMPARE(formats.format(u"ddddd", formats.today()), QStringLiteral("05-Jan-2024"));
    }

    void badInputFailsUnderEitherSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks only") << "   ";
        QTest::newRow("a thousand digits") << QString(1000, u'7');
        QTest::newRow("letters") << "tomorrow";
        QTest::newRow("control characters") << "\x1b[2J";
    }
    void badInputFailsUnderEitherSettings()
    {
        QFETCH(QString, text);
        FixedClock clock(QDate(2026, 1, 1));
        DateFormats formats(RegionalFixtures::dayMonthYear(), clock);
        formats.SaveUserDateFormats();
        for (bool user : {false, true}) {
            user ? formats.UseUserDateFormats() : formats.UseWorkingDateFormats();
            QVERIFY(!formats.IsValidDate(text));
            QVERIFY(!formats.IsValidTime(text));
        }
        QCOMPARE(EditorConversions::dateFromEditor(formats, text), QString());
        QCOMPARE(EditorConversions::timeFromEditor(formats, text), QString());
    }

    void installedInstanceServesTheProgram()
    {
        FixedClock clock(QDate(2026, 1, 1));
        DateFormats formats(RegionalFixtures::yearMonthDay(), clock);
        DateFormats* const previous = DateFormats::install(&formats);
        QCOMPARE(&DateFormats::current(), &formats);
        QCOMPARE(DateFormats::install(previous), &formats);
        QVERIFY(&DateFormats::current() != &formats);
    }
};

QTEST_APPLESS_MAIN(TestDateFormats)
#include "TestDateFormats.moc"
