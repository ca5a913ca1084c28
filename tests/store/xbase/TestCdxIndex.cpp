// The index as a whole: file layout, tags, change counter, free list, sharing and failed writes.
#include "store/xbase/CdxCursor.h"
#include "store/xbase/CdxIndex.h"
#include "support/xbase/MemoryBlockDevice.h"
#include "support/xbase/StatusCheck.h"

#include <QtTest>

#include <random>

using namespace quorvo::xbase;

namespace {

using Entries = std::vector<std::pair<std::string, std::uint32_t>>;

std::uint32_t le16(const MemoryBlockDevice& device, std::size_t at)
{
    const auto& b = const_cast<MemoryBlockDevice&>(device).bytes();
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8;
}

std::uint32_t le32(const MemoryBlockDevice& device, std::size_t at)
{
    return le16(device, at) | le16(device, at + 2) << 16;
}

std::uint32_t counterOf(const MemoryBlockDevice& device)
{
    const auto& b = const_cast<MemoryBlockDevice&>(device).bytes();
    return std::uint32_t(std::uint8_t(b[8])) << 24 | std::uint32_t(std::uint8_t(b[9])) << 16 |
           std::uint32_t(std::uint8_t(b[10])) << 8 | std::uint32_t(std::uint8_t(b[11]));
}

struct TaskTag
{
    const char* name;
    const char* expression;
    std::uint16_t keyLength;
};

const TaskTag kTaskTags[] = {
    {"DATETIME", "DATE+TIME", 13}, {"DESCRIPT", "upper(DESCRIPT)", 50},           {"DONE", "DONE", 1},
    {"KEYS", "upper(KEYS)", 60},   {"PRIORITY", "upper(PRIORITY)+DATE+TIME", 14},
};

CdxKeyBatch keysFor(std::uint16_t keyLength, std::uint32_t count, unsigned seed)
{
    std::mt19937 rng(seed);
    CdxKeyBatch batch(keyLength);
    for (std::uint32_t r = 1; r <= count; ++r) {
        char* key = batch.append(r);
        for (std::uint16_t i = 0; i < keyLength; ++i)
            key[i] = static_cast<char>('A' + rng() % 3);
    }
    return batch;
}

Entries walk(CdxIndex& index, std::size_t tag)
{
    Entries entries;
    const auto status = index.walk(tag, [&](std::string_view key, std::uint32_t recno) -> Status {
        entries.emplace_back(std::string(key), recno);
        return {};
    });
    if (!status)
        qWarning("%s", status.error().message.c_str());
    return entries;
}

} // namespace

class TestCdxIndex : public QObject
{
    Q_OBJECT

private slots:
    // A new structural index is the file header and an empty directory root leaf, nothing else.
    void emptyStructuralFile()
    {
        MemoryBlockDevice device;
        device.bytes().assign(5000, 'x');
        auto index = CdxIndex::create(device);
        QVERIFY_OK(index);
        QByteArray expected(1536, '\0');
        const QByteArray header = QByteArray::fromHex("00040000"
                                                      "00000000"
                                                      "00000000"
                                                      "0A00"
                                                      "E0"
                                                      "01");
        expected.replace(0, header.size(), header);
        expected.replace(504, 8,
                         QByteArray::fromHex("0100"
                                             "0100"
                                             "0000"
                                             "0100"));
        const QByteArray root = QByteArray::fromHex("03000000FFFFFFFFFFFFFFFF"
                                                    "E801"
                                                    "FFFF00000F0F10040403");
        expected.replace(1024, root.size(), root);
        QCOMPARE(QByteArray(device.bytes().data(), int(device.bytes().size())).toHex(), expected.toHex());
        QCOMPARE((*index)->tagCount(), std::size_t{0});
        QVERIFY_OK((*index)->verify());
    }

