// The main window over real task files in a program directory of its own: first start, start over a
// table of tasks, a missing index, the saved order, the reminder, Rebuild Indexes, closing.
#include "mainwindow/TMainScreen.h"
#include "store/IniFile.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/ScriptedMessages.h"
#include "support/xbase/FileBytes.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace quorvo;

namespace {

const QStringList kRecordBound{"DeleteButton", "Editbutton",     "DoneToggleButton",
                               "CloneButton",  "CalendarButton", "Printbutton"};

bool shown(const QWidget& window, const QString& name)
{
    auto* button = window.findChild<QPushButton*>(name);
    return button && button->isVisible();
}

// A few tasks around 2024-01-05, some of them that very day.
void makeTasks(const QString& dir, const QList<QByteArray>& dates, QList<bool> deleted = {})
{
    const std::string path = (dir + "QVTSK.DBF").toStdString();
    QVERIFY(TaskGenerator::createTable(path, 0, {}).ok());
    auto table = xbase::Table::open(path, xbase::OpenMode::Exclusive);
    QVERIFY(table.ok());
    for (int i = 0; i < dates.size(); ++i) {
        QVERIFY((*table)->appendBlank().ok());
        QVERIFY((*table)->replace(TaskField::DATE, dates[i].toStdString()).ok());
        QVERIFY((*table)->replace(TaskField::TIME, i % 2 ? "08:00" : "17:00").ok());
        QVERIFY((*table)->replace(TaskField::DESCRIPT, "task " + std::to_string(i + 1)).ok());
        QVERIFY((*table)->setDeleted(i < deleted.size() && deleted[i]).ok());
        QVERIFY((*table)->post().ok());
    }
}

} // namespace

class TestMainScreenTasks : public QObject
{
    Q_OBJECT

private:
    RecordingHelpService m_help;
    FixedClock m_clock{QDate(2024, 1, 5), QTime(9, 30)};

    static void start(TMainScreen& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.firstActivation());
    }

