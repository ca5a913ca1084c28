// Index files as other FoxPro-compatible engines write them, assembled byte by byte from the format's
// worked examples: a Harbour-style header, the six-tag directory leaf, the 20-byte and logical leaves,
// a two-level tree, a leaf with four-byte entries and junk in its first duplicate count, FOR text under
// both conventions for bytes 504-505, and both ways of ending the free list.
#include "store/xbase/CdxCursor.h"
#include "store/xbase/CdxIndex.h"
#include "support/xbase/MemoryBlockDevice.h"
#include "support/xbase/StatusCheck.h"

#include <QtTest>

#include <map>
#include <set>

using namespace quorvo::xbase;

namespace {

using Entry = std::pair<std::string, std::uint32_t>;
using Model = std::set<Entry>;

class FileImage
{
public:
    explicit FileImage(std::size_t size) : m_bytes(size, '\0') {}

    void bytes(std::size_t at, const QByteArray& data)
    {
        std::memcpy(&m_bytes[at], data.constData(), std::size_t(data.size()));
    }
    void hex(std::size_t at, const char* text) { bytes(at, QByteArray::fromHex(text)); }
    void le16(std::size_t at, std::uint32_t v)
    {
        m_bytes[at] = char(v & 0xFF);
        m_bytes[at + 1] = char(v >> 8 & 0xFF);
    }
    void le32(std::size_t at, std::uint32_t v)
    {
        le16(at, v & 0xFFFF);
        le16(at + 2, v >> 16);
    }
    void be32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes[at + std::size_t(i)] = char(v >> (24 - 8 * i) & 0xFF);
    }
    // Key bytes stored at the end of a leaf page.
    void tail(std::size_t page, const char* text) { bytes(page + 512 - std::strlen(text), text); }

    // A tag header with its expression pool; forStart is what goes into 504-505.
    void tagHeader(std::size_t at, std::uint32_t root, std::uint32_t keyLength, const char* key, const char* forText,
                   bool totalLengthAt504)
    {
        const auto keyText = std::uint32_t(std::strlen(key) + 1);
        const auto forLength = std::uint32_t(std::strlen(forText) + 1);
        le32(at, root);
        le16(at + 12, keyLength);
        m_bytes[at + 14] = char(forLength > 1 ? 0x68 : 0x60);
        m_bytes[at + 15] = 1;
        le16(at + 16, 0x0400);
        le16(at + 18, 0x0200);
        le16(at + 504, totalLengthAt504 ? keyText + forLength : keyText);
        le16(at + 506, forLength);
        le16(at + 508, 0);
        le16(at + 510, keyText);
        bytes(at + 512, key);
        bytes(at + 512 + keyText, forText);
    }

    std::vector<char> take() { return std::move(m_bytes); }

private:
    std::vector<char> m_bytes;
};

