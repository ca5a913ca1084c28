#include "datetime/DateTime.h"

#include <QtTest>

using quorvo::DateTime;

class TestDateTime : public QObject
{
    Q_OBJECT

private slots:
    void everyDayAgreesWithQDate()
    {
        // Walks the whole calendar: each day one further, its fields and weekday as QDate counts them.
        DateTime value = *DateTime::fromDate(1, 1, 1);
        QDate reference(1, 1, 1);
        for (; reference.year() <= 9999; reference = reference.addDays(1)) {
            const DateTime::Ymd ymd = value.ymd();
            if (ymd.year != reference.year() || ymd.month != reference.month() || ymd.day != reference.day() ||
                value.dayOfWeek() != reference.dayOfWeek() % 7 || value.toQDate() != reference)
                QFAIL(qPrintable(QStringLiteral("differs at %1").arg(reference.toString(Qt::ISODate))));
            if (reference == QDate(9999, 12, 31))
                break;
            value = value.addDays(1);
        }
        QCOMPARE(value, *DateTime::fromDate(9999, 12, 31));
        QCOMPARE(DateTime::fromDate(2000, 3, 1)->dayNumber() - DateTime::fromDate(1, 1, 1)->dayNumber(),
                 int(QDate(1, 1, 1).daysTo(QDate(2000, 3, 1))));
    }

    void dateValidity_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("valid");
        QTest::newRow("first day") << 1 << 1 << 1 << true;
        QTest::newRow("last day") << 9999 << 12 << 31 << true;
        QTest::newRow("year 0") << 0 << 1 << 1 << false;
        QTest::newRow("year 10000") << 10000 << 1 << 1 << false;
        QTest::newRow("month 0") << 2024 << 0 << 1 << false;
        QTest::newRow("month 13") << 2024 << 13 << 1 << false;
        QTest::newRow("day 0") << 2024 << 1 << 0 << false;
        QTest::newRow("31 April") << 2024 << 4 << 31 << false;
        QTest::newRow("29 Feb 2024 (by 4)") << 2024 << 2 << 29 << true;
        QTest::newRow("29 Feb 2027") << 2027 << 2 << 29 << false;
        QTest::newRow("29 Feb 1900 (by 100)") << 1900 << 2 << 29 << false;
        QTest::newRow("29 Feb 2000 (by 400)") << 2000 << 2 << 29 << true;
        QTest::newRow("30 Feb 2000") << 2000 << 2 << 30 << false;
    }
    void dateValidity()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(bool, valid);
        QCOMPARE(DateTime::fromDate(year, month, day).has_value(), valid);
    }

    void timeValidity_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("valid");
        QTest::newRow("midnight") << 0 << 0 << 0 << true;
        QTest::newRow("last second") << 23 << 59 << 59 << true;
        QTest::newRow("24:00") << 24 << 0 << 0 << false;
        QTest::newRow("12:60") << 12 << 60 << 0 << false;
        QTest::newRow("second 60") << 12 << 0 << 60 << false;
        QTest::newRow("negative") << -1 << 0 << 0 << false;
    }
    void timeValidity()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, second);
        QFETCH(bool, valid);
        const auto time = DateTime::fromTime(hour, minute, second);
        QCOMPARE(time.has_value(), valid);
        if (time)
            QCOMPARE(QList<int>({time->hour(), time->minute(), time->second()}), QList<int>({hour, minute, second}));
    }

    void addDaysKeepsTimeAndStopsAtTheCalendarsEnds()
    {
        const DateTime value = DateTime::fromDate(2024, 2, 28)->withTimeOf(*DateTime::fromTime(13, 5, 59));
        QCOMPARE(value.addDays(1).toQDateTime(), QDateTime(QDate(2024, 2, 29), QTime(13, 5, 59)));
        QCOMPARE(value.addDays(-365).toQDate(), QDate(2023, 2, 28));
        QCOMPARE(value.addDays(366).toQDate(), QDate(2025, 2, 28));
        QCOMPARE(value.addDays(5'000'000).toQDate(), QDate(9999, 12, 31));
        QCOMPARE(value.addDays(-5'000'000).toQDate(), QDate(1, 1, 1));
        QCOMPARE(value.addDays(INT_MAX).toQDate(), QDate(9999, 12, 31));
        QCOMPARE(value.addDays(INT_MIN).toQDate(), QDate(1, 1, 1));
        QCOMPARE(value.date().secondsOfDay(), 0);
    }

    void fromQDateTimeDropsMilliseconds()
    {
        const auto value = DateTime::fromQDateTime(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59, 999)));
        QVERIFY(value);
        QCOMPARE(value->toQDateTime(), QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59)));
        QVERIFY(!DateTime::fromQDateTime(QDateTime()));
        QVERIFY(!DateTime::fromQDate(QDate(10000, 1, 1)));
    }
};

QTEST_APPLESS_MAIN(TestDateTime)
#include "TestDateTime.moc"