private slots:
    void firstStartInAnEmptyDirectory()
    {
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        ScriptedMessages messages;
        {
            TMainScreen window(m_help, m_clock, dir);
            start(window);
            for (const char* name : {"QVTSK.DBF", "QVTSK.FPT", "QVTSK.CDX", "TODO.INI"})
                QVERIFY2(QFile::exists(dir + name), name);
            QCOMPARE(window.todoTable().engine().tagCount(), 5);
            QCOMPARE(window.SortOrder(), 0);
            for (const QString& name : kRecordBound)
                QVERIFY2(!shown(window, name), qPrintable(name));
            QVERIFY(shown(window, "Newbutton"));
            QVERIFY(!window.findChild<QWidget*>("UpdateStatus")->isVisible());
            QCOMPARE(messages.infos(), QStringList{"Please rebuild indexes ASAP"});
            window.close();
        }
        QVERIFY(!window_open_files_remain(dir));
        IniFile ini(dir + "TODO.INI");
        QVERIFY(ini.contains("TMainScreen_Placement", "Bottom"));
        QCOMPARE(ini.readInt("Preferences", "SplitterBar", -1), 200);
        QVERIFY(ini.readBool("Reindex", "Needed", false));
    }

    void startStandsOnTheFirstTaskOfTodayOrLater_data()
    {
        QTest::addColumn<QList<QByteArray>>("dates");
        QTest::addColumn<QByteArray>("order");
        QTest::addColumn<QString>("current"); // description, "" for the end
        QTest::newRow("today present") << QList<QByteArray>{"20240103", "20240105", "20240105", "20240110"}
                                       << QByteArray("1") << "task 2";
        QTest::newRow("today present, sorted by description")
            << QList<QByteArray>{"20240103", "20240105", "20240105", "20240110"} << QByteArray("2") << "task 2";
        QTest::newRow("today present, the DONE order")
            << QList<QByteArray>{"20240103", "20240105", "20240110"} << QByteArray("3") << "task 2";
        QTest::newRow("only later") << QList<QByteArray>{"20231201", "20240301"} << QByteArray("1") << "task 2";
        QTest::newRow("nothing today or later") << QList<QByteArray>{"20231201", "20231231"} << QByteArray("1") << "";
        QTest::newRow("order beyond the tags") << QList<QByteArray>{"20240105"} << QByteArray("9") << "task 1";
        QTest::newRow("garbage order") << QList<QByteArray>{"20240105"} << QByteArray("lots") << "task 1";
    }

    void startStandsOnTheFirstTaskOfTodayOrLater()
    {
        QFETCH(QList<QByteArray>, dates);
        QFETCH(QByteArray, order);
        QFETCH(QString, current);
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        makeTasks(dir, dates);
        quorvo::test::writeFileBytes(dir + "TODO.INI",
                                     "[Preferences]\r\nOrder=" + order + "\r\n[Reindex]\r\nNeeded=0\r\n");
        ScriptedMessages messages;
        TMainScreen window(m_help, m_clock, dir);
        start(window);
        QVERIFY(messages.infos().isEmpty());
        xbase::Table& table = window.todoTable().engine();
        if (current.isEmpty()) {
            QVERIFY(table.eof());
            for (const QString& name : kRecordBound)
                QVERIFY2(!shown(window, name), qPrintable(name));
        } else {
            QVERIFY(!table.eof());
            QCOMPARE(window.todoTable().text(TaskField::DESCRIPT), current);
            for (const QString& name : kRecordBound)
                QVERIFY2(shown(window, name), qPrintable(name));
        }
        // A saved order beyond the tags changes nothing (the date order stays); one that is no number reads 0.
        const int expectedOrder = order == "9" ? 1 : order == "lots" ? 0 : order.toInt();
        QCOMPARE(table.order(), expectedOrder);
    }

    void missingIndexIsRebuiltKeepingDeletedFlags()
    {
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        makeTasks(dir, {"20240105", "20240106", "20240107"}, {false, true, false});
        QVERIFY(QFile::remove(dir + "QVTSK.CDX"));
        ScriptedMessages messages;
        TMainScreen window(m_help, m_clock, dir);
        start(window);
        QVERIFY(QFile::exists(dir + "QVTSK.CDX"));
        xbase::Table& table = window.todoTable().engine();
        QCOMPARE(*table.recCount(), 3u);
        QVERIFY(table.setOrder(1).ok());
        QCOMPARE(*table.queryRecCount(), 2u); // the deleted task is in no tag
        QVERIFY(table.verifyIndex().ok());
        QVERIFY(table.go(2).ok());
        QVERIFY(table.deleted());
    }

    void damagedIndexIsRebuilt()
    {
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        makeTasks(dir, {"20240105", "20240106"});
        quorvo::test::writeFileBytes(dir + "QVTSK.CDX", QByteArray(1024, '\x7F'));
        ScriptedMessages messages;
        TMainScreen window(m_help, m_clock, dir);
        start(window);
        QVERIFY(window.todoTable().engine().verifyIndex().ok());
        QVERIFY(window.todoTable().engine().setOrder(1).ok());
        QCOMPARE(*window.todoTable().engine().queryRecCount(), 2u);
    }

    void rebuildIndexesPacksAndClearsTheReminder()
    {
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        makeTasks(dir, {"20240105", "20240106", "20240107"}, {true, false, false});
        ScriptedMessages messages;
        TMainScreen window(m_help, m_clock, dir);
        start(window);
        messages.answer(true);
        window.RebuildIndexes1Click();
        QCOMPARE(messages.questions(), QStringList{"Rebuild Index Files?"});
        QCOMPARE(messages.infos(), (QStringList{"Please rebuild indexes ASAP", "Done!"}));
        xbase::Table& table = window.todoTable().engine();
        QVERIFY(!table.exclusive());
        QCOMPARE(*table.recCount(), 2u);
        // The grid shows the rebuilt view again.
        QCOMPARE(window.activeGrid()->model()->rowCount(), 2);
        QCOMPARE(table.order(), table.tagOrder("DATETIME"));
        QVERIFY(!window.ReindexNeeded());
        QVERIFY(!IniFile(dir + "TODO.INI").readBool("Reindex", "Needed", true));
    }

    void rebuildIndexesAnsweredNoDoesNothing()
    {
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        makeTasks(dir, {"20240105"}, {true});
        ScriptedMessages messages;
        TMainScreen window(m_help, m_clock, dir);
        start(window);
        messages.answer(false);
        window.RebuildIndexes1Click();
        QCOMPARE(*window.todoTable().engine().recCount(), 1u);
        QVERIFY(window.ReindexNeeded());
    }

    void rebuildIndexesWhileAnotherProgramHoldsTheTable()
    {
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        makeTasks(dir, {"20240105", "20240106"}, {true, false});
        // Another program holds the table open shared: this test binary started again as a holder.
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {"--hold", dir + "QVTSK.DBF"});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readAll().trimmed(), QByteArray("holding"));
        ScriptedMessages messages;
        {
            TMainScreen window(m_help, m_clock, dir);
            start(window);
            messages.answer(true);
            window.RebuildIndexes1Click();
            QCOMPARE(messages.infos(), (QStringList{"Please rebuild indexes ASAP",
                                                    "Unable to open the Todo file (QVTSK.DBF) for reindexing.\r"
                                                    "The file may be in use by another user"}));
            QVERIFY(window.todoTable().isOpen());
            QVERIFY(!window.todoTable().exclusive());
            QCOMPARE(*window.todoTable().engine().recCount(), 2u); // nothing was packed
            QVERIFY(window.ReindexNeeded());
        }
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
    }

    void garbagePreferencesTakeTheDefaults()
    {
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        makeTasks(dir, {"20240105"});
        quorvo::test::writeFileBytes(dir + "TODO.INI",
                                     "[Preferences]\r\nSplitterBar=tall\r\nOrder=0x\r\nShowDone=maybe\r\n"
                                     "[Reindex]\r\nNeeded=\r\n[TMainScreen_Placement]\r\nBottom=words\r\n");
        ScriptedMessages messages;
        TMainScreen window(m_help, m_clock, dir);
        start(window);
        QCOMPARE(window.preferences().splitterBar, 200);
        QVERIFY(window.preferences().reindexNeeded);
        QCOMPARE(messages.infos(), QStringList{"Please rebuild indexes ASAP"});
    }

    void closingSavesAndClosesTheFiles()
    {
        QTemporaryDir temp;
        const QString dir = temp.path() + "/";
        makeTasks(dir, {"20240105", "20240106"});
        ScriptedMessages messages;
        {
            TMainScreen window(m_help, m_clock, dir);
            start(window);
            QVERIFY(window.todoTable().engine().setOrder(2).ok());
            window.close();
            QVERIFY(!window.todoTable().isOpen());
        }
        // Closed means nobody holds the files: an exclusive open succeeds.
        QVERIFY(xbase::Table::open((dir + "QVTSK.DBF").toStdString(), xbase::OpenMode::Exclusive).ok());
        QCOMPARE(IniFile(dir + "TODO.INI").readInt("Preferences", "Order", -1), 2);
    }

private:
    static bool window_open_files_remain(const QString& dir)
    {
        return !xbase::Table::open((dir + "QVTSK.DBF").toStdString(), xbase::OpenMode::Exclusive).ok();
    }
};

// Started with "--hold FILE", the binary holds the table open shared until its input closes.
int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        auto held = xbase::Table::open(argv[2], xbase::OpenMode::Shared);
        std::fputs(held.ok() ? "holding\n" : "failed\n", stdout);
        std::fflush(stdout);
        char c;
        while (std::fread(&c, 1, 1, stdin) == 1) {
        }
        return held.ok() ? 0 : 1;
    }
    QApplication app(argc, argv);
    TestMainScreenTasks test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestMainScreenTasks.moc"