    void taskTagsRoundTrip()
    {
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        for (const TaskTag& tag : kTaskTags) {
            CdxTagDefinition definition{tag.name, tag.expression, "not Deleted()", tag.keyLength, CdxKeyType::Character,
                                        false,    false};
            QVERIFY_OK((*created)->addTag(definition, keysFor(tag.keyLength, 500, tag.keyLength)));
        }
        auto index = CdxIndex::open(device);
        QVERIFY_OK(index);
        QCOMPARE((*index)->tagCount(), std::size(kTaskTags));
        for (std::size_t i = 0; i < std::size(kTaskTags); ++i) {
            const CdxTag& tag = (*index)->tag(i);
            QCOMPARE(tag.definition.name, std::string(kTaskTags[i].name));
            QCOMPARE(tag.definition.keyExpression, std::string(kTaskTags[i].expression));
            QCOMPARE(tag.definition.forExpression, std::string("not Deleted()"));
            QCOMPARE(tag.definition.keyLength, kTaskTags[i].keyLength);
            QVERIFY(!tag.definition.unique && !tag.definition.descending);
            QCOMPARE(walk(**index, i).size(), std::size_t{500});
            // Header bytes: options 0x60 + FOR, 504 = 510 = key text + NUL, 506 = FOR text + NUL, pool.
            const std::size_t at = tag.headerOffset;
            const auto keyText = static_cast<std::uint32_t>(std::strlen(kTaskTags[i].expression) + 1);
            QCOMPARE(std::uint8_t(device.bytes()[at + 14]), std::uint8_t(0x68));
            QCOMPARE(le16(device, at + 504), keyText);
            QCOMPARE(le16(device, at + 506), 14u);
            QCOMPARE(le16(device, at + 510), keyText);
            QCOMPARE(std::string(device.bytes().data() + at + 512 + keyText), std::string("not Deleted()"));
        }
        QCOMPARE((*index)->findTag("datetime"), std::optional<std::size_t>(0));
        QCOMPARE((*index)->findTag("Keys"), std::optional<std::size_t>(3));
        QCOMPARE((*index)->findTag("PRIORIT"), std::nullopt);
        QVERIFY_OK((*index)->verify());
    }

    void progressRisesPerTag()
    {
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY_OK(index);
        for (const TaskTag& tag : kTaskTags) {
            std::vector<int> values;
            CdxTagDefinition definition{tag.name, tag.expression, "", tag.keyLength, CdxKeyType::Character,
                                        false,    false};
            QVERIFY_OK((*index)->addTag(definition, keysFor(tag.keyLength, 20000, 3),
                                        [&](int value) { values.push_back(value); }));
            QVERIFY(values.size() >= 10);
            QCOMPARE(values.front(), 0);
            QCOMPARE(values.back(), 100);
            QVERIFY(std::is_sorted(values.begin(), values.end()));
        }
    }

    // Every change bumps the big-endian counter at offset 8 once; a batch bumps it once; reads and
    // refused changes write nothing.
    void changeCounter()
    {
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY_OK(index);
        CdxIndex& cdx = **index;
        QVERIFY_OK(cdx.addTag("CODE", "CODE", "", 4, {}));
        const std::uint32_t start = counterOf(device);
        QVERIFY_OK(cdx.insertKey(0, "AAAA", 1));
        QCOMPARE(counterOf(device), start + 1);
        cdx.beginChanges();
        for (std::uint32_t r = 2; r < 400; ++r)
            QVERIFY_OK(cdx.insertKey(0, "ABCD", r));
        QCOMPARE(counterOf(device), start + 1);
        QVERIFY_OK(cdx.endChanges());
        QCOMPARE(counterOf(device), start + 2);

        const int writes = device.writeCount();
        QCOMPARE(cdx.deleteKey(0, "ZZZZ", 9).error().code, ErrorCode::Corrupt);
        QVERIFY_OK(cdx.verify());
        CdxCursor cursor(cdx, 0);
        QVERIFY_OK(cursor.seek("AB", false));
        QCOMPARE(device.writeCount(), writes);
        QCOMPARE(counterOf(device), start + 2);
    }

