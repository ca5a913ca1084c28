// Damaged index files: every kind of damage is an error naming it, and no operation crashes on them.
#include "store/xbase/CdxCursor.h"
#include "store/xbase/CdxIndex.h"
#include "support/xbase/MemoryBlockDevice.h"
#include "support/xbase/StatusCheck.h"

#include <QtTest>

#include <functional>

using namespace quorvo::xbase;

namespace {

// Raw access to the file image, independent of the engine.
struct Image
{
    std::vector<char>& b;

    std::uint32_t le16(std::size_t at) const
    {
        return std::uint8_t(b[at]) | std::uint32_t(std::uint8_t(b[at + 1])) << 8;
    }
    std::uint32_t le32(std::size_t at) const { return le16(at) | le16(at + 2) << 16; }
    std::uint32_t be32(std::size_t at) const
    {
        return std::uint32_t(std::uint8_t(b[at])) << 24 | std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
               std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint8_t(b[at + 3]);
    }
    void putLe16(std::size_t at, std::uint32_t v)
    {
        b[at] = char(v & 0xFF);
        b[at + 1] = char(v >> 8 & 0xFF);
    }
    void putLe32(std::size_t at, std::uint32_t v)
    {
        putLe16(at, v & 0xFFFF);
        putLe16(at + 2, v >> 16);
    }
    void putBe32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + std::size_t(i)] = char(v >> (24 - 8 * i) & 0xFF);
    }

    // The one tag "CODE" (key length 8, interior entries of 16 bytes).
    std::uint32_t header() const { return 0x600; }
    std::uint32_t root() const { return le32(header()); }
    std::uint32_t entry(std::uint32_t node, std::uint32_t i) const { return node + 12 + i * 16; }
    std::uint32_t child(std::uint32_t node, std::uint32_t i) const { return be32(entry(node, i) + 12); }
    std::uint32_t firstLeaf() const
    {
        std::uint32_t node = root();
        while (!(le16(node) & 2))
            node = child(node, 0);
        return node;
    }
    std::uint32_t secondLeaf() const { return le32(firstLeaf() + 8); }
    std::uint32_t freeHead() const { return le32(4); }
};

struct Damage
{
    const char* name;
    std::function<void(Image&)> apply;
    const char* stage; // where it shows: "open", "walk" (a cursor walk fails), or "verify"
    const char* message;
};

