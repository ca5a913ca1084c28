// Seeks and cursor moves at the edges of a tag, and a cursor following changes made under it.
#include "store/xbase/CdxCursor.h"
#include "store/xbase/CdxIndex.h"
#include "support/xbase/MemoryBlockDevice.h"
#include "support/xbase/StatusCheck.h"

#include <QtTest>

#include <random>
#include <set>

using namespace quorvo::xbase;

namespace {

using Entry = std::pair<std::string, std::uint32_t>;
using Model = std::set<Entry>;

// Keys K0000, K0002, ... K0998 with one to three records each, K0500 with 300 records (a run of equal
// keys over several leaves), and three blank keys, which sort first. Record numbers are shuffled.
Model makeModel()
{
    std::vector<std::string> keys;
    for (int n = 0; n < 1000; n += 2) {
        char key[8];
        std::snprintf(key, sizeof key, "K%04d", n);
        for (int copies = n == 500 ? 300 : n % 3 + 1; copies > 0; --copies)
            keys.emplace_back(key);
    }
    keys.insert(keys.end(), 3, std::string(5, ' '));
    std::vector<std::uint32_t> recnos(keys.size());
    std::iota(recnos.begin(), recnos.end(), 1u);
    std::shuffle(recnos.begin(), recnos.end(), std::mt19937(5));
    Model model;
    for (std::size_t i = 0; i < keys.size(); ++i)
        model.emplace(keys[i], recnos[i]);
    return model;
}

// The index is built bottom-up in one and key by key in the other; both must seek alike.
struct Fixture
{
    MemoryBlockDevice device;
    std::unique_ptr<CdxIndex> index;
    Model model = makeModel();

    explicit Fixture(bool byInserts)
    {
        index = std::move(CdxIndex::create(device).value());
        CdxKeyBatch batch(5);
        if (!byInserts) {
            for (const auto& [key, recno] : model)
                batch.add(key, recno);
        }
        CdxTagDefinition definition{"CODE", "CODE", "", 5, CdxKeyType::Character, false, false};
        if (!index->addTag(definition, batch))
            qFatal("addTag failed");
        if (byInserts) {
            for (const auto& [key, recno] : model) {
                if (!index->insertKey(0, key, recno))
                    qFatal("insertKey failed");
            }
        }
    }

    std::uint32_t firstRecno(const std::string& key) const { return model.lower_bound({key, 0})->second; }
};

} // namespace