    // Another index over the same device plays another process.
    void twoProcesses()
    {
        MemoryBlockDevice device;
        auto first = CdxIndex::create(device);
        QVERIFY_OK(first);
        CdxIndex& a = **first;
        QVERIFY_OK(a.addTag("CODE", "CODE", "", 4, {{"AAAA", 1}, {"CCCC", 3}}));
        auto second = CdxIndex::open(device);
        QVERIFY_OK(second);
        CdxIndex& b = **second;
        CdxCursor cursorB(b, 0);
        QVERIFY_OK(cursorB.first());

        QVERIFY_OK(a.insertKey(0, "BBBB", 2));
        const std::uint64_t generation = b.generation();
        QVERIFY_OK(b.refreshIfChanged());
        QVERIFY(b.generation() != generation);
        QVERIFY_OK(cursorB.next());
        QCOMPARE(cursorB.recno(), 2u);

        const std::uint64_t unchanged = b.generation();
        QVERIFY_OK(b.refreshIfChanged());
        QCOMPARE(b.generation(), unchanged);

        QVERIFY_OK(b.addTag("NAME", "NAME", "", 2, {{"XY", 7}}));
        QVERIFY_OK(b.removeTag(0));
        QVERIFY_OK(a.refreshIfChanged());
        QCOMPARE(a.tagCount(), std::size_t{1});
        QCOMPARE(a.tagName(0), std::string("NAME"));
        QCOMPARE(walk(a, 0), (Entries{{"XY", 7}}));
        QCOMPARE(cursorB.next().error().code, ErrorCode::BadState);
        QVERIFY_OK(a.verify());
    }

    // A change whose writes fail leaves the file to the caller's rollback; once the file is back, the
    // index reads it again and carries on.
    void failedWrites_data()
    {
        QTest::addColumn<int>("failingWrite");
        QTest::newRow("first write") << 1;
        QTest::newRow("second write") << 2;
        QTest::newRow("header write") << 3;
    }

    void failedWrites()
    {
        QFETCH(int, failingWrite);
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        CdxIndex& index = **created;
        QVERIFY_OK(index.addTag("CODE", "CODE", "", 8, {}));
        Entries model;
        for (std::uint32_t r = 1; r <= 300; ++r) {
            const std::string key = "K" + std::to_string(1000000 + r * 7 % 300);
            QVERIFY_OK(index.insertKey(0, key, r));
            model.emplace_back(key, r);
        }
        std::sort(model.begin(), model.end());
        const std::vector<char> snapshot = device.bytes();

        // Enough inserts in one batch to split leaves: several pages and the header are written.
        device.failWritesFrom(failingWrite);
        index.beginChanges();
        for (std::uint32_t r = 301; r < 400; ++r)
            QVERIFY_OK(index.insertKey(0, "K0000000", r));
        const auto failed = index.endChanges();
        QVERIFY(!failed.ok());
        QCOMPARE(failed.error().code, ErrorCode::Io);

        device.failWritesFrom(0);
        device.bytes() = snapshot; // the journal's rollback
        QVERIFY_OK(index.insertKey(0, "K0000001", 500));
        model.insert(model.begin(), {"K0000001", 500});
        QCOMPARE(walk(index, 0), model);
        QVERIFY_OK(index.verify());
    }