const std::vector<Damage>& damages()
{
    static const std::vector<Damage> list = {
        {"truncated inside the header", [](Image& f) { f.b.resize(1000); }, "open",
         "shorter than its 1024-byte header"},
        {"truncated inside the tree", [](Image& f) { f.b.resize(f.b.size() - 300); }, "verify", "end of the file"},
        {"leaf chain loops back", [](Image& f) { f.putLe32(f.secondLeaf() + 8, f.firstLeaf()); }, "walk",
         "loop in the leaf chain"},
        {"leaf points to itself", [](Image& f) { f.putLe32(f.secondLeaf() + 8, f.secondLeaf()); }, "walk",
         "loop in the leaf chain"},
        {"left link disagrees", [](Image& f) { f.putLe32(f.secondLeaf() + 4, 0xFFFFFFFF); }, "verify",
         "left sibling 4294967295"},
        {"key length 300", [](Image& f) { f.putLe16(f.header() + 12, 300); }, "open", "key length 300"},
        {"key length 0", [](Image& f) { f.putLe16(f.header() + 12, 0); }, "open", "key length 0"},
        {"node referenced twice", [](Image& f) { f.putBe32(f.entry(f.root(), 1) + 12, f.child(f.root(), 0)); },
         "verify", "used twice"},
        {"node of type 7", [](Image& f) { f.putLe16(f.secondLeaf(), 7); }, "walk", "attributes 7"},
        {"root without its flag", [](Image& f) { f.putLe16(f.root(), 0); }, "open", "has attributes 0"},
        {"root beyond the file", [](Image& f) { f.putLe32(f.header(), 0x7FFFFE00); }, "open", "not a page of the file"},
        {"root off a page boundary", [](Image& f) { f.putLe32(f.header(), 0x601); }, "open", "not a page of the file"},
        {"interior node over capacity", [](Image& f) { f.putLe16(f.root() + 2, 200); }, "walk", "can hold 1 to 31"},
        {"child pointer back to the root", [](Image& f) { f.putBe32(f.entry(f.root(), 0) + 12, f.root()); }, "walk",
         "carries the root flag"},
        {"child pointer to itself",
         [](Image& f) {
             const std::uint32_t node = f.child(f.root(), 0);
             f.putBe32(f.entry(node, 0) + 12, node);
         },
         "walk", "levels below the root"},
        {"leaf widths broken", [](Image& f) { f.b[f.firstLeaf() + 20] = 40; }, "walk", "bit widths"},
        {"free list into a tree", [](Image& f) { f.putLe32(4, f.secondLeaf()); }, "verify", "used twice"},
        {"free list loops",
         [](Image& f) {
             const std::uint32_t second = f.le32(f.freeHead());
             f.putLe32(second, f.freeHead());
         },
         "verify", "free list loops"},
        {"free list into the header", [](Image& f) { f.putLe32(4, 0x200); }, "verify", "points into the file header"},
        {"directory names a header outside the file",
         [](Image& f) {
             f.b[0x400 + 24] = char(0x00);
             f.b[0x400 + 25] = char(0xFF);
         },
         "open", "is not inside the file"},
        {"expressions beyond the pool", [](Image& f) { f.putLe16(f.header() + 510, 600); }, "open",
         "do not fit the 512-byte pool"},
        {"free-space field wrong", [](Image& f) { f.putLe16(f.firstLeaf() + 12, 3); }, "verify", "bytes are free"},
        {"keys out of order", [](Image& f) { f.b[f.firstLeaf() + 511] = 'Z'; }, "verify", "out of order"},
        {"parent entry differs from its child", [](Image& f) { f.b[f.entry(f.root(), 0) + 7] = '~'; }, "verify",
         "its parent's entry"},
    };
    return list;
}

// Reads the cursor's entry whenever it claims to be on one, so a stale position shows under the sanitizers.
void touch(const CdxCursor& cursor)
{
    if (cursor.onEntry()) {
        volatile char last = cursor.key().back();
        volatile std::uint32_t recno = cursor.recno();
        (void)last;
        (void)recno;
    }
}

// Every operation, to see that none of them crashes or hangs; errors are expected. Probe keys come from
// the file's own bytes, as in the fuzz target.
void exercise(CdxIndex& index, const std::vector<char>& bytes)
{
    for (std::size_t t = 0; t < index.tagCount(); ++t) {
        const std::size_t keyLength = index.tag(t).definition.keyLength;
        const std::size_t middle = bytes.size() / 2;
        const std::string probe(bytes.data() + middle, std::min(keyLength, bytes.size() - middle));
        CdxCursor cursor(index, t);
        (void)cursor.first();
        for (int i = 0; i < 20000 && cursor.onEntry(); ++i) {
            touch(cursor);
            (void)cursor.next();
        }
        (void)cursor.last();
        for (int i = 0; i < 200 && cursor.onEntry(); ++i) {
            touch(cursor);
            (void)cursor.prev();
        }
        (void)cursor.seek(probe, true);
        touch(cursor);
        (void)cursor.seek(probe.substr(0, probe.size() / 2), false);
        touch(cursor);
        (void)index.walk(t, [](std::string_view, std::uint32_t) { return Status{}; });
        if (probe.size() == keyLength) {
            (void)cursor.seekEntry(probe, 7);
            touch(cursor);
            for (std::uint32_t r = 1; r <= 300; ++r)
                (void)index.insertKey(t, probe, r);
            (void)index.deleteKey(t, probe, 3);
            touch(cursor);
            (void)cursor.next();
            touch(cursor);
        }
        (void)index.verify();
        (void)index.clearTag(t);
        (void)index.verify();
    }
    (void)index.removeAllTags();
}
} // namespace

