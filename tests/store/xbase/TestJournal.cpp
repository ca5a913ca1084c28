// A post is all or nothing: whichever write fails, and whatever a power cut drops, reopening the files
// shows the table exactly as before the post or exactly as after it.
#include "store/TaskIndexTags.h"
#include "store/xbase/DiskFileSystem.h"
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
