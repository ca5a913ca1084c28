// Records, memos, moves, queries and maintenance of one table.
#include "store/xbase/Table.h"
#include "support/xbase/TaskFields.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo::xbase;
using quorvo::xbase::test::taskFields;

namespace {

constexpr int kDate = 1, kTime = 2, kDescript = 3, kNote = 4, kDone = 5, kKeys = 6, kPriority = 7;

std::unique_ptr<Table> openTable(const std::string& path, OpenMode mode = OpenMode::Exclusive)
{
    TableOptions options;
    options.sync = false;
    auto table = Table::open(path, mode, options);
    if (!table)
        qWarning("open failed: %s", table.error().message.c_str());
    return table ? std::move(*table) : nullptr;
}

// A task table with one record per description; every third is flagged deleted.
std::unique_ptr<Table> taskTable(const QTemporaryDir& dir, const QStringList& descriptions)
{
    const std::string path = dir.filePath("QVTSK.DBF").toStdString();
    if (!Table::create(path, taskFields()).ok())
        return nullptr;
    auto table = openTable(path);
    for (int i = 0; i < descriptions.size(); ++i) {
        const Status ok = table->appendBlank();
        (void)table->replace(kDescript, descriptions[i].toStdString());
        (void)table->replace(kDate, QString("202401%1").arg(i + 1, 2, 10, QChar('0')).toStdString());
        (void)table->replaceLogical(kDone, i % 2 == 1);
        (void)table->replace(kKeys, i % 2 ? "home garden" : "work");
        (void)table->replace(kNote, QString("note of %1").arg(descriptions[i]).toStdString());
        if (!ok || !table->post().ok())
            return nullptr;
    }
    return table;
}

QStringList walk(Table& t, bool forward = true)
{
    QStringList seen;
    if (!(forward ? t.goTop() : t.goBottom()).ok())
        return {"<move failed>"};
    while (!(forward ? t.eof() : t.bof())) {
        seen << QString::fromStdString(t.getTrimString(kDescript));
        if (!t.skip(forward ? 1 : -1).ok())
            return {"<skip failed>"};
    }
    return seen;
}

} // namespace

class TestTable : public QObject
{
    Q_OBJECT

private slots:
    void fieldsRoundTrip_data()
    {
        QTest::addColumn<char>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("C1") << 'C' << 1 << QByteArray("xyz") << QByteArray("x");
        QTest::newRow("C254 padded") << 'C' << 254 << QByteArray("abc") << QByteArray("abc").leftJustified(254, ' ');
        QTest::newRow("C254 cut") << 'C' << 254 << QByteArray(300, 'q') << QByteArray(254, 'q');
        QTest::newRow("C cp1252") << 'C' << 8 << QByteArray("d\xE9j\xE0 \x80") << QByteArray("d\xE9j\xE0 \x80  ");
        QTest::newRow("L true") << 'L' << 1 << QByteArray("T") << QByteArray("T");
        QTest::newRow("L yes") << 'L' << 1 << QByteArray("y") << QByteArray("T");
        QTest::newRow("L false") << 'L' << 1 << QByteArray("F") << QByteArray("F");
        QTest::newRow("L blank") << 'L' << 1 << QByteArray("") << QByteArray(" ");
        QTest::newRow("D") << 'D' << 8 << QByteArray("20241231") << QByteArray("20241231");
        QTest::newRow("N right aligned") << 'N' << 5 << QByteArray("42") << QByteArray("   42");
        QTest::newRow("N too wide") << 'N' << 3 << QByteArray("12345") << QByteArray("***");
    }