// Tag headers at 0x0600 KEYS, 0x0C00 WHEN, 0x1200 DONE, 0x1800 PRIO, 0x1E00 DT, 0x2400 OPEN, each root
// right after its header; WHEN's two leaves at 0x2A00 and 0x2C00.
std::vector<char> harbourStyleFile(bool freeListMinusOne, bool totalLengthAt504)
{
    FileImage f(0x2E00);
    f.le32(0, 0x400);
    f.le32(4, freeListMinusOne ? 0xFFFFFFFF : 0);
    f.be32(8, 7);
    f.le16(12, 10);
    f.hex(14, "E001"
              "00040002"
              "52434842"); // options, signature, page-size words, "RCHB"
    f.hex(504, "0100"
               "0100"
               "0000"
               "0100");

    // Directory leaf: the worked example.
    f.hex(0x400, "03000600FFFFFFFFFFFFFFFF"
                 "C101"
                 "FFFF00000F0F10040403"
                 "001260"
                 "001E81"
                 "000660"
                 "002460"
                 "001860"
                 "000C60");
    f.tail(0x400, "WHENPRIOOPENKEYSTDONE");

    f.tagHeader(0x0600, 0x0A00, 20, "Upper( KEYS )", "", false);
    f.hex(0x0A00, "03000200FFFFFFFFFFFFFFFF"
                  "D501"
                  "FF3F00001F1F0E050503"
                  "030058"
                  "010061");
    f.tail(0x0A00, "MILKBUY BREAD");

    f.tagHeader(0x0C00, 0x1000, 13, "DToS( DATE ) + TIME", "", false);
    f.hex(0x1000, "01000200FFFFFFFFFFFFFFFF");
    f.bytes(0x100C, "2024010509:00");
    f.be32(0x100C + 13, 5);
    f.be32(0x100C + 17, 0x2A00);
    f.bytes(0x100C + 21, "2024010612:00");
    f.be32(0x100C + 34, 3);
    f.be32(0x100C + 38, 0x2C00);
    // Blank key (trail 13), then a full key, then the same key again (dup 13).
    f.hex(0x2A00, "02000300FFFFFFFF002C0000"
                  "D201"
                  "FFFF00000F0F10040403"
                  "0400D0"
                  "020000"
                  "05000D");
    f.tail(0x2A00, "2024010509:00");
    // A key, then one sharing nine bytes with it.
    f.hex(0x2C00, "02000200002A0000FFFFFFFF"
                  "D101"
                  "FFFF00000F0F10040403"
                  "010000"
                  "030009");
    f.tail(0x2C00, "2:002024010610:30");

    f.tagHeader(0x1200, 0x1600, 1, "DONE", "", false);
    f.hex(0x1600, "03000500FFFFFFFFFFFFFFFF"
                  "D701"
                  "FFFF3F0001011601"
                  "0103"
                  "010000"
                  "030040"
                  "050040"
                  "020000"
                  "040040");
    f.tail(0x1600, "TF");

    f.tagHeader(0x1800, 0x1C00, 14, "Upper( PRIORITY ) + DToS( DATE ) + TIME", "", false);
    f.hex(0x1C00, "03000000FFFFFFFFFFFFFFFF"
                  "E801"
                  "FFFF00000F0F10040403");

    f.tagHeader(0x1E00, 0x2200, 13, "DToS( DATE ) + TIME", "!Deleted()", totalLengthAt504);
    f.hex(0x2200, "03000000FFFFFFFFFFFFFFFF"
                  "E801"
                  "FFFF00000F0F10040403");

    // Four-byte entries sized for a large table; the first entry's dup bit is junk.
    f.tagHeader(0x2400, 0x2800, 1, "!DONE", "", false);
    f.hex(0x2800, "03000200FFFFFFFFFFFFFFFF"
                  "DE01"
                  "FFFFFF3F"
                  "0101"
                  "1E010104"
                  "07000040"
                  "08000000");
    f.tail(0x2800, "TF");
    return f.take();
}

std::string padded(const char* text, std::size_t length)
{
    std::string key(text);
    key.resize(length, ' ');
    return key;
}

const std::string kBlank13(13, ' ');

std::map<std::string, Model> expectedEntries()
{
    return {
        {"KEYS", {{padded("BUY BREAD", 20), 3}, {padded("BUY MILK", 20), 1}}},
        {"WHEN",
         {{kBlank13, 4}, {"2024010509:00", 2}, {"2024010509:00", 5}, {"2024010610:30", 1}, {"2024010612:00", 3}}},
        {"DONE", {{"F", 1}, {"F", 3}, {"F", 5}, {"T", 2}, {"T", 4}}},
        {"PRIO", {}},
        {"DT", {}},
        {"OPEN", {{"F", 7}, {"T", 8}}},
    };
}

Model walk(CdxIndex& index, std::size_t tag)
{
    Model entries;
    std::vector<Entry> inOrder;
    CdxCursor cursor(index, tag);
    if (!cursor.first())
        return {{"walk failed", 0}};
    while (cursor.onEntry()) {
        inOrder.emplace_back(std::string(cursor.key()), cursor.recno());
        if (!cursor.next())
            return {{"walk failed", 0}};
    }
    if (!std::is_sorted(inOrder.begin(), inOrder.end()))
        return {{"walk out of order", 0}};
    return Model(inOrder.begin(), inOrder.end());
}

} // namespace

class TestCdxForeignFiles : public QObject
{
    Q_OBJECT

private slots:
    void opensAndWalks_data()
    {
        QTest::addColumn<bool>("freeListMinusOne");
        QTest::addColumn<bool>("totalLengthAt504");
        QTest::newRow("Harbour conventions") << false << false;
        QTest::newRow("free list ended by -1") << true << false;
        QTest::newRow("504 holding the pool's total length") << false << true;
    }