class TestCdxDamage : public QObject
{
    Q_OBJECT

    std::vector<char> m_base;

private slots:
    void initTestCase()
    {
        // 8000 keys over three levels, then a deleted range that leaves pages on the free list.
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY_OK(index);
        CdxKeyBatch batch(8);
        char key[16];
        for (std::uint32_t r = 1; r <= 8000; ++r) {
            std::snprintf(key, sizeof key, "K%07u", r);
            batch.add(key, r);
        }
        QVERIFY_OK((*index)->addTag(CdxTagDefinition{"CODE", "CODE", "", 8}, batch));
        for (std::uint32_t r = 1000; r < 2000; ++r) {
            std::snprintf(key, sizeof key, "K%07u", r);
            QVERIFY_OK((*index)->deleteKey(0, key, r));
        }
        QVERIFY_OK((*index)->verify());
        m_base = device.bytes();
        Image image{m_base};
        QCOMPARE(image.header(), (*index)->tag(0).headerOffset);
        QVERIFY(!(image.le16(image.child(image.root(), 0)) & 2)); // three levels
        QVERIFY(image.freeHead() != 0 && image.le32(image.freeHead()) != 0);
    }

    void damaged_data()
    {
        QTest::addColumn<int>("which");
        for (std::size_t i = 0; i < damages().size(); ++i)
            QTest::newRow(damages()[i].name) << int(i);
    }

    void damaged()
    {
        QFETCH(int, which);
        const Damage& damage = damages()[std::size_t(which)];
        std::vector<char> bytes = m_base;
        Image image{bytes};
        damage.apply(image);
        MemoryBlockDevice device("DAMAGED.CDX", bytes);

        const QString stage = damage.stage;
        auto opened = CdxIndex::open(device);
        std::optional<Error> error;
        if (!opened.ok()) {
            error = opened.error();
        } else if (stage == "walk") {
            CdxCursor cursor(**opened, 0);
            Status status = cursor.first();
            for (int i = 0; status.ok() && cursor.onEntry() && i < 20000; ++i)
                status = cursor.next();
            if (!status.ok())
                error = status.error();
            // verify finds the same damage, whatever it calls it.
            QVERIFY(!(*opened)->verify().ok());
        } else {
            auto verified = (*opened)->verify();
            if (!verified.ok())
                error = verified.error();
        }
        QVERIFY2(error.has_value(), damage.name);
        QCOMPARE(stage == "open", !opened.ok());
        QCOMPARE(error->code, ErrorCode::Corrupt);
        const QString message = QString::fromStdString(error->message);
        QVERIFY2(message.contains(damage.message) && message.startsWith("DAMAGED.CDX: "), qPrintable(message));

        if (opened.ok())
            exercise(**opened, bytes);
    }

    // Damaged files the fuzzer produced, one per kind of damage it reached: each is reported as
    // corrupt by open or verify, and no operation crashes on it.
    void fuzzedFiles_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QUORVO_TEST_DATA "/cdx");
        const QStringList names = dir.entryList({"fuzz-*.cdx"}, QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void fuzzedFiles()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        MemoryBlockDevice device("FUZZ.CDX", std::vector<char>(data.begin(), data.end()));
        auto opened = CdxIndex::open(device);
        if (!opened.ok()) {
            QCOMPARE(opened.error().code, ErrorCode::Corrupt);
            return;
        }
        const auto verified = (*opened)->verify();
        QVERIFY(!verified.ok());
        QCOMPARE(verified.error().code, ErrorCode::Corrupt);
        exercise(**opened, std::vector<char>(data.begin(), data.end()));
    }
};

QTEST_GUILESS_MAIN(TestCdxDamage)
#include "TestCdxDamage.moc"
