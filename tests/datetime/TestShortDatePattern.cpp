#include "datetime/ShortDatePattern.h"

#include <QtTest>

using quorvo::DateFieldOrder;
using quorvo::ShortDatePattern;

class TestShortDatePattern : public QObject
{
    Q_OBJECT

private slots:
    void widen_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("widened");
        QTest::newRow("M/d/yy") << "M/d/yy" << QChar(u'/') << "m/d/yyyy";
        QTest::newRow("dd.MM.yy") << "dd.MM.yy" << QChar(u'.') << "dd.mm.yyyy";
        QTest::newRow("no year") << "dd/MM" << QChar(u'/') << "dd/mm/yyyy";
        QTest::newRow("four y, own case kept") << "yyyy-MM-dd" << QChar(u'-') << "yyyy-MM-dd";
        QTest::newRow("four Y upper case") << "YYYY/MM/DD" << QChar(u'/') << "YYYY/MM/DD";
        QTest::newRow("three y") << "yyy.M.d" << QChar(u'.') << "yyyy.m.d";
        QTest::newRow("one y") << "d-M-y" << QChar(u'-') << "d-m-yyyy";
        QTest::newRow("upper-case YY") << "dd-MMM-YY" << QChar(u'-') << "dd-mmm-yyyy";
        QTest::newRow("first run only") << "yy/M/d yy" << QChar(u'/') << "yyyy/m/d yy";
        QTest::newRow("no year, other separator") << "d.M" << QChar(u'.') << "d.m.yyyy";
        QTest::newRow("empty") << "" << QChar(u'/') << "/yyyy";
    }
    void widen()
    {
        QFETCH(QString, pattern);
        QFETCH(QChar, separator);
        QFETCH(QString, widened);
        QCOMPARE(ShortDatePattern::widen(pattern, separator), widened);
    }

    void narrow_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("narrowed");
        QTest::newRow("month name") << "dd-mmm-yyyy"
                                    << "dd-mm-yyyy";
        QTest::newRow("day name") << "dddd"
                                  << "dd";
        QTest::newRow("numbers only") << "m/d/yyyy"
                                      << "m/d/yyyy";
        QTest::newRow("counted over the whole pattern") << "dddd, mmmm d, yyyy"
                                                        << "dd, mm , yyyy";
        QTest::newRow("either case") << "DDD dd/MMM/yyyy"
                                     << "DD /MM/yyyy";
        QTest::newRow("other letters stay") << "yyyy'年'mmm'月'"
                                            << "yyyy'年'mm'月'";
    }
    void narrow()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, narrowed);
        QCOMPARE(ShortDatePattern::narrow(pattern), narrowed);
    }

    void fieldOrder_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<DateFieldOrder>("order");
        QTest::newRow("m/d/yyyy") << "m/d/yyyy" << DateFieldOrder::MonthDayYear;
        QTest::newRow("dd.mm.yyyy") << "dd.mm.yyyy" << DateFieldOrder::DayMonthYear;
        QTest::newRow("yyyy-mm-dd") << "yyyy-mm-dd" << DateFieldOrder::YearMonthDay;
        QTest::newRow("upper case") << "DD/MM/YYYY" << DateFieldOrder::DayMonthYear;
        QTest::newRow("Y first") << "Y.m.d" << DateFieldOrder::YearMonthDay;
        QTest::newRow("other letters first") << "ahh d/m" << DateFieldOrder::DayMonthYear;
        QTest::newRow("no field letter") << "hh:nn" << DateFieldOrder::MonthDayYear;
        QTest::newRow("empty") << "" << DateFieldOrder::MonthDayYear;
    }
    void fieldOrder()
    {
        QFETCH(QString, pattern);
        QFETCH(DateFieldOrder, order);
        QCOMPARE(ShortDatePattern::fieldOrder(pattern), order);
    }
};

QTEST_APPLESS_MAIN(TestShortDatePattern)
#include "TestShortDatePattern.moc"
