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
#include <cstring>

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

// Journal bytes as a program writes them: prologue (magic of the version, payload length, checksum) and
// payload. The checksum is the journal format's own (FNV-style, eight bytes a step).
std::string journalBytes(char version, const std::string& payload)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    std::size_t i = 0;
    for (; i + 8 <= payload.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, payload.data() + i, 8);
        h = (h ^ word) * 0x100000001b3ull;
        h ^= h >> 29;
    }
    for (; i < payload.size(); ++i)
        h = (h ^ static_cast<unsigned char>(payload[i])) * 0x100000001b3ull;
    const auto sum = static_cast<std::uint32_t>(h ^ (h >> 32));
    std::string out = std::string("QVJNL") + version + std::string(2, '\0');
    for (std::uint32_t v : {static_cast<std::uint32_t>(payload.size()), sum})
        for (int b = 0; b < 4; ++b)
            out.push_back(static_cast<char>(v >> (8 * b)));
    return out + payload;
}

std::string le(std::uint64_t v, int bytes)
{
    std::string out;
    for (int b = 0; b < bytes; ++b)
        out.push_back(static_cast<char>(v >> (8 * b)));
    return out;
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
        // Over 1 MB a change is journalled without a fingerprint, and its spent mark is synced instead.
        QTest::newRow("append with a note over 1 MB") << Change([](Table& t) -> Status {
            QV_TRY(t.appendBlank());
            QV_TRY(t.replace(3, "long"));
            QV_TRY(t.replace(4, std::string(1100000, 'n')));
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

    // The journal as other builds of the program leave it. T.DBF holds "ABCDEFGHIJ" and T.NEW "new" (3
    // bytes); after recovery T.DBF holds the expected bytes and T.NEW exists or not.
    void journalOfOtherBuilds_data()
    {
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<bool>("recovers");
        QTest::addColumn<QByteArray>("dbf");
        QTest::addColumn<bool>("newLeft");
        const std::string rollback = std::string(1, '\1') + std::string(1, '\0') + le(8, 8) + le(1, 4) +
                                     std::string(1, '\0') + le(2, 8) + le(3, 4) + "cde";
        QTest::newRow("version 1 rollback")
            << QByteArray::fromStdString(journalBytes('\1', rollback)) << true << QByteArray("ABcdeFGH") << true;
        std::string torn = journalBytes('\1', rollback);
        torn.back() = 'X';
        QTest::newRow("torn rollback") << QByteArray::fromStdString(torn) << true << QByteArray("ABCDEFGHIJ") << true;
        auto swap = [](std::uint64_t size) {
            return journalBytes('\2', std::string(1, '\1') + le(5, 2) + "T.NEW" + le(5, 2) + "T.DBF" + le(size, 8));
        };
        QTest::newRow("unfinished swap") << QByteArray::fromStdString(swap(3)) << true << QByteArray("new") << false;
        // A later writer's leftover of the same name is not the file the swap named.
        QTest::newRow("swap whose new file has another size")
            << QByteArray::fromStdString(swap(4)) << true << QByteArray("ABCDEFGHIJ") << true;
        QTest::newRow("swap naming a file outside its folder")
            << QByteArray::fromStdString(
                   journalBytes('\2', std::string(1, '\1') + le(8, 2) + "../T.NEW" + le(5, 2) + "T.DBF" + le(3, 8)))
            << false << QByteArray("ABCDEFGHIJ") << true;
        QTest::newRow("unknown version") << QByteArray::fromStdString(journalBytes('\7', rollback)) << false
                                         << QByteArray("ABCDEFGHIJ") << true;
    }

    void journalOfOtherBuilds()
    {
        QFETCH(QByteArray, journal);
        QFETCH(bool, recovers);
        QFETCH(QByteArray, dbf);
        QFETCH(bool, newLeft);
        VolatileFileSystem fs;
        auto put = [&](const std::string& path, std::string_view bytes) {
            auto file = fs.open(path, OpenMode::Plain, true);
            return file.ok() && (*file)->writeAt(0, bytes).ok();
        };
        QVERIFY(put("/d/T.DBF", "ABCDEFGHIJ"));
        QVERIFY(put("/d/T.NEW", "new"));
        QVERIFY(put("/d/T.JNL", journal.toStdString()));
        auto opened = Journal::open(fs, "/d/T.JNL");
        QVERIFY(opened.ok());
        Journal& j = **opened;
        Status status = [&]() -> Status {
            auto swapped = j.finishSwap();
            if (!swapped)
                return swapped.error();
            auto file = fs.open("/d/T.DBF", OpenMode::Plain, false);
            if (!file)
                return file.error();
            File* files[] = {file->get()};
            return j.recover(files);
        }();
        QCOMPARE(status.ok(), recovers);
        QCOMPARE(QByteArray::fromStdString(fs.bytes("/d/T.DBF")), dbf);
        QCOMPARE(fs.exists("/d/T.NEW"), newLeft);
        // A journal that was dealt with is spent: a second recovery changes nothing.
        if (recovers) {
            auto again = Journal::open(fs, "/d/T.JNL");
            QVERIFY(again.ok());
            auto swapped = (*again)->finishSwap();
            QVERIFY(swapped.ok() && !*swapped);
        }
    }

    // A post's spent mark is not synced: a power cut anywhere in the next post keeps the first one
    // (or both), never rolls it back.
    void powerCutKeepsTheEarlierPost()
    {
        const std::string dir = "/data/";
        const std::string path = dir + "QVTSK.DBF";
        auto post = [](Table& t, std::uint32_t recno, const char* date) -> Status {
            QV_TRY(t.go(recno));
            QV_TRY(t.replace(1, date));
            QV_TRY(t.replace(7, "B"));
            return t.post();
        };
        Snapshot first;
        Snapshot both;
        {
            VolatileFileSystem fs;
            QVERIFY(seed(fs, path).ok());
            auto t = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
            QVERIFY(post(**t, 1, "20270101").ok());
            first = memorySnapshot(fs, dir);
            QVERIFY(post(**t, 2, "20270202").ok());
            both = memorySnapshot(fs, dir);
        }
        for (int cutAt = 1;; ++cutAt) {
            QVERIFY(cutAt < 200);
            VolatileFileSystem fs;
            QVERIFY(seed(fs, path).ok());
            FailingFileSystem failing(fs);
            {
                auto t = Table::open(path, OpenMode::Exclusive, optionsFor(failing));
                QVERIFY(t.ok());
                QVERIFY(post(**t, 1, "20270101").ok());
                failing.failAt(cutAt, true);
                (void)post(**t, 2, "20270202");
            }
            const bool cut = failing.changesSeen() >= cutAt;
            fs.dropUnsynced();
            auto reopened = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
            QVERIFY(reopened.ok());
            QVERIFY((*reopened)->verifyIndex().ok());
            QVERIFY((*reopened)->close().ok());
            const Snapshot now = memorySnapshot(fs, dir);
            QVERIFY2(now == first || now == both, qPrintable(QString("power cut at change %1").arg(cutAt)));
            if (!cut) {
                QVERIFY(now == both);
                break;
            }
        }
    }

    // A pack cut short after its journal named the new files is finished by whichever open comes next,
    // a shared one included.
    void sharedOpenFinishesAnInterruptedPack()
    {
        const std::string dir = "/data/";
        const std::string path = dir + "QVTSK.DBF";
        Snapshot after;
        {
            VolatileFileSystem fs;
            QVERIFY(seed(fs, path).ok());
            auto t = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
            QVERIFY((*t)->pack().ok());
            QVERIFY((*t)->close().ok());
            after = memorySnapshot(fs, dir);
        }
        int finished = 0;
        for (int cutAt = 1;; ++cutAt) {
            QVERIFY(cutAt < 200);
            VolatileFileSystem fs;
            QVERIFY(seed(fs, path).ok());
            FailingFileSystem failing(fs);
            failing.failAt(cutAt, true);
            {
                auto t = Table::open(path, OpenMode::Exclusive, optionsFor(failing));
                QVERIFY(t.ok());
                (void)(*t)->pack();
            }
            const bool cut = failing.changesSeen() >= cutAt;
            fs.dropUnsynced();
            const bool named = fs.exists(dir + "QVTSK.DBF.new") && memorySnapshot(fs, dir).dbf != after.dbf;
            {
                auto shared = Table::open(path, OpenMode::Shared, optionsFor(fs));
                QVERIFY(shared.ok());
                QVERIFY((*shared)->verifyIndex().ok());
                if (named && memorySnapshot(fs, dir) == after) {
                    ++finished;
                    QCOMPARE(*(*shared)->recCount(), 2u);
                }
            }
            if (!cut)
                break;
        }
        QVERIFY(finished > 0);
    }

    // A table whose notes live in a dBASE memo file (.DBT) keeps that file as it is through a pack: the
    // kept records still point at their notes.
    void packKeepsADbtMemoFile()
    {
        VolatileFileSystem fs;
        const std::string path = "/data/QVTSK.DBF";
        QVERIFY(Table::create(path, taskFields(), optionsFor(fs)).ok());
        {
            auto t = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
            QVERIFY(t.ok());
            for (int i = 0; i < 3; ++i) {
                QVERIFY((*t)->appendBlank().ok());
                QVERIFY((*t)->replace(3, "task " + std::to_string(i)).ok());
                QVERIFY((*t)->setDeleted(i == 0).ok());
                QVERIFY((*t)->post().ok());
            }
            QVERIFY((*t)->close().ok());
        }
        // Make it a dBASE III table: version byte, a .DBT with one note at block 1, record 2 pointing at it.
        const auto fields = laidOutTaskFields();
        std::string dbf = fs.bytes(path);
        const std::size_t headerLength = static_cast<unsigned char>(dbf[8]) | static_cast<unsigned char>(dbf[9]) << 8;
        const std::size_t recordLength = static_cast<unsigned char>(dbf[10]) | static_cast<unsigned char>(dbf[11]) << 8;
        dbf[0] = '\x83';
        dbf.replace(headerLength + recordLength + fields[3].offset, 10, "         1");
        std::string dbt(1024, '\0');
        dbt[0] = 2;
        dbt.replace(512, 7, "hello\x1A\x1A");
        QVERIFY(fs.remove("/data/QVTSK.FPT").ok());
        for (const auto& [name, bytes] : {std::pair{path, dbf}, std::pair{std::string("/data/QVTSK.DBT"), dbt}}) {
            auto file = fs.open(name, OpenMode::Plain, true);
            QVERIFY(file.ok() && (*file)->truncate(0).ok() && (*file)->writeAt(0, bytes).ok());
        }
        auto t = Table::open(path, OpenMode::Exclusive, optionsFor(fs));
        QVERIFY(t.ok());
        QVERIFY((*t)->pack().ok());
        QCOMPARE(*(*t)->recCount(), 2u);
        QVERIFY((*t)->go(1).ok());
        QCOMPARE((*t)->getTrimString(3), std::string("task 1"));
        auto memo = (*t)->getMemo(4);
        QVERIFY(memo.ok());
        QCOMPARE(*memo, std::string("hello"));
        QCOMPARE(fs.bytes("/data/QVTSK.DBT"), dbt);
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "TestJournal.moc"
