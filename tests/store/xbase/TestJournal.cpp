// A post is all or nothing: whichever write fails, and whatever a power cut drops, reopening the files
// shows the table exactly as before the post or exactly as after it.
#include "store/TaskIndexTags.h"
#include "store/xbase/DiskFileSystem.h"
#include "store/xbase/Journal.h"
#include "store/xbase/RollbackView.h"
#include "store/xbase/Table.h"
#include "support/xbase/FailingFileSystem.h"
#include "support/xbase/TaskFields.h"
#include "support/xbase/VolatileFileSystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo::xbase;
using namespace quorvo::xbase::test;

namespace {

using Change = std::function<Status(Table&)>;

TableOptions optionsFor(FileSystem& fs)
{
    TableOptions options;
    options.fileSystem = &fs;
    options.today = [] { return Date3{2026, 12, 8}; };
    return options;
}

Status seed(FileSystem& fs, const std::string& path)
{
    QV_TRY(Table::create(path, taskFields(), optionsFor(fs)));
    auto t = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
    if (!t)
        return t.error();
    // The index pages belong to each transaction too.
    for (const quorvo::TaskIndexTag& tag : quorvo::kTaskIndexTags)
        QV_TRY((*t)->createTag(tag.name, tag.key, tag.condition));
    for (int i = 0; i < 3; ++i) {
        QV_TRY((*t)->appendBlank());
        QV_TRY((*t)->replace(3, "task " + std::to_string(i)));
        QV_TRY((*t)->replace(4, "a note"));
        QV_TRY((*t)->setDeleted(i == 2));
        QV_TRY((*t)->post());
    }
    return (*t)->close();
}

struct Snapshot
{
    QByteArray dbf;
    QByteArray fpt;
    QByteArray cdx;
    bool operator==(const Snapshot&) const = default;
};

Snapshot diskSnapshot(const QTemporaryDir& dir)
{
    auto read = [&](const char* name) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    return {read("QVTSK.DBF"), read("QVTSK.FPT"), read("QVTSK.CDX")};
}

Snapshot memorySnapshot(const VolatileFileSystem& fs, const std::string& dir)
{
    return {QByteArray::fromStdString(fs.bytes(dir + "QVTSK.DBF")),
            QByteArray::fromStdString(fs.bytes(dir + "QVTSK.FPT")),
            QByteArray::fromStdString(fs.bytes(dir + "QVTSK.CDX"))};
}

} // namespace