class TestCdxSeek : public QObject
{
    Q_OBJECT

private slots:
    void seek_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("landsOn"); // empty: at eof
        for (bool soft : {false, true}) {
            const char* mode = soft ? "soft" : "hard";
            const auto row = [&](const char* name) -> QTestData& { return QTest::addRow("%s, %s", name, mode); };
            row("empty key finds the first") << QByteArray() << soft << true << QByteArray("     ");
            row("blank key") << QByteArray("     ") << soft << true << QByteArray("     ");
            row("before the first key") << QByteArray("\x01") << soft << false << QByteArray(soft ? "     " : "");
            row("between blanks and K") << QByteArray("!") << soft << false << QByteArray(soft ? "K0000" : "");
            row("first K key") << QByteArray("K0000") << soft << true << QByteArray("K0000");
            row("between two keys") << QByteArray("K0001") << soft << false << QByteArray(soft ? "K0002" : "");
            row("run of equal keys") << QByteArray("K0500") << soft << true << QByteArray("K0500");
            row("prefix of a run") << QByteArray("K05") << soft << true << QByteArray("K0500");
            row("prefix of the first") << QByteArray("K0") << soft << true << QByteArray("K0000");
            row("just after a run") << QByteArray("K0500!") << soft << false << QByteArray(soft ? "K0502" : "");
            row("last key") << QByteArray("K0998") << soft << true << QByteArray("K0998");
            row("between the last two") << QByteArray("K0997") << soft << false << QByteArray(soft ? "K0998" : "");
            row("after the last key") << QByteArray("K0999") << soft << false << QByteArray();
            row("far after") << QByteArray("\xFF\xFF") << soft << false << QByteArray();
        }
    }

    void seek()
    {
        QFETCH(QByteArray, key);
        QFETCH(bool, soft);
        QFETCH(bool, found);
        QFETCH(QByteArray, landsOn);
        for (bool byInserts : {false, true}) {
            Fixture fixture(byInserts);
            CdxCursor cursor(*fixture.index, 0);
            auto result = cursor.seek(key.toStdString(), soft);
            QVERIFY_OK(result);
            QCOMPARE(*result, found);
            if (landsOn.isEmpty()) {
                QVERIFY(cursor.eof());
                continue;
            }
            QVERIFY(cursor.onEntry());
            QCOMPARE(QByteArray::fromStdString(std::string(cursor.key())), landsOn);
            QCOMPARE(cursor.recno(), fixture.firstRecno(landsOn.toStdString()));
            // From there the cursor walks on in order.
            auto it = fixture.model.find({std::string(cursor.key()), cursor.recno()});
            for (int i = 0; i < 5 && ++it != fixture.model.end(); ++i) {
                QVERIFY_OK(cursor.next());
                QCOMPARE(cursor.recno(), it->second);
            }
        }
    }

    void seekEntry_data()
    {
        QTest::addColumn<int>("offsetInRun"); // which record of the K0500 run, or past it
        QTest::addColumn<bool>("exact");
        QTest::newRow("first of the run") << 0 << true;
        QTest::newRow("middle of the run") << 150 << true;
        QTest::newRow("last of the run") << 299 << true;
        QTest::newRow("between two records") << -1 << false;
        QTest::newRow("after the run") << 300 << false;
    }

    void seekEntry()
    {
        QFETCH(int, offsetInRun);
        QFETCH(bool, exact);
        Fixture fixture(false);
        std::vector<std::uint32_t> run;
        for (auto it = fixture.model.lower_bound({"K0500", 0}); it->first == "K0500"; ++it)
            run.push_back(it->second);
        std::uint32_t recno = 0;
        std::uint32_t expected = 0;
        if (offsetInRun == -1) {
            // A record number no entry has, between two of the run.
            std::size_t i = 0;
            while (run[i + 1] == run[i] + 1)
                ++i;
            recno = run[i] + 1;
            expected = run[i + 1];
        } else if (offsetInRun == 300) {
            recno = run.back() + 1;
            expected = fixture.firstRecno("K0502");
        } else {
            recno = run[static_cast<std::size_t>(offsetInRun)];
            expected = recno;
        }
        CdxCursor cursor(*fixture.index, 0);
        auto result = cursor.seekEntry("K0500", recno);
        QVERIFY_OK(result);
        QCOMPARE(*result, exact);
        QCOMPARE(cursor.recno(), expected);
    }

    void movesAtTheEdges()
    {
        Fixture fixture(false);
        const auto& model = fixture.model;
        CdxCursor cursor(*fixture.index, 0);
        QVERIFY_OK(cursor.first());
        QCOMPARE(cursor.recno(), model.begin()->second);
        QVERIFY_OK(cursor.prev());
        QVERIFY(cursor.bof() && !cursor.eof() && !cursor.onEntry());
        QVERIFY_OK(cursor.prev());
        QVERIFY(cursor.bof());
        QVERIFY_OK(cursor.next());
        QCOMPARE(cursor.recno(), model.begin()->second);

        QVERIFY_OK(cursor.last());
        QCOMPARE(cursor.recno(), model.rbegin()->second);
        QVERIFY_OK(cursor.next());
        QVERIFY(cursor.eof() && !cursor.bof());
        QVERIFY_OK(cursor.next());
        QVERIFY(cursor.eof());
        QVERIFY_OK(cursor.prev());
        QCOMPARE(cursor.recno(), model.rbegin()->second);

        // A soft seek past the end leaves the cursor at eof, one step after the last entry.
        QVERIFY_OK(cursor.seek("Z", true));
        QVERIFY(cursor.eof());
        QVERIFY_OK(cursor.prev());
        QCOMPARE(cursor.recno(), model.rbegin()->second);
    }

    void emptyTag()
    {
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY_OK(index);
        QVERIFY_OK((*index)->addTag("EMPTY", "E", "", 4, {}));
        CdxCursor cursor(**index, 0);
        for (int move = 0; move < 4; ++move) {
            QVERIFY_OK(move == 0   ? cursor.first()
                       : move == 1 ? cursor.last()
                       : move == 2 ? cursor.next()
                                   : cursor.prev());
            QVERIFY(cursor.eof() && cursor.bof() && !cursor.onEntry());
        }
        auto found = cursor.seek("ABCD", true);
        QVERIFY_OK(found);
        QVERIFY(!*found && cursor.eof());
    }

    // The cursor sits inside the K0500 run when the tag changes; its next moves go on from where its
    // entry is (or would be) in the changed tag.
    void followsChanges_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("its entry deleted") << "delete current";
        QTest::newRow("entry inserted after it") << "insert after";
        QTest::newRow("entry inserted before it") << "insert before";
        QTest::newRow("many inserts split its leaf") << "insert many";
        QTest::newRow("tag rebuilt without it") << "rebuild";
        QTest::newRow("another process deleted it") << "other process";
    }

    void followsChanges()
    {
        QFETCH(QString, change);
        Fixture fixture(false);
        Model& model = fixture.model;
        CdxCursor cursor(*fixture.index, 0);
        auto it = std::next(model.lower_bound({"K0500", 0}), 150);
        const Entry current = *it;
        QVERIFY_OK(cursor.seekEntry(current.first, current.second));
        QCOMPARE(cursor.recno(), current.second);

        CdxIndex& index = *fixture.index;
        if (change == "delete current") {
            QVERIFY_OK(index.deleteKey(0, current.first, current.second));
            model.erase(current);
        } else if (change == "insert after" || change == "insert before") {
            // The run's record numbers are shuffled: take a free number just after or before the current one.
            std::uint32_t recno = current.second;
            do
                recno = change == "insert after" ? recno + 1 : recno - 1;
            while (model.count({current.first, recno}));
            QVERIFY(recno > 0 && recno < std::next(it)->second && recno > std::prev(it)->second);
            QVERIFY_OK(index.insertKey(0, current.first, recno));
            model.insert({current.first, recno});
        } else if (change == "insert many") {
            for (std::uint32_t r = 0; r < 400; ++r) {
                const Entry added{"K0500", 20000 + r};
                QVERIFY_OK(index.insertKey(0, added.first, added.second));
                model.insert(added);
            }
        } else if (change == "rebuild") {
            model.erase(current);
            CdxKeyBatch batch(5);
            for (const auto& [key, recno] : model)
                batch.add(key, recno);
            QVERIFY_OK(index.rebuildTag(0, batch));
        } else if (change == "other process") {
            auto other = CdxIndex::open(fixture.device);
            QVERIFY_OK(other);
            QVERIFY_OK((*other)->deleteKey(0, current.first, current.second));
            model.erase(current);
            QVERIFY_OK(index.refreshIfChanged());
        }

        CdxCursor back = cursor;
        auto after = model.upper_bound(current);
        QVERIFY_OK(cursor.next());
        QCOMPARE(cursor.recno(), after->second);
        QVERIFY_OK(cursor.next());
        QCOMPARE(cursor.recno(), std::next(after)->second);

        auto before = std::prev(model.lower_bound(current));
        QVERIFY_OK(back.prev());
        QCOMPARE(back.recno(), before->second);
        QVERIFY_OK(back.prev());
        QCOMPARE(back.recno(), std::prev(before)->second);
        QVERIFY_OK(index.verify());
    }
};

QTEST_GUILESS_MAIN(TestCdxSeek)
#include "TestCdxSeek.moc"
