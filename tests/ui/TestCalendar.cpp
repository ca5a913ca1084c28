#include "datetime/DateFormats.h"
#include "ui/TCalendar.h"

#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quorvo;

Q_DECLARE_METATYPE(quorvo::DateTime)

namespace {

DateTime date(int year, int month, int day)
{
    return DateTime::fromDate(year, month, day).value();
}

QString rowText(const TCalendar& calendar, int row)
{
    QStringList texts;
    for (int column = 0; column < TCalendar::kColumns; ++column)
        texts << calendar.cellText(column, row);
    return texts.join(QLatin1Char(','));
}

void clickCell(TCalendar& calendar, int column, int row)
{
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.cellRect(column, row).center());
}

} // namespace

class TestCalendar : public QObject
{
    Q_OBJECT

    FixedClock m_clock{QDate(2026, 12, 7), QTime(10, 0)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};

private slots:
    void grid_data()
    {
        QTest::addColumn<QDate>("month");
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QStringList>("rows"); // rows 0, 1, 5 and 6

        QTest::newRow("first day a Saturday")
            << QDate(2026, 8, 1) << 0 << -5
            << QStringList{"Sun,Mon,Tue,Wed,Thu,Fri,Sat", ",,,,,,1", "23,24,25,26,27,28,29", "30,31,,,,,"};
        QTest::newRow("non-leap February from a Sunday fills four rows")
            << QDate(2026, 2, 1) << 0 << 1
            << QStringList{"Sun,Mon,Tue,Wed,Thu,Fri,Sat", "1,2,3,4,5,6,7", ",,,,,,", ",,,,,,"};
        QTest::newRow("weeks from Monday")
            << QDate(2026, 2, 1) << 1 << -5
            << QStringList{"Mon,Tue,Wed,Thu,Fri,Sat,Sun", ",,,,,,1", "23,24,25,26,27,28,", ",,,,,,"};
        QTest::newRow("weeks from Saturday")
            << QDate(2026, 12, 1) << 6 << -2
            << QStringList{"Sat,Sun,Mon,Tue,Wed,Thu,Fri", ",,,1,2,3,4", "26,27,28,29,30,31,", ",,,,,,"};
        QTest::newRow("leap February") << QDate(2028, 2, 1) << 0 << -1
                                       << QStringList{"Sun,Mon,Tue,Wed,Thu,Fri,Sat", ",,1,2,3,4,5", "27,28,29,,,,",
                                                      ",,,,,,"};
    }

    void grid()
    {
        QFETCH(QDate, month);
        QFETCH(int, startOfWeek);
        QFETCH(int, offset);
        QFETCH(QStringList, rows);

        TCalendar calendar(m_formats);
        calendar.setStartOfWeek(startOfWeek);
        calendar.setCalendarDate(DateTime::fromQDate(month).value());
        QCOMPARE(calendar.monthOffset(), offset);
        QCOMPARE((QStringList{rowText(calendar, 0), rowText(calendar, 1), rowText(calendar, 5), rowText(calendar, 6)}),
                 rows);
        // The selection is the first of the month, in row 1.
        QCOMPARE(calendar.selectedRow(), 1);
        QCOMPARE(calendar.cellText(calendar.selectedColumn(), 1), QStringLiteral("1"));
    }

    void moves_data()
    {
        QTest::addColumn<DateTime>("start");
        QTest::addColumn<QString>("move");
        QTest::addColumn<DateTime>("expected");
        QTest::addColumn<int>("changes");

        QTest::newRow("31 January forward") << date(2026, 1, 31) << "Month+" << date(2026, 2, 28) << 1;
        QTest::newRow("31 January forward, leap year") << date(2028, 1, 31) << "Month+" << date(2028, 2, 29) << 1;
        QTest::newRow("31 March back") << date(2028, 3, 31) << "Month-" << date(2028, 2, 29) << 1;
        QTest::newRow("December into the next year") << date(2026, 12, 15) << "Month+" << date(2027, 1, 15) << 1;
        QTest::newRow("January into the year before") << date(2027, 1, 15) << "Month-" << date(2026, 12, 15) << 1;
        QTest::newRow("29 February a year on") << date(2028, 2, 29) << "Year+" << date(2029, 2, 28) << 2;
        QTest::newRow("29 February a year back") << date(2028, 2, 29) << "Year-" << date(2027, 2, 28) << 2;
        QTest::newRow("an ordinary year on") << date(2026, 12, 7) << "Year+" << date(2027, 12, 7) << 1;
        QTest::newRow("nothing before year 1") << date(1, 3, 4) << "Year-" << date(1, 3, 4) << 0;
        QTest::newRow("nothing after year 9999") << date(9999, 3, 4) << "Year+" << date(9999, 3, 4) << 0;
        QTest::newRow("nothing after December 9999") << date(9999, 12, 31) << "Month+" << date(9999, 12, 31) << 0;
        QTest::newRow("nothing before January of year 1") << date(1, 1, 20) << "Month-" << date(1, 1, 20) << 0;
        QTest::newRow("into the last month") << date(9999, 11, 30) << "Month+" << date(9999, 12, 30) << 1;
    }

