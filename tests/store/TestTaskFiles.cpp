// Creating, opening and checking the task files, with the messages a user sees when it fails.
#include "store/TaskFiles.h"
#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"
#include "support/ScriptedMessages.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace quorvo;

namespace {

using Fields = std::vector<xbase::FieldInfo>;

xbase::FieldInfo field(const char* name, char type, std::uint16_t width)
{
    return {name, type, 0, width, 0};
}

} // namespace

Q_DECLARE_METATYPE(Fields)

class TestTaskFiles : public QObject
{
    Q_OBJECT

private slots:
    void oldStructure_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<bool>("old");
        const Fields six{field("DATE", 'C', 8),  field("TIME", 'C', 5), field("DESCRIPT", 'C', 50),
                         field("NOTE", 'M', 10), field("DONE", 'L', 1), field("KEYS", 'C', 60)};
        Fields seven = six;
        seven.push_back(field("PRIORITY", 'C', 1));
        Fields sevenAndMore = seven;
        sevenAndMore.push_back(field("EXTRA", 'C', 3));
        Fields noDate(six.begin() + 1, six.end());
        Fields lowerCase = six;
        lowerCase[0].name = "date";
        Fields oldAndMore = six;
        oldAndMore.push_back(field("EXTRA", 'C', 3));
        QTest::newRow("the six old fields") << six << true;
        QTest::newRow("old fields in lower case") << lowerCase << true;
        QTest::newRow("old fields and another") << oldAndMore << true;
        QTest::newRow("with PRIORITY") << seven << false;
        QTest::newRow("with PRIORITY and extra fields") << sevenAndMore << false;
        QTest::newRow("without DATE") << noDate << false;
    }

    void oldStructure()
    {
        QFETCH(Fields, fields);
        QFETCH(bool, old);
        QTemporaryDir dir;
        const QString path = dir.filePath("QVTSK.DBF");
        QVERIFY(xbase::Table::create(path.toStdString(), fields).ok());
        QCOMPARE(TaskFiles::IsOldStructure(path), old);
    }

    void unreadableTableIsNotOldStructure()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("QVTSK.DBF");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a table");
        f.close();
        QVERIFY(!TaskFiles::IsOldStructure(path));
        QVERIFY(!TaskFiles::IsOldStructure(dir.filePath("MISSING.DBF")));
    }

    // The upgrade runs between its notice and its result. One that leaves the old table in place makes the
    // open fail, so no list without priorities is ever shown; without an upgrade the table opens unchanged.
    void oldStructureGoesThroughTheUpgradeHook_data()
    {
        QTest::addColumn<int>("hook"); // 0 none, 1 one that fails and leaves the old table
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QStringList>("infos");
        QTest::newRow("no upgrade") << 0 << true << QStringList{};
        QTest::newRow("failed upgrade")
            << 1 << false
            << QStringList{"This version of QVO uses a new file structure\rwith the new PRIORITY field.\rYour existing "
                           "data files are from an older version.\r\rThe program will now attempt to update "
                           "the\rfiles to the new version. The old files\rwill be saved as QVBAK.DBF and QVBAK.FPT",
                           "There was an error updating the files.", "Unable to open the Todo file: QVTSK.DBF"};
    }

    void oldStructureGoesThroughTheUpgradeHook()
    {
        QFETCH(int, hook);
        QFETCH(bool, opens);
        QFETCH(QStringList, infos);
        QTemporaryDir dir;
        const QString programDir = dir.path() + "/";
        const Fields six{field("DATE", 'C', 8),  field("TIME", 'C', 5), field("DESCRIPT", 'C', 50),
                         field("NOTE", 'M', 10), field("DONE", 'L', 1), field("KEYS", 'C', 60)};
        QVERIFY(xbase::Table::create((programDir + "QVTSK.DBF").toStdString(), six).ok());
        ScriptedMessages messages;
        TodoTable table;
        TaskFiles files(table, programDir);
        int upgrades = 0;
        qsizetype shownBefore = 0;
        if (hook == 1)
            files.upgradeOldStructure = [&] {
                ++upgrades;
                shownBefore = messages.infos().size();
                return false;
            };
        files.runIndexRebuild = [&](bool) { QVERIFY(table.engine().createTag("DATETIME", "DATE+TIME", "").ok()); };
        QCOMPARE(files.OpenTaskTable(false), opens);
        QCOMPARE(upgrades, hook);
        QCOMPARE(messages.infos(), infos);
        // The notice comes before the upgrade starts.
        QCOMPARE(shownBefore, qsizetype(hook));
        QCOMPARE(table.isOpen(), opens);
    }

    void missingTableIsCreatedWithItsIndex()
    {
        QTemporaryDir dir;
        const QString programDir = dir.path() + "/";
        ScriptedMessages messages;
        TodoTable table;
        TaskFiles files(table, programDir);
        QStringList statuses;
        QList<bool> rebuilds;
        files.statusText = [&](const QString& text) { statuses << text; };
        files.runIndexRebuild = [&](bool packFirst) {
            rebuilds << packFirst;
            QVERIFY(table.exclusive());
            for (const char* tag : {"DATETIME", "DESCRIPT", "DONE", "KEYS", "PRIORITY"})
                QVERIFY(table.engine().createTag(tag, "DATE", "not Deleted()").ok());
        };
        QVERIFY(files.OpenTaskTable(false));
        QCOMPARE(statuses, (QStringList{"Opening files...", "Creating indexes..."}));
        QCOMPARE(rebuilds, QList<bool>{false});
        QVERIFY(!table.exclusive());
        QCOMPARE(table.engine().order(), 1);
        QVERIFY(messages.infos().isEmpty());
        QCOMPARE(table.engine().fieldCount(), 7);
    }

    void tableThatCannotBeCreated()
    {
        ScriptedMessages messages;
        TodoTable table;
        TaskFiles files(table, "/nonexistent/directory/");
        QVERIFY(!files.CreateTaskTable());
        QVERIFY(!files.OpenTaskTable(false));
        QCOMPARE(messages.infos(), QStringList{"Unable to open or create QVTSK.DBF"});
        QVERIFY(!table.isOpen());
    }

    void damagedTableNamesTheDamage()
    {
        QTemporaryDir dir;
        const QString programDir = dir.path() + "/";
        const QString path = programDir + "QVTSK.DBF";
        QVERIFY(TaskGenerator::createTable(path.toStdString(), 200, {}).ok());
        QFile dbf(path);
        QVERIFY(dbf.open(QIODevice::ReadWrite));
        const QByteArray head = dbf.read(12);
        const int headerLength = quint8(head[8]) | quint8(head[9]) << 8;
        const int recordLength = quint8(head[10]) | quint8(head[11]) << 8;
        // Cut inside record 151.
        QVERIFY(dbf.resize(headerLength + 150 * recordLength + 7));
        dbf.close();
        ScriptedMessages messages;
        TodoTable table;
        TaskFiles files(table, programDir);
        QVERIFY(!files.OpenTaskTable(false));
        QCOMPARE(messages.infos(), QStringList{"Unable to open the Todo file: QVTSK.DBF\r" + path +
                                               ": the record area is truncated: the header counts 200 records, "
                                               "the file holds 150"});
        QVERIFY(!table.isOpen());
    }

    void openRefusedByAnotherProgram_data()
    {
        QTest::addColumn<bool>("exclusive");
        QTest::addColumn<QString>("message");
        QTest::newRow("shared") << false << "Unable to open the Todo file: QVTSK.DBF\rthe file is in use: ";
        QTest::newRow("exclusive") << true
                                   << "Unable to open the Todo file (QVTSK.DBF) for reindexing.\r"
                                      "The file may be in use by another user";
    }

    void openRefusedByAnotherProgram()
    {
        QFETCH(bool, exclusive);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString programDir = dir.path() + "/";
        QVERIFY(TaskGenerator::createTable((programDir + "QVTSK.DBF").toStdString(), 3, {}).ok());
        // Another program holds the table exclusively: this test binary started again as the holder.
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {"--hold", programDir + "QVTSK.DBF"});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readAll().trimmed(), QByteArray("holding"));
        ScriptedMessages messages;
        TodoTable table;
        TaskFiles files(table, programDir);
        QVERIFY(!files.OpenTaskTable(exclusive));
        QCOMPARE(messages.infos().size(), 1);
        // The shared message names the engine's reason and the file on a line of its own.
        const QString expected = exclusive ? message : message + programDir + "QVTSK.DBF";
        QCOMPARE(messages.infos().first(), expected);
        QVERIFY(!table.isOpen());
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        // The files are untouched and open once the other program has let go.
        QVERIFY(files.OpenTaskTable(exclusive));
        QCOMPARE(*table.engine().recCount(), 3u);
    }
};

// Started with "--hold FILE", the binary holds the table open exclusively until its input closes.
int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        auto held = xbase::Table::open(argv[2], xbase::OpenMode::Exclusive);
        std::fputs(held.ok() ? "holding\n" : "failed\n", stdout);
        std::fflush(stdout);
        char c;
        while (std::fread(&c, 1, 1, stdin) == 1) {
        }
        return held.ok() ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    TestTaskFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestTaskFiles.moc"
