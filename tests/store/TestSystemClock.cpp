#include "store/SystemClock.h"

#include <QtTest>

using quorvo::SystemClock;

class TestSystemClock : public QObject
{
    Q_OBJECT

private slots:
    void todayIsTheLocalDate()
    {
        // today() takes its own way to the local date; it must agree with Qt's, midnight aside.
        const SystemClock& clock = SystemClock::instance();
        const QDate before = QDate::currentDate();
        const QDate today = clock.today();
        const QDateTime now = clock.now();
        const QDate after = QDate::currentDate();
        QVERIFY2(today == before || today == after, qPrintable(today.toString(Qt::ISODate)));
        QVERIFY(now.date() == before || now.date() == after);
        QCOMPARE(now.timeSpec(), Qt::LocalTime);
    }
};

QTEST_APPLESS_MAIN(TestSystemClock)
#include "TestSystemClock.moc"