Q_DECLARE_METATYPE(Change)
using Writes = std::vector<std::pair<int, std::string>>;
Q_DECLARE_METATYPE(Writes)

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void changes_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("edit with a memo that grows") << Change([](Table& t) -> Status {
            QV_TRY(t.go(2));
            QV_TRY(t.replace(3, "edited"));
            QV_TRY(t.replace(4, std::string(300, 'g')));
            return t.post();
        });
        QTest::newRow("append with memo") << Change([](Table& t) -> Status {
            QV_TRY(t.appendBlank());
            QV_TRY(t.replace(3, "new"));
            QV_TRY(t.replace(4, "new note"));
            return t.post();
        });
        QTest::newRow("delete flag") << Change([](Table& t) -> Status {
            QV_TRY(t.go(1));
            QV_TRY(t.setDeleted(true));
            return t.post();
        });
        QTest::newRow("pack") << Change([](Table& t) -> Status { return t.pack(); });
        QTest::newRow("zap") << Change([](Table& t) -> Status { return t.zap(); });
        QTest::newRow("tag build") << Change(
            [](Table& t) -> Status { return t.createTag("EXTRA", "upper(KEYS)+DATE", "not Deleted()"); });
        QTest::newRow("edit of every key field") << Change([](Table& t) -> Status {
            QV_TRY(t.setOrder(1));
            QV_TRY(t.go(1));
            QV_TRY(t.replace(1, "20991231"));
            QV_TRY(t.replace(3, "renamed"));
            QV_TRY(t.replace(5, "T"));
            QV_TRY(t.replace(6, "moved keys"));
            QV_TRY(t.replace(7, "C"));
            return t.post();
        });
    }

    // A transaction that cuts a file and writes it again leaves zeros wherever it wrote nothing past
    // the cut, and nothing of the old bytes past its new end, whether or not its writes cover the rest.
    void cutAndRewrite_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<Writes>("writes");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("rewritten whole, shorter") << 2 << Writes{{2, "xy"}} << QByteArray("ABxy");
        QTest::newRow("rewritten whole, longer") << 0 << Writes{{0, "0123456789ab"}} << QByteArray("0123456789ab");
        QTest::newRow("gap after the cut") << 2 << Writes{{6, "xy"}} << QByteArray("AB\0\0\0\0xy", 8);
        QTest::newRow("gap between writes") << 1 << Writes{{1, "b"}, {4, "e"}} << QByteArray("Ab\0\0e", 5);
        QTest::newRow("write before the cut only") << 3 << Writes{{0, "a"}} << QByteArray("aBC");
        QTest::newRow("cut only") << 4 << Writes{} << QByteArray("ABCD");
    }

    void cutAndRewrite()
    {
        QFETCH(int, cut);
        QFETCH(Writes, writes);
        QFETCH(QByteArray, expected);
        for (const bool sole : {false, true}) {
            VolatileFileSystem fs;
            auto file = fs.open("/d/T.DBF", OpenMode::Plain, true);
            QVERIFY(file.ok());
            QVERIFY((*file)->writeAt(0, std::string_view("ABCDEFGHIJ")).ok());
            auto journal = Journal::open(fs, "/d/T.JNL");
            QVERIFY(journal.ok());
            PendingFile pending(**file);
            pending.setSoleWriter(sole);
            QVERIFY(pending.truncate(static_cast<std::uint64_t>(cut)).ok());
            for (const auto& [offset, bytes] : writes)
                QVERIFY(pending.write(static_cast<std::uint64_t>(offset), bytes).ok());
            PendingFile* files[] = {&pending};
            QVERIFY((*journal)->commit(files).ok());
            QCOMPARE(QByteArray::fromStdString(fs.bytes("/d/T.DBF")), expected);
        }
    }

    void failedWriteRollsBack_data() { changes_data(); }

    void failedWriteRollsBack()
    {
        QFETCH(Change, change);
        QTemporaryDir dir;
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        QVERIFY(seed(diskFileSystem(), path).ok());
        const Snapshot before = diskSnapshot(dir);
        Snapshot after;
        {
            QTemporaryDir other;
            const std::string otherPath = other.filePath("QVTSK.DBF").toStdString();
            QVERIFY(seed(diskFileSystem(), otherPath).ok());
            auto t = Table::open(otherPath, OpenMode::Exclusive, optionsFor(diskFileSystem()));
            QVERIFY(change(**t).ok());
            QVERIFY((*t)->close().ok());
            after = diskSnapshot(other);
        }
        QVERIFY(!(before == after));

        for (int failAt = 1;; ++failAt) {
            QVERIFY(failAt < 200);
            FailingFileSystem failing(diskFileSystem());
            auto t = Table::open(path, OpenMode::Exclusive, optionsFor(failing));
            QVERIFY(t.ok());
            failing.failAt(failAt, false);
            const Status status = change(**t);
            const bool injected = failing.changesSeen() >= failAt;
            if (!status.ok()) {
                // The same table goes on working after a failed change, its index included.
                const Status check = (*t)->verifyIndex();
                const QString why = check.ok() ? QString() : QString::fromStdString(check.error().message);
                QVERIFY2(check.ok(), qPrintable(QString("after failing change %1: %2").arg(failAt).arg(why)));
                // Going to a record shows what the file holds, not what the failed change meant to write.
                std::vector<std::string> onDisk;
                QVERIFY((*t)->scan([&](std::uint32_t, std::string_view record) {
                                onDisk.emplace_back(record);
                                return true;
                            })
                            .ok());
                for (std::uint32_t r = 1; r <= onDisk.size(); ++r) {
                    QVERIFY((*t)->go(r).ok());
                    QVERIFY2((*t)->record() == onDisk[r - 1],
                             qPrintable(QString("record %1, change %2").arg(r).arg(failAt)));
                }
            }
            t = makeError(ErrorCode::Io, "closed");

            // Reopening rolls back whatever the failed commit left behind.
            auto reopened = Table::open(path, OpenMode::Exclusive, optionsFor(diskFileSystem()));
            QVERIFY(reopened.ok());
            reopened = makeError(ErrorCode::Io, "closed");
            const Snapshot now = diskSnapshot(dir);
            if (!injected) {
                QVERIFY(status.ok());
                QVERIFY(now == after);
                break;
            }
            QVERIFY2(now == before || now == after, qPrintable(QString("failing change %1").arg(failAt)));
            if (!status.ok())
                QVERIFY2(now == before, qPrintable(QString("a failed change %1 left its bytes").arg(failAt)));
            // Start each round from the seeded table.
            QFile::remove(QString::fromStdString(path));
            QFile::remove(dir.filePath("QVTSK.FPT"));
            QFile::remove(dir.filePath("QVTSK.CDX"));
            QVERIFY(seed(diskFileSystem(), path).ok());
        }
    }

    void powerCutKeepsBeforeOrAfter_data() { changes_data(); }

    void powerCutKeepsBeforeOrAfter()
    {
        QFETCH(Change, change);
        const std::string dir = "/data/";
        const std::string path = dir + "QVTSK.DBF";
        Snapshot before;
        Snapshot after;
        {
            VolatileFileSystem fs;
            QVERIFY(seed(fs, path).ok());
            before = memorySnapshot(fs, dir);
            auto t = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
            QVERIFY(change(**t).ok());
            QVERIFY((*t)->close().ok());
            after = memorySnapshot(fs, dir);
        }
        for (int cutAt = 1;; ++cutAt) {
            QVERIFY(cutAt < 200);
            VolatileFileSystem fs;
            QVERIFY(seed(fs, path).ok());
            FailingFileSystem failing(fs);
            failing.failAt(cutAt, true);
            {
                auto t = Table::open(path, OpenMode::Exclusive, optionsFor(failing));
                QVERIFY(t.ok());
                (void)change(**t);
            }
            const bool cut = failing.changesSeen() >= cutAt;
            fs.dropUnsynced();
            auto reopened = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
            QVERIFY(reopened.ok());
            QVERIFY((*reopened)->close().ok());
            const Snapshot now = memorySnapshot(fs, dir);
            QVERIFY2(now == before || now == after, qPrintable(QString("power cut at change %1").arg(cutAt)));
            if (!cut) {
                QVERIFY(now == after);
                break;
            }
        }
    }

    // With sync on (the program's setting), a post that returned is on disk: a power cut right after it
    // keeps it.
    void syncedPostSurvivesAPowerCut_data() { changes_data(); }

    void syncedPostSurvivesAPowerCut()
    {
        QFETCH(Change, change);
        const std::string dir = "/data/";
        const std::string path = dir + "QVTSK.DBF";
        VolatileFileSystem fs;
        QVERIFY(seed(fs, path).ok());
        Snapshot after;
        {
            auto t = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
            QVERIFY(t.ok());
            QVERIFY(change(**t).ok());
            after = memorySnapshot(fs, dir);
            fs.dropUnsynced();
        }
        fs.dropUnsynced();
        auto reopened = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
        QVERIFY(reopened.ok());
        QVERIFY((*reopened)->close().ok());
        QVERIFY(memorySnapshot(fs, dir) == after);
    }

    // After a crash, a read-only open sees the files as the next writer's open will leave them, and
    // writes nothing.
    void readOnlyOpenSeesTheRollback_data() { changes_data(); }

    void readOnlyOpenSeesTheRollback()
    {
        QFETCH(Change, change);
        const std::string dir = "/data/";
        const std::string path = dir + "QVTSK.DBF";
        int interrupted = 0;
        for (int cutAt = 1;; ++cutAt) {
            QVERIFY(cutAt < 200);
            VolatileFileSystem fs;
            QVERIFY(seed(fs, path).ok());
            FailingFileSystem failing(fs);
            failing.failAt(cutAt, true);
            {
                auto t = Table::open(path, OpenMode::Exclusive, optionsFor(failing));
                QVERIFY(t.ok());
                (void)change(**t);
            }
            const bool cut = failing.changesSeen() >= cutAt;
            fs.dropUnsynced();
            const Snapshot crashed = memorySnapshot(fs, dir);

            RollbackView view(fs, path);
            auto rolledBack = view.prepare();
            QVERIFY(rolledBack.ok());
            interrupted += *rolledBack ? 1 : 0;
            auto seenOf = [&](const char* name) {
                auto file = view.open(dir + name, OpenMode::ReadOnly, false);
                if (!file)
                    return QByteArray();
                std::string bytes(static_cast<std::size_t>(*(*file)->size()), '\0');
                (void)(*file)->readExact(0, bytes);
                return QByteArray::fromStdString(bytes);
            };
            const Snapshot seen{seenOf("QVTSK.DBF"), seenOf("QVTSK.FPT"), seenOf("QVTSK.CDX")};
            {
                auto t = Table::open(path, OpenMode::ReadOnly, optionsFor(fs));
                QVERIFY(t.ok());
                QCOMPARE((*t)->rolledBackInMemory(), *rolledBack);
                QVERIFY((*t)->verifyIndex().ok());
                QVERIFY(!(*t)->appendBlank().ok());
            }
            QVERIFY2(memorySnapshot(fs, dir) == crashed,
                     qPrintable(QString("read-only open wrote, cut %1").arg(cutAt)));

            auto reopened = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
            QVERIFY(reopened.ok());
            QVERIFY((*reopened)->close().ok());
            QVERIFY2(memorySnapshot(fs, dir) == seen, qPrintable(QString("view differs, cut %1").arg(cutAt)));
            if (!cut)
                break;
        }
        QVERIFY(interrupted > 0);
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "TestJournal.moc"
