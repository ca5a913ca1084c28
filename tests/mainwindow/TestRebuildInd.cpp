// The rebuild window: it runs once when shown, cannot be closed before the end, closes itself, and
// reports an engine error with the engine's text.
#include "mainwindow/TRebuildInd.h"
#include "store/TaskGenerator.h"
#include "store/TodoTable.h"
#include "support/ScriptedMessages.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo;

class TestRebuildInd : public QObject
{
    Q_OBJECT

private slots:
    void rebuildsPackingFirstAndClosesItself()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("QVTSK.DBF");
        QVERIFY(TaskGenerator::createTable(path.toStdString(), 400, {}).ok());
        TodoTable table;
        QVERIFY(table.open(path, true).ok());
        for (std::uint32_t r : {1u, 5u, 9u}) {
            QVERIFY(table.engine().go(r).ok());
            QVERIFY(table.engine().setDeleted(true).ok());
            QVERIFY(table.engine().post().ok());
        }
        QVERIFY(table.engine().setOrder(table.engine().tagOrder("DESCRIPT")).ok());
        QVERIFY(table.engine().setQuery("DONE").ok());
        ScriptedMessages messages;
        TRebuildInd window(table);
        window.setPackFirst(true);
        QStringList steps;
        auto* label = window.findChild<QLabel*>("WhatAmIDoing");
        QVERIFY(label);
        QList<int> gauge;
        auto* bar = window.findChild<QProgressBar*>("Gauge1");
        connect(bar, &QProgressBar::valueChanged, this, [&](int v) {
            gauge << v;
            if (steps.isEmpty() || steps.last() != label->text())
                steps << label->text();
        });
        QCOMPARE(window.exec(), int(QDialog::Accepted));
        QVERIFY(window.finished());
        QVERIFY(messages.infos().isEmpty());
        QCOMPARE(steps.first(), QString("Permanently removing deleted tasks"));
        QVERIFY(steps.contains("Rebuilding indexes"));
        QVERIFY(gauge.contains(100));
        QCOMPARE(*table.engine().recCount(), 397u);
        QCOMPARE(table.engine().tagCount(), 5);
        // The order and the query in force before are in force again.
        QCOMPARE(table.engine().order(), table.engine().tagOrder("DESCRIPT"));
        QCOMPARE(table.engine().query(), std::string("DONE"));
        QVERIFY(table.engine().verifyIndex().ok());
    }

    void engineErrorIsShownAndTheWindowStillCloses()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("QVTSK.DBF");
        QVERIFY(TaskGenerator::createTable(path.toStdString(), 10, {}).ok());
        TodoTable table;
        QVERIFY(table.open(path, false).ok()); // shared: the engine refuses to rebuild
        ScriptedMessages messages;
        TRebuildInd window(table);
        QCOMPARE(window.exec(), int(QDialog::Accepted));
        QVERIFY(window.finished());
        QCOMPARE(messages.infos(), QStringList{"rebuilding the indexes needs the table open exclusively"});
    }

    void cannotBeClosedBeforeTheEnd()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("QVTSK.DBF");
        QVERIFY(TaskGenerator::createTable(path.toStdString(), 10, {}).ok());
        TodoTable table;
        QVERIFY(table.open(path, true).ok());
        TRebuildInd window(table);
        QCloseEvent close;
        QApplication::sendEvent(&window, &close);
        QVERIFY(!close.isAccepted());
        window.reject();
        QVERIFY(!window.finished());
        window.rebuild();
        QVERIFY(window.finished());
        QCloseEvent later;
        QApplication::sendEvent(&window, &later);
        QVERIFY(later.isAccepted());
    }
};

QTEST_MAIN(TestRebuildInd)
#include "TestRebuildInd.moc"