    void badArguments_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<int>("expressionLength");
        QTest::addColumn<int>("batchKeyLength");
        QTest::newRow("name starts with a digit") << "1ABC" << 4 << 4 << 4;
        QTest::newRow("name of 11 characters") << "ABCDEFGHIJK" << 4 << 4 << 4;
        QTest::newRow("blank in the name") << "A B" << 4 << 4 << 4;
        QTest::newRow("empty name") << "" << 4 << 4 << 4;
        QTest::newRow("key length 0") << "A" << 0 << 4 << 0;
        QTest::newRow("key length 241") << "A" << 241 << 4 << 241;
        QTest::newRow("expressions beyond the pool") << "A" << 4 << 508 << 4;
        QTest::newRow("a key of the wrong length") << "A" << 4 << 4 << 5;
    }

    void badArguments()
    {
        QFETCH(QString, name);
        QFETCH(int, keyLength);
        QFETCH(int, expressionLength);
        QFETCH(int, batchKeyLength);
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY_OK(index);
        CdxTagDefinition definition{name.toStdString(),
                                    std::string(std::size_t(expressionLength), 'E'),
                                    "FOR",
                                    std::uint16_t(keyLength),
                                    CdxKeyType::Character,
                                    false,
                                    false};
        CdxKeyBatch batch{static_cast<std::uint32_t>(keyLength)};
        batch.add(std::string(std::size_t(batchKeyLength), 'K'), 1);
        const std::vector<char> before = device.bytes();
        const auto added = (*index)->addTag(definition, batch);
        QVERIFY(!added.ok());
        QCOMPARE(added.error().code, ErrorCode::BadArgument);
        QVERIFY(device.bytes() == before);
    }

    void badKeyCalls()
    {
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY_OK(index);
        QVERIFY_OK((*index)->addTag("CODE", "CODE", "", 4, {}));
        QCOMPARE((*index)->insertKey(0, "ABC", 1).error().code, ErrorCode::BadArgument);
        QCOMPARE((*index)->deleteKey(0, "ABCDE", 1).error().code, ErrorCode::BadArgument);
        QCOMPARE((*index)->insertKey(1, "ABCD", 1).error().code, ErrorCode::BadArgument);
        QCOMPARE((*index)->insertKey(0, "ABCD", 1).ok(), true);
        QCOMPARE((*index)->insertKey(0, "ABCD", 1).error().code, ErrorCode::Corrupt);
        QCOMPARE(walk(**index, 0), (Entries{{"ABCD", 1}}));
    }

    void replaceAndRemoveTags()
    {
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        CdxIndex& index = **created;
        QVERIFY_OK(index.addTag("ALPHA", "A", "", 2, {{"A1", 1}}));
        QVERIFY_OK(index.addTag("BETA", "B", "", 2, {{"B1", 1}}));
        QVERIFY_OK(index.addTag("GAMMA", "C", "", 2, {{"C1", 1}}));
        // Same name in another case: rebuilt in place, keeping its order number.
        QVERIFY_OK(index.addTag("beta", "B2", "X", 3, {{"BBB", 2}, {"BBA", 3}}));
        QCOMPARE(index.tagCount(), std::size_t{3});
        QCOMPARE(index.tag(1).definition.keyExpression, std::string("B2"));
        QCOMPARE(walk(index, 1), (Entries{{"BBA", 3}, {"BBB", 2}}));
        QVERIFY_OK(index.removeTag(0));
        QVERIFY_OK(index.addTag("DELTA", "D", "", 2, {{"D1", 1}}));
        QVERIFY_OK(index.rebuildTag(2, Entries{{"D2", 4}, {"D0", 9}}));
        QCOMPARE(index.rebuildTag(2, Entries{{"D22", 4}}).error().code, ErrorCode::BadArgument);
        QVERIFY_OK(index.clearTag(1));
        QVERIFY_OK(index.verify());

        auto reopened = CdxIndex::open(device);
        QVERIFY_OK(reopened);
        QCOMPARE((*reopened)->tagCount(), std::size_t{3});
        QCOMPARE((*reopened)->tagName(0), std::string("BETA"));
        QCOMPARE((*reopened)->tagName(1), std::string("GAMMA"));
        QCOMPARE((*reopened)->tagName(2), std::string("DELTA"));
        QCOMPARE(walk(**reopened, 1), Entries{});
        QCOMPARE(walk(**reopened, 2), (Entries{{"D0", 9}, {"D2", 4}}));
        QVERIFY_OK((*reopened)->verify());

        QVERIFY_OK((*reopened)->removeAllTags());
        QCOMPARE((*reopened)->tagCount(), std::size_t{0});
        QCOMPARE(device.bytes().size(), std::size_t{1536});
        QVERIFY_OK(index.refreshIfChanged());
        QCOMPARE(index.tagCount(), std::size_t{0});
    }

    // Pages of a removed tag go to the free list, and the next tree is built on them.
    void freedPagesAreReused()
    {
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        CdxIndex& index = **created;
        QVERIFY_OK(index.addTag(CdxTagDefinition{"BIG", "B", "", 20}, keysFor(20, 5000, 1)));
        QVERIFY_OK(index.addTag("SMALL", "S", "", 2, {{"S1", 1}}));
        QCOMPARE(le32(device, 4), 0u);
        const std::size_t size = device.bytes().size();
        QVERIFY_OK(index.removeTag(0));
        QVERIFY(le32(device, 4) != 0);
        QCOMPARE(device.bytes().size(), size);
        // The new tag's header goes at the end (tags keep creation order), its tree into freed pages.
        QVERIFY_OK(index.addTag(CdxTagDefinition{"AGAIN", "A", "", 20}, keysFor(20, 5000, 2)));
        QCOMPARE(device.bytes().size(), size + 1024);
        QVERIFY_OK(index.verify());
        QCOMPARE(index.tagName(1), std::string("AGAIN"));
    }

    void uniqueTag()
    {
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        CdxIndex& index = **created;
        CdxKeyBatch batch(2);
        for (auto [key, recno] : Entries{{"BB", 4}, {"AA", 9}, {"BB", 2}, {"AA", 3}, {"CC", 1}})
            batch.add(key, recno);
        QVERIFY_OK(index.addTag(CdxTagDefinition{"U", "U", "", 2, CdxKeyType::Character, false, true}, batch));
        QCOMPARE(walk(index, 0), (Entries{{"AA", 3}, {"BB", 2}, {"CC", 1}}));
        QVERIFY_OK(index.insertKey(0, "BB", 1));
        QVERIFY_OK(index.deleteKey(0, "AA", 9));
        QVERIFY_OK(index.deleteKey(0, "AA", 3));
        QCOMPARE(walk(index, 0), (Entries{{"BB", 2}, {"CC", 1}}));
        QVERIFY(index.tag(0).definition.unique);
        QVERIFY_OK(index.verify());
    }

    // A pack hands over the old tag's order as a hint; whatever the hint says, the tag comes out in tag
    // order with every key once (a wrong hint only costs the sort).
    void orderHint_data()
    {
        using Hint = std::vector<std::uint32_t>;
        QTest::addColumn<Hint>("hint");
        QTest::addColumn<bool>("unique");
        // Keys (index: key, recno): 0 "BB" 1, 1 "AA" 2, 2 "CC" 3, 3 "AA" 4, 4 "BB" 5.
        QTest::newRow("right") << Hint{1, 3, 0, 4, 2} << false;
        QTest::newRow("equal keys out of record order") << Hint{3, 1, 0, 4, 2} << false;
        QTest::newRow("reversed") << Hint{2, 4, 0, 3, 1} << false;
        QTest::newRow("one index twice") << Hint{1, 1, 0, 4, 2} << false;
        QTest::newRow("one short") << Hint{1, 3, 0, 4} << false;
        QTest::newRow("index out of range") << Hint{1, 3, 0, 4, 9} << false;
        QTest::newRow("right, unique tag") << Hint{1, 3, 0, 4, 2} << true;
    }

    void orderHint()
    {
        using Hint = std::vector<std::uint32_t>;
        QFETCH(Hint, hint);
        QFETCH(bool, unique);
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        CdxIndex& index = **created;
        CdxKeyBatch batch(2);
        for (auto [key, recno] : Entries{{"BB", 1}, {"AA", 2}, {"CC", 3}, {"AA", 4}, {"BB", 5}})
            batch.add(key, recno);
        QVERIFY_OK(
            index.addTag(CdxTagDefinition{"T", "T", "", 2, CdxKeyType::Character, false, unique}, batch, {}, &hint));
        const Entries expected = unique ? Entries{{"AA", 2}, {"BB", 1}, {"CC", 3}}
                                        : Entries{{"AA", 2}, {"AA", 4}, {"BB", 1}, {"BB", 5}, {"CC", 3}};
        QCOMPARE(walk(index, 0), expected);
        QVERIFY_OK(index.verify());
    }

    // Once tag headers lie past 64 KB the directory's record field needs 24 bits: four-byte entries.
    void directoryWidensPast64K()
    {
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        CdxIndex& index = **created;
        QVERIFY_OK(index.addTag(CdxTagDefinition{"BIG", "B", "", 20}, keysFor(20, 20000, 1)));
        QVERIFY(device.bytes().size() > 65536);
        QCOMPARE(int(device.bytes()[0x400 + 23]), 3);
        QVERIFY_OK(index.addTag("LATE", "L", "", 2, {{"L1", 1}}));
        QVERIFY(index.tag(1).headerOffset > 65535);
        QCOMPARE(int(device.bytes()[0x400 + 23]), 4);
        auto reopened = CdxIndex::open(device);
        QVERIFY_OK(reopened);
        QCOMPARE((*reopened)->tag(1).headerOffset, index.tag(1).headerOffset);
        QVERIFY_OK((*reopened)->verify());
    }

    // Enough tags to split the directory into several leaves under an interior root.
    void manyTags()
    {
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        CdxIndex& index = **created;
        std::vector<std::string> names;
        for (int i = 0; i < 120; ++i) {
            names.push_back("T" + std::to_string((i * 37) % 120) + "_X");
            QVERIFY_OK(index.addTag(names.back(), "E", "", 4, {{"KKKK", std::uint32_t(i + 1)}}));
        }
        QVERIFY(le16(device, 0x400) != 3); // the directory root is no longer a lone leaf
        auto reopened = CdxIndex::open(device);
        QVERIFY_OK(reopened);
        QCOMPARE((*reopened)->tagCount(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            QCOMPARE((*reopened)->tagName(i), names[i]);
            QCOMPARE((*reopened)->findTag(names[i]), std::optional<std::size_t>(i));
        }
        for (int i = 0; i < 100; ++i)
            QVERIFY_OK((*reopened)->removeTag(std::size_t(i % 7 % (*reopened)->tagCount())));
        QVERIFY_OK((*reopened)->verify());
        QCOMPARE((*reopened)->tagCount(), std::size_t{20});
    }

    // The file does not say which tags hold numbers: zero bytes at the end of a numeric key are
    // compressed as trailing fill, and only a numeric key type restores them as zeros.
    void numericKeysUseZeroFill()
    {
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY_OK(created);
        const std::string two("\xC0\x00\x00\x00\x00\x00\x00\x00", 8);
        const std::string ten("\xC0\x24\x00\x00\x00\x00\x00\x00", 8);
        CdxKeyBatch batch(8);
        batch.add(ten, 1);
        batch.add(two, 2);
        QVERIFY_OK((*created)->addTag(CdxTagDefinition{"AMOUNT", "AMOUNT", "", 8, CdxKeyType::Numeric}, batch));
        // One leaf: "two" stores a single byte, the other seven are trailing fill; "ten" shares one.
        const std::size_t root = (*created)->tag(0).root;
        QCOMPARE(le16(device, root + 12), 488u - 2 * 3 - 1 - 1);
        auto reopened = CdxIndex::open(device);
        QVERIFY_OK(reopened);
        (*reopened)->setKeyType(0, CdxKeyType::Numeric);
        QCOMPARE(walk(**reopened, 0), (Entries{{two, 2}, {ten, 1}}));
        QVERIFY_OK((*reopened)->insertKey(0, std::string(8, '\0'), 3));
        QCOMPARE(walk(**reopened, 0).front(), (std::pair<std::string, std::uint32_t>{std::string(8, '\0'), 3}));
        QVERIFY_OK((*reopened)->verify());
    }
};

QTEST_GUILESS_MAIN(TestCdxIndex)
#include "TestCdxIndex.moc"