    void opensAndWalks()
    {
        QFETCH(bool, freeListMinusOne);
        QFETCH(bool, totalLengthAt504);
        MemoryBlockDevice device("HARBOUR.CDX", harbourStyleFile(freeListMinusOne, totalLengthAt504));
        auto opened = CdxIndex::open(device);
        QVERIFY_OK(opened);
        CdxIndex& index = **opened;

        // Creation order is header order, whatever the directory's name order.
        const std::vector<std::string> names{"KEYS", "WHEN", "DONE", "PRIO", "DT", "OPEN"};
        QCOMPARE(index.tagCount(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            QCOMPARE(index.tagName(i), names[i]);
        QCOMPARE(index.tag(0).definition.keyExpression, std::string("Upper( KEYS )"));
        QCOMPARE(index.tag(0).definition.keyLength, std::uint16_t(20));
        QCOMPARE(index.tag(4).definition.forExpression, std::string("!Deleted()"));
        QCOMPARE(index.tag(3).definition.forExpression, std::string());
        index.setKeyType(2, CdxKeyType::Logical);
        index.setKeyType(5, CdxKeyType::Logical);

        const auto expected = expectedEntries();
        for (std::size_t i = 0; i < names.size(); ++i)
            QCOMPARE(walk(index, i), expected.at(names[i]));
        QVERIFY_OK(index.verify());

        CdxCursor cursor(index, 1);
        auto found = cursor.seek("20240106", false);
        QVERIFY_OK(found);
        QVERIFY(*found);
        QCOMPARE(cursor.recno(), 1u);
        found = cursor.seek("2024010511", true);
        QVERIFY(!*found && cursor.onEntry());
        QCOMPARE(std::string(cursor.key()), std::string("2024010610:30"));
        QVERIFY_OK(cursor.prev());
        QCOMPARE(cursor.recno(), 5u);
    }

    // Changing every tag of the foreign file: its leaves are re-encoded our way, its two-level tree grows
    // and shrinks, and what comes back is still readable by a fresh open.
    void editsForeignFile_data()
    {
        QTest::addColumn<bool>("freeListMinusOne");
        QTest::newRow("free list ended by 0") << false;
        QTest::newRow("free list ended by -1") << true;
    }

    void editsForeignFile()
    {
        QFETCH(bool, freeListMinusOne);
        MemoryBlockDevice device("HARBOUR.CDX", harbourStyleFile(freeListMinusOne, false));
        auto opened = CdxIndex::open(device);
        QVERIFY_OK(opened);
        CdxIndex& index = **opened;
        index.setKeyType(2, CdxKeyType::Logical);
        index.setKeyType(5, CdxKeyType::Logical);
        auto expected = expectedEntries();
        const std::vector<std::string> names{"KEYS", "WHEN", "DONE", "PRIO", "DT", "OPEN"};
        const std::vector<std::size_t> lengths{20, 13, 1, 14, 13, 1};

        std::uint32_t recno = 10;
        for (int round = 0; round < 300; ++round) {
            for (std::size_t t = 0; t < names.size(); ++t) {
                Model& model = expected[names[t]];
                std::string key = lengths[t] == 1 ? std::string(round % 2 ? "T" : "F")
                                                  : padded(("2024" + std::to_string(round % 37)).c_str(), lengths[t]);
                QVERIFY_OK(index.insertKey(t, key, recno));
                model.emplace(key, recno++);
                if (round % 3 == 2) {
                    const Entry victim = *std::next(model.begin(), std::ptrdiff_t(std::size_t(round) % model.size()));
                    QVERIFY_OK(index.deleteKey(t, victim.first, victim.second));
                    model.erase(victim);
                }
            }
        }
        // Whatever is left of the original entries goes too.
        for (std::size_t t = 0; t < names.size(); ++t) {
            Model& model = expected[names[t]];
            for (auto it = model.begin(); it != model.end();) {
                if (it->second >= 10) {
                    ++it;
                    continue;
                }
                QVERIFY_OK(index.deleteKey(t, it->first, it->second));
                it = model.erase(it);
            }
        }
        QVERIFY_OK(index.removeTag(3));
        expected.erase("PRIO");
        QVERIFY(device.bytes()[4] != 0 || device.bytes()[5] != 0); // the free list holds PRIO's pages
        QVERIFY_OK(index.verify());

        auto reopened = CdxIndex::open(device);
        QVERIFY_OK(reopened);
        QCOMPARE((*reopened)->tagCount(), std::size_t{5});
        (*reopened)->setKeyType(2, CdxKeyType::Logical);
        (*reopened)->setKeyType(4, CdxKeyType::Logical);
        for (std::size_t t = 0; t < 5; ++t)
            QCOMPARE(walk(**reopened, t), expected.at((*reopened)->tagName(t)));
        QVERIFY_OK((*reopened)->verify());
        // The counter went on from the foreign writer's 7.
        QVERIFY(std::uint8_t(device.bytes()[11]) > 7 || device.bytes()[10] != 0);
    }
};

QTEST_GUILESS_MAIN(TestCdxForeignFiles)
#include "TestCdxForeignFiles.moc"