    void moves()
    {
        QFETCH(DateTime, start);
        QFETCH(QString, move);
        QFETCH(DateTime, expected);
        QFETCH(int, changes);

        TCalendar calendar(m_formats);
        calendar.setCalendarDate(start);
        QSignalSpy changed(&calendar, &TCalendar::changed);
        if (move == u"Month+")
            calendar.nextMonth();
        else if (move == u"Month-")
            calendar.prevMonth();
        else if (move == u"Year+")
            calendar.nextYear();
        else
            calendar.prevYear();
        QCOMPARE(calendar.calendarDate(), expected);
        QCOMPARE(changed.count(), changes);
        QCOMPARE(calendar.cellText(calendar.selectedColumn(), calendar.selectedRow()), QString::number(expected.day()));
    }

    void parts_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<int>("value");
        QTest::addColumn<DateTime>("expected"); // from 31 January 2026

        QTest::newRow("day") << "Day" << 15 << date(2026, 1, 15);
        QTest::newRow("day 0 ignored") << "Day" << 0 << date(2026, 1, 31);
        QTest::newRow("day past the month ignored") << "Day" << 32 << date(2026, 1, 31);
        QTest::newRow("month 13 ignored") << "Month" << 13 << date(2026, 1, 31);
        QTest::newRow("month to a shorter one keeps a real date") << "Month" << 4 << date(2026, 4, 30);
        QTest::newRow("year") << "Year" << 1999 << date(1999, 1, 31);
        QTest::newRow("year 0 ignored") << "Year" << 0 << date(2026, 1, 31);
        QTest::newRow("year 10000 ignored") << "Year" << 10000 << date(2026, 1, 31);
    }

    void parts()
    {
        QFETCH(QString, part);
        QFETCH(int, value);
        QFETCH(DateTime, expected);

        TCalendar calendar(m_formats);
        calendar.setCalendarDate(date(2026, 1, 31));
        QSignalSpy changed(&calendar, &TCalendar::changed);
        if (part == u"Day")
            calendar.setDay(value);
        else if (part == u"Month")
            calendar.setMonth(value);
        else
            calendar.setYear(value);
        QCOMPARE(calendar.calendarDate(), expected);
        const bool moved = expected != date(2026, 1, 31);
        QCOMPARE(changed.count(), moved ? 1 : 0);
        QCOMPARE(calendar.useCurrentDate(), !moved);
    }

    void selection_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("day"); // in August 2026, starting on the 10th

        QTest::newRow("a day") << 3 << 2 << false << 5;
        QTest::newRow("the last day") << 1 << 6 << false << 31;
        QTest::newRow("an empty cell before the first") << 2 << 1 << false << 10;
        QTest::newRow("an empty cell after the last") << 5 << 6 << false << 10;
        QTest::newRow("the header row") << 3 << 0 << false << 10;
        QTest::newRow("read-only") << 3 << 2 << true << 10;
    }

    void selection()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(bool, readOnly);
        QFETCH(int, day);

        TCalendar calendar(m_formats);
        calendar.resize(413, 132);
        calendar.setCalendarDate(date(2026, 8, 10));
        calendar.setReadOnly(readOnly);
        clickCell(calendar, column, row);
        QCOMPARE(calendar.calendarDate(), date(2026, 8, day));
        if (day != 10) {
            QCOMPARE(calendar.selectedColumn(), column);
            QCOMPARE(calendar.selectedRow(), row);
        }
    }

    void arrowKeys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("day"); // in August 2026, starting on the 1st (row 1, column 6)

        QTest::newRow("down a week") << QList<int>{Qt::Key_Down} << 8;
        QTest::newRow("left onto an empty cell stays") << QList<int>{Qt::Key_Left} << 1;
        QTest::newRow("right past the edge stays") << QList<int>{Qt::Key_Right} << 1;
        QTest::newRow("up onto the header stays") << QList<int>{Qt::Key_Up} << 1;
        QTest::newRow("down, left, left") << QList<int>{Qt::Key_Down, Qt::Key_Left, Qt::Key_Left} << 6;
        // The fifth Down would land past the 31st and stays on the 29th.
        QTest::newRow("to the end of the month") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                                                               Qt::Key_Down, Qt::Key_Home, Qt::Key_Down, Qt::Key_Right}
                                                 << 31;
    }

    void arrowKeys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, day);

        TCalendar calendar(m_formats);
        calendar.setCalendarDate(date(2026, 8, 1));
        for (int key : keys)
            QTest::keyClick(&calendar, Qt::Key(key));
        QCOMPARE(calendar.calendarDate(), date(2026, 8, day));
    }

    void currentDate()
    {
        TCalendar calendar(m_formats);
        QVERIFY(calendar.useCurrentDate());
        QCOMPARE(calendar.calendarDate(), date(2026, 12, 7));
        calendar.setYear(2030);
        QVERIFY(!calendar.useCurrentDate());
        QSignalSpy changed(&calendar, &TCalendar::changed);
        calendar.setUseCurrentDate(true);
        QCOMPARE(calendar.calendarDate(), date(2026, 12, 7));
        QCOMPARE(changed.count(), 0);
    }

    void cellSizes()
    {
        TCalendar calendar(m_formats);
        calendar.resize(413, 132);
        // (413 - 6) / 7 and (132 - 6) / 7, whole division, one pixel of grid line between.
        QCOMPARE(calendar.cellRect(0, 0), QRect(0, 0, 58, 18));
        QCOMPARE(calendar.cellRect(6, 6), QRect(6 * 59, 6 * 19, 58, 18));
        QCOMPARE(calendar.cellAt(QPoint(58, 5)), QPoint(-1, -1)); // on a grid line
        QCOMPARE(calendar.cellAt(QPoint(60, 20)), QPoint(1, 1));
    }
};

QTEST_MAIN(TestCalendar)
#include "TestCalendar.moc"
