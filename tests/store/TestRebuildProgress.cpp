// What the rebuild gauge shows for the engine's progress reports.
#include "store/RebuildProgress.h"

#include <QtTest>

using namespace quorvo;

class TestRebuildProgress : public QObject
{
    Q_OBJECT

private slots:
    void gauge_data()
    {
        QTest::addColumn<bool>("packing");
        QTest::addColumn<QList<int>>("reports");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("packing shows each value")
            << true << QList<int>{0, 40, 100, 250, -5} << QList<int>{0, 40, 100, 100, 0};
        QTest::newRow("building adds up rises, a quarter shown")
            << false << QList<int>{0, 20, 60, 100} << QList<int>{0, 5, 15, 25};
        QTest::newRow("a new tag starting low adds nothing")
            << false << QList<int>{0, 100, 0, 20, 100} << QList<int>{0, 25, 25, 30, 50};
        QTest::newRow("equal values add nothing") << false << QList<int>{10, 10, 10} << QList<int>{3, 3, 3};
        QTest::newRow("full once 400 points have gathered") << false << QList<int>{100, 0, 100, 0, 100, 0, 100, 0, 100}
                                                            << QList<int>{25, 25, 50, 50, 75, 75, 100, 100, 100};
        QTest::newRow("half points round to nearest") << false << QList<int>{2, 6} << QList<int>{1, 2};
    }

    void gauge()
    {
        QFETCH(bool, packing);
        QFETCH(QList<int>, reports);
        QFETCH(QList<int>, shown);
        RebuildProgress progress;
        progress.setPacking(packing);
        QList<int> got;
        for (int value : reports)
            got << progress.report(value);
        QCOMPARE(got, shown);
    }

    void packingThenBuildingStartsTheTotalAtZero()
    {
        RebuildProgress progress;
        progress.setPacking(true);
        QCOMPARE(progress.report(100), 100);
        progress.setPacking(false);
        QCOMPARE(progress.report(0), 0);
        QCOMPARE(progress.report(40), 10);
    }
};

QTEST_GUILESS_MAIN(TestRebuildProgress)
#include "TestRebuildProgress.moc"