    void fieldsRoundTrip()
    {
        QFETCH(char, type);
        QFETCH(int, width);
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, stored);
        QTemporaryDir dir;
        const std::string path = dir.filePath("T.DBF").toStdString();
        const std::vector<FieldInfo> fields{{"BEFORE", 'C', 0, 3, 0},
                                            {"VALUE", type, 0, static_cast<std::uint16_t>(width), 0},
                                            {"AFTER", 'C', 0, 3, 0}};
        QVERIFY(Table::create(path, fields).ok());
        {
            auto t = openTable(path);
            QVERIFY(t->appendBlank().ok());
            QVERIFY(t->replace(1, "<<<").ok());
            QVERIFY(t->replace(2, std::string_view(written.constData(), written.size())).ok());
            QVERIFY(t->replace(3, ">>>").ok());
            QVERIFY(t->close().ok());
        }
        auto t = openTable(path, OpenMode::Shared);
        QCOMPARE(*t->recCount(), 1u);
        QCOMPARE(QByteArray::fromStdString(t->getString(2)), stored);
        QCOMPARE(t->getString(1), std::string("<<<"));
        QCOMPARE(t->getString(3), std::string(">>>"));
        QCOMPARE(t->field(2).width, width);
    }

    void memosKeepEveryByteAndReuseTheirBlocks()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"one"});
        QVERIFY(t);
        const std::string exotic = "line one\r\nd\xE9j\xE0 vu \x80 \x9F\xFF\r\n\r\nend";
        QVERIFY(t->replace(kNote, exotic).ok());
        QVERIFY(t->post().ok());
        const std::string first = t->getString(kNote);
        QCOMPARE(*t->getMemo(kNote), exotic);

        // A shorter text fits the old blocks and keeps its pointer.
        QVERIFY(t->replace(kNote, "short").ok());
        QVERIFY(t->post().ok());
        QCOMPARE(t->getString(kNote), first);
        QCOMPARE(*t->getMemo(kNote), std::string("short"));

        // A longer one moves to new blocks at the end.
        const std::string longText(500, 'z');
        QVERIFY(t->replace(kNote, longText).ok());
        QVERIFY(t->post().ok());
        QVERIFY(t->getString(kNote) != first);
        QCOMPARE(*t->getMemo(kNote), longText);

        // An empty memo takes no block.
        QVERIFY(t->replace(kNote, "").ok());
        QVERIFY(t->post().ok());
        QCOMPARE(t->getString(kNote), std::string(10, ' '));
        QCOMPARE(*t->getMemo(kNote), std::string());
    }

    void damagedNextFreeBlockDoesNotGrowTheMemoFile()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"a"});
        QVERIFY(t->close().ok());
        QFile fpt(dir.filePath("QVTSK.FPT"));
        QVERIFY(fpt.open(QIODevice::ReadWrite));
        const qint64 size = fpt.size();
        fpt.seek(0);
        fpt.write(QByteArray::fromHex("7FFFFFF0")); // next free block far past the end
        fpt.close();

        t = openTable(dir.filePath("QVTSK.DBF").toStdString());
        QVERIFY(t->go(1).ok());
        QVERIFY(t->replace(kNote, std::string(300, 'w')).ok());
        QVERIFY(t->post().ok());
        QCOMPARE(*t->getMemo(kNote), std::string(300, 'w'));
        QVERIFY(fpt.size() < size + 512);
    }

    void movesFollowRecordOrderAndTheQuery()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"a", "b", "c", "d", "e"});
        QVERIFY(t);
        QCOMPARE(walk(*t), QStringList({"a", "b", "c", "d", "e"}));
        QCOMPARE(walk(*t, false), QStringList({"e", "d", "c", "b", "a"}));

        QVERIFY(t->setQuery(".not. DONE").ok());
        QCOMPARE(walk(*t), QStringList({"a", "c", "e"}));
        QCOMPARE(walk(*t, false), QStringList({"e", "c", "a"}));
        QCOMPARE(*t->queryRecCount(), 3u);

        QVERIFY(t->goTop().ok());
        QVERIFY(t->skip(2).ok());
        QCOMPARE(t->recNo(), 5u);
        QVERIFY(t->skip(1).ok());
        QVERIFY(t->eof());
        QCOMPARE(t->recNo(), 6u);
        QVERIFY(t->skip(-1).ok());
        QCOMPARE(t->recNo(), 5u);
        QVERIFY(t->goTop().ok());
        QVERIFY(t->skip(-1).ok());
        QVERIFY(t->bof());
        QCOMPARE(t->recNo(), 1u);
        QCOMPARE(t->getTrimString(kDescript), std::string("a"));

        // go() ignores the query.
        QVERIFY(t->go(2).ok());
        QCOMPARE(t->getTrimString(kDescript), std::string("b"));
        QVERIFY(t->go(99).ok());
        QVERIFY(t->eof());

        QVERIFY(t->setQuery("DESCRIPT = \"zzz\"").ok());
        QVERIFY(t->goTop().ok());
        QVERIFY(t->eof() && t->bof());
        QCOMPARE(*t->queryRecCount(), 0u);
        QVERIFY(t->setQuery("").ok());
        QCOMPARE(*t->queryRecCount(), 5u);
        QVERIFY(t->query().empty());
    }

    void queryErrorsLeaveTheOldQuery()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"a", "b"});
        QVERIFY(t->setQuery("DONE").ok());
        const Status bad = t->setQuery("DONE .and. (");
        QVERIFY(!bad.ok());
        QCOMPARE(bad.error().code, ErrorCode::BadExpression);
        QVERIFY(!t->setQuery("DESCRIPT").ok()); // text, not a condition
        QCOMPARE(t->query(), std::string("DONE"));
        QCOMPARE(*t->queryRecCount(), 1u);
    }

    void evalLogicalOnTheCurrentRecord()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"alpha", "beta"});
        QVERIFY(t->go(2).ok());
        QCOMPARE(*t->evalLogical("DONE .and. \"GARDEN\" $ upper(KEYS)"), true);
        QCOMPARE(*t->evalLogical("DATE >= \"20240103\""), false);
        QVERIFY(!t->evalLogical("DATE +").ok());
    }

    void deletedFlagSetsClearsAndPacks()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"a", "b", "c", "d", "e", "f"});
        for (std::uint32_t r : {2u, 3u, 5u}) {
            QVERIFY(t->go(r).ok());
            QVERIFY(t->setDeleted(true).ok());
            QVERIFY(t->post().ok());
            QVERIFY(t->deleted());
        }
        QVERIFY(t->go(3).ok());
        QVERIFY(t->setDeleted(false).ok());
        QVERIFY(t->post().ok());
        QVERIFY(t->setQuery("Deleted()").ok());
        QCOMPARE(*t->queryRecCount(), 2u);
        QVERIFY(t->setQuery("").ok());

        QList<int> progress;
        QVERIFY(t->pack([&](int p) { progress << p; }).ok());
        QCOMPARE(progress.first(), 0);
        QCOMPARE(progress.last(), 100);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QCOMPARE(*t->recCount(), 4u);
        QCOMPARE(walk(*t), QStringList({"a", "c", "d", "f"}));
        for (std::uint32_t r = 1; r <= 4; ++r) {
            QVERIFY(t->go(r).ok());
            QVERIFY(!t->deleted());
            QCOMPARE(*t->getMemo(kNote), "note of " + t->getTrimString(kDescript));
        }
        // The packed memo file holds only the live memos, one block each.
        const std::string path = t->path();
        QVERIFY(t->close().ok());
        QFile fpt(dir.filePath("QVTSK.FPT"));
        QVERIFY(fpt.open(QIODevice::ReadOnly));
        QCOMPARE(fpt.size(), qint64(512 + 3 * 64 + 8 + 9));
    }

    void zapEmptiesTableAndMemos()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"a", "b", "c"});
        QVERIFY(t->zap().ok());
        QCOMPARE(*t->recCount(), 0u);
        QVERIFY(t->eof() && t->bof());
        QVERIFY(t->appendBlank().ok());
        QVERIFY(t->replace(kNote, "fresh").ok());
        QVERIFY(t->post().ok());
        QCOMPARE(t->getString(kNote), std::string("         8"));
    }

    void maintenanceNeedsExclusiveUse()
    {
        QTemporaryDir dir;
        {
            auto t = taskTable(dir, {"a"});
        }
        auto t = openTable(dir.filePath("QVTSK.DBF").toStdString(), OpenMode::Shared);
        QCOMPARE(t->pack().error().code, ErrorCode::BadState);
        QCOMPARE(t->zap().error().code, ErrorCode::BadState);
        QCOMPARE(*t->recCount(), 1u);
    }

    void cancelledChangesLeaveNoTrace()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"a", "b"});
        QVERIFY(t->go(1).ok());
        QVERIFY(t->replace(kDescript, "changed").ok());
        QVERIFY(t->replace(kNote, "changed note").ok());
        t->cancel();
        QVERIFY(t->go(1).ok());
        QCOMPARE(t->getTrimString(kDescript), std::string("a"));
        QCOMPARE(*t->getMemo(kNote), std::string("note of a"));
        QVERIFY(t->appendBlank().ok());
        t->cancel();
        QCOMPARE(*t->recCount(), 2u);
    }

    void movingAwayPostsThePendingChange()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"a", "b"});
        QVERIFY(t->go(1).ok());
        QVERIFY(t->replace(kDescript, "edited").ok());
        QVERIFY(t->skip(1).ok());
        QVERIFY(t->go(1).ok());
        QCOMPARE(t->getTrimString(kDescript), std::string("edited"));
    }

    void batchIsOneTransaction()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {});
        QVERIFY(t->beginBatch().ok());
        for (int i = 0; i < 50; ++i) {
            QVERIFY(t->appendBlank().ok());
            QVERIFY(t->replace(kDescript, "task " + std::to_string(i)).ok());
            QVERIFY(t->replace(kNote, std::string(static_cast<std::size_t>(i * 10), 'n')).ok());
            QVERIFY(t->post().ok());
        }
        // Nothing reached the disk yet, but the table sees its own pending records.
        QFile dbf(dir.filePath("QVTSK.DBF"));
        QCOMPARE(dbf.size(), qint64(t->header().headerLength() + 1));
        QCOMPARE(*t->recCount(), 50u);
        QVERIFY(t->go(50).ok());
        QCOMPARE(*t->getMemo(kNote), std::string(490, 'n'));
        QVERIFY(t->commitBatch().ok());
        QCOMPARE(dbf.size(), qint64(t->header().headerLength() + 50 * t->recordSize() + 1));
    }

    void anAbandonedBatchLeavesTheFilesAsTheyWere()
    {
        QTemporaryDir dir;
        auto t = taskTable(dir, {"a", "b", "c"});
        QFile dbf(dir.filePath("QVTSK.DBF"));
        QVERIFY(dbf.open(QIODevice::ReadOnly));
        const QByteArray before = dbf.readAll();
        QVERIFY(t->beginBatch().ok());
        QVERIFY(t->go(2).ok());
        QVERIFY(t->setDeleted(true).ok());
        QVERIFY(t->replace(kNote, std::string(300, 'x')).ok());
        QVERIFY(t->post().ok());
        QVERIFY(t->appendBlank().ok());
        QVERIFY(t->replace(kDescript, "d").ok());
        t->abandonBatch();
        QVERIFY(t->go(2).ok());
        QVERIFY(!t->deleted());
        QCOMPARE(*t->getMemo(kNote), std::string("note of b"));
        QCOMPARE(*t->recCount(), 3u);
        QVERIFY(dbf.seek(0));
        QCOMPARE(dbf.readAll(), before);
        QVERIFY(t->verifyIndex().ok());
        // The table takes the next change as its own transaction.
        QVERIFY(t->replace(kDescript, "b2").ok());
        QVERIFY(t->post().ok());
        QVERIFY(t->go(2).ok());
        QCOMPARE(t->getTrimString(kDescript), std::string("b2"));
    }

    void recordLockRefusesASecondWriter()
    {
        QTemporaryDir dir;
        {
            auto t = taskTable(dir, {"a", "b"});
        }
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        auto first = openTable(path, OpenMode::Shared);
        auto second = openTable(path, OpenMode::Shared);
        QVERIFY(first && second);
        QVERIFY(first->go(1).ok());
        QVERIFY(first->replace(kDescript, "mine").ok());

        QVERIFY(second->go(1).ok());
        const Status refused = second->replace(kDescript, "theirs");
        QVERIFY(!refused.ok());
        QCOMPARE(refused.error().code, ErrorCode::Locked);
        QVERIFY(!second->pending());
        // Another record is free.
        QVERIFY(second->go(2).ok());
        QVERIFY(second->replace(kDescript, "theirs").ok());
        QVERIFY(second->post().ok());

        QVERIFY(first->post().ok());
        QVERIFY(second->go(1).ok());
        QCOMPARE(second->getTrimString(kDescript), std::string("mine"));
        QVERIFY(second->replace(kDescript, "now theirs").ok());
        QVERIFY(second->post().ok());
    }

    void sharedAppendsFromTwoTablesGetDistinctNumbers()
    {
        QTemporaryDir dir;
        {
            auto t = taskTable(dir, {"a"});
        }
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        auto first = openTable(path, OpenMode::Shared);
        auto second = openTable(path, OpenMode::Shared);
        for (int i = 0; i < 10; ++i) {
            Table& t = i % 2 ? *second : *first;
            QVERIFY(t.appendBlank().ok());
            QVERIFY(t.replace(kDescript, "from " + std::to_string(i)).ok());
            QVERIFY(t.replace(kNote, "memo " + std::to_string(i)).ok());
            QVERIFY(t.post().ok());
            QCOMPARE(t.recNo(), std::uint32_t(i + 2));
        }
        QCOMPARE(*first->recCount(), 11u);
        for (std::uint32_t r = 2; r <= 11; ++r) {
            QVERIFY(first->go(r).ok());
            QCOMPARE(*first->getMemo(kNote), "memo " + std::to_string(r - 2));
        }
    }
};

QTEST_GUILESS_MAIN(TestTable)
#include "TestTable.moc"
