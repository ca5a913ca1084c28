#include "datetime/DateFormats.h"
#include "datetime/QuickDateList.h"

#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"

#include <QtTest>

using namespace quorvo;

class TestQuickDateList : public QObject
{
    Q_OBJECT

private slots:
    void captionsOnAMonday_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0") << "Today" << 0 << "Today\t12/07/2026";
        QTest::newRow("1") << "Tomorrow" << 1 << "Tomorrow\t12/08/2026";
        QTest::newRow("2") << "TodayPlus2" << 2 << "Wednesday\t12/09/2026";
        QTest::newRow("3") << "TodayPlus3" << 3 << "Thursday\t12/10/2026";
        QTest::newRow("4") << "TodayPlus4" << 4 << "Friday\t12/11/2026";
        QTest::newRow("5") << "TodayPlus5" << 5 << "Saturday\t12/12/2026";
        QTest::newRow("6") << "TodayPlus6" << 6 << "Sunday\t12/13/2026";
        QTest::newRow("7") << "WeekFromToday" << 7 << "A Week From Today\t12/14/2026";
        QTest::newRow("8") << "WeekFromTommorrow" << 8 << "A Week From Tomorrow\t12/15/2026";
        QTest::newRow("9") << "Week2" << 9 << "A Week from Wednesday\t12/16/2026";
        QTest::newRow("10") << "Week3" << 10 << "A Week from Thursday\t12/17/2026";
        QTest::newRow("11") << "Week4" << 11 << "A Week from Friday\t12/18/2026";
        QTest::newRow("12") << "Week5" << 12 << "A Week from Saturday\t12/19/2026";
        QTest::newRow("13") << "Week6" << 13 << "A Week from Sunday\t12/20/2026";
        QTest::newRow("14") << "TwoWeeksFromToday" << 14 << "Two Weeks From Today\t12/21/2026";
        QTest::newRow("15") << "ThreeWeeksFromToday" << 21 << "Three Weeks From Today\t12/28/2026";
        QTest::newRow("16") << "ThirtyDaysFromToday" << 30 << "30 Days From Today\t01/06/2027";
    }
    void captionsOnAMonday()
    {
        // A day-month-year system with its user settings in force: the captions still read mm/dd/yyyy.
        QFETCH(QString, name);
        QFETCH(int, offset);
        QFETCH(QString, caption);
        FixedClock clock(QDate(2026, 12, 7), QTime(23, 59));
        DateFormats formats(RegionalFixtures::dayMonthYear(), clock);
        formats.SaveUserDateFormats();
        formats.UseUserDateFormats();
        const QList<QuickDateList::Item> items = QuickDateList::build(formats);
        QCOMPARE(items.size(), QuickDateList::kCount);
        const int index = QString::fromLatin1(QTest::currentDataTag()).toInt();
        QCOMPARE(items[index].name, name);
        QCOMPARE(items[index].offset, offset);
        QCOMPARE(items[index].caption, caption);
    }

    void dayNamesAreTheSystems()
    {
        FixedClock clock(QDate(2026, 12, 7));
        DateFormats formats(RegionalSettings::fromLocale(QLocale(QStringLiteral("de_DE"))), clock);
        QCOMPARE(QuickDateList::caption(9, formats.today(), formats),
                 QStringLiteral("A Week from Mittwoch\t12/16/2026"));
        QCOMPARE(QuickDateList::caption(17, formats.today(), formats), QString());
    }

    void choiceTakesTodayAtTheMomentOfTheChoice()
    {
        FixedClock clock(QDate(2026, 12, 7), QTime(23, 59));
        DateFormats formats(RegionalFixtures::dayMonthYear(), clock);
        formats.SaveUserDateFormats();
        const QList<QuickDateList::Item> items = QuickDateList::build(formats);
        clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 1)));
        QCOMPARE(items[1].caption, QStringLiteral("Tomorrow\t12/08/2026"));
        const DateTime tomorrow = QuickDateList::dateFor(items[1].offset, formats);
        QCOMPARE(tomorrow.toQDateTime(), QDateTime(QDate(2026, 12, 9), QTime(0, 0)));
        // In the task editor the choice is written in the user's own pattern.
        formats.UseUserDateFormats();
        QCOMPARE(formats.format(u"ddddd", tomorrow), QStringLiteral("09/12/2026"));
        // Tag 10 from a Monday is the Thursday of the following week.
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(12, 0)));
        QCOMPARE(QuickDateList::dateFor(10, formats).toQDate(), QDate(2026, 12, 17));
        QCOMPARE(QuickDateList::dateFor(10, formats).dayOfWeek(), 4);
    }
};

QTEST_APPLESS_MAIN(TestQuickDateList)
#include "TestQuickDateList.moc"
