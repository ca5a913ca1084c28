// Compressed leaves against the format's worked examples and against random key sets.
#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxLeafCodec.h"
#include "store/xbase/CdxLeafWidths.h"
#include "support/xbase/StatusCheck.h"

#include <QtTest>

#include <array>
#include <random>

using namespace quorvo::xbase;

namespace {

using Page = std::array<char, CdxLayout::kPageSize>;
using Entries = QList<QPair<QByteArray, quint32>>;

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// A leaf page assembled from its documented parts: node header, leaf header, entry bytes and the
// stored key bytes, which end at offset 511.
Page leafPage(const QByteArray& headers, const QByteArray& entries, const QByteArray& keyBytes)
{
    Page page{};
    std::memcpy(page.data(), headers.constData(), static_cast<std::size_t>(headers.size()));
    std::memcpy(page.data() + 24, entries.constData(), static_cast<std::size_t>(entries.size()));
    std::memcpy(page.data() + 512 - keyBytes.size(), keyBytes.constData(), static_cast<std::size_t>(keyBytes.size()));
    return page;
}

CdxLeafNode nodeOf(const Entries& entries, std::uint32_t keyLength)
{
    CdxLeafNode node;
    node.reset(keyLength);
    for (const auto& [key, recno] : entries)
        node.append(key.constData(), recno);
    return node;
}

QByteArray padded(const char* text, int length, char fill = ' ')
{
    QByteArray key(text);
    return key + QByteArray(length - key.size(), fill);
}

std::uint32_t roll(std::mt19937& rng, std::size_t n)
{
    return static_cast<std::uint32_t>(rng() % n);
}

} // namespace

class TestCdxLeafCodec : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data()
    {
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<char>("fill");
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QByteArray>("page");

        const Page directory = leafPage(hex("03000600FFFFFFFFFFFFFFFF"
                                            "C101"
                                            "FFFF00000F0F10040403"),
                                        hex("001260"
                                            "001E81"
                                            "000660"
                                            "002460"
                                            "001860"
                                            "000C60"),
                                        "WHENPRIOOPENKEYSTDONE");
        QTest::newRow("tag directory, six tags")
            << 10 << ' '
            << Entries{{padded("DONE", 10), 0x1200}, {padded("DT", 10), 0x1E00},   {padded("KEYS", 10), 0x0600},
                       {padded("OPEN", 10), 0x2400}, {padded("PRIO", 10), 0x1800}, {padded("WHEN", 10), 0x0C00}}
            << QByteArray(directory.data(), 512);

        // 488 - 2 * 3 - 13 = 469 free; RB 14, DB 5, TB 5.
        const Page keys = leafPage(hex("03000200FFFFFFFFFFFFFFFF"
                                       "D501"
                                       "FF3F00001F1F0E050503"),
                                   hex("030058"
                                       "010061"),
                                   "MILKBUY BREAD");
        QTest::newRow("character key of 20")
            << 20 << ' ' << Entries{{padded("BUY BREAD", 20), 3}, {padded("BUY MILK", 20), 1}}
            << QByteArray(keys.data(), 512);

        // 488 - 5 * 3 - 2 = 471 free; RB 22, DB 1, TB 1; the fill byte of a logical key is 0.
        const Page logical = leafPage(hex("03000500FFFFFFFFFFFFFFFF"
                                          "D701"
                                          "FFFF3F0001011601"
                                          "0103"),
                                      hex("010000"
                                          "030040"
                                          "050040"
                                          "020000"
                                          "040040"),
                                      "TF");
        QTest::newRow("logical key") << 1 << '\0' << Entries{{"F", 1}, {"F", 3}, {"F", 5}, {"T", 2}, {"T", 4}}
                                     << QByteArray(logical.data(), 512);
    }

    void workedExamples()
    {
        QFETCH(int, keyLength);
        QFETCH(char, fill);
        QFETCH(Entries, entries);
        QFETCH(QByteArray, page);
        const auto length = static_cast<std::uint32_t>(keyLength);
        const CdxLeafCodec codec(length, fill);

        Page encoded{};
        const CdxLeafNode node = nodeOf(entries, length);
        QVERIFY(codec.encode(node, 0, node.count(), 3, CdxLayout::kNoPage, CdxLayout::kNoPage, encoded.data()));
        QCOMPARE(QByteArray(encoded.data(), 512).toHex(' '), page.toHex(' '));

        CdxLeafNode decoded;
        CdxLeafLayout layout;
        QVERIFY_OK(codec.decode(page.constData(), 0x400, decoded, &layout));
        QCOMPARE(decoded.count(), static_cast<std::size_t>(entries.size()));
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(QByteArray(decoded.key(static_cast<std::size_t>(i)), keyLength), entries[i].first);
            QCOMPARE(decoded.recno(static_cast<std::size_t>(i)), entries[i].second);
        }
        QCOMPARE(layout.storedFree, layout.computedFree);
    }

    void widths_data()
    {
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<int>("recordBits");
        QTest::addColumn<quint32>("maxAtThreeBytes");
        QTest::newRow("logical 1") << 1 << 22 << 4194303u;
        QTest::newRow("numeric 8") << 8 << 16 << 65535u;
        QTest::newRow("tag name 10") << 10 << 16 << 65535u;
        QTest::newRow("13") << 13 << 16 << 65535u;
        QTest::newRow("20") << 20 << 14 << 16383u;
        QTest::newRow("100") << 100 << 10 << 1023u;
        QTest::newRow("240") << 240 << 8 << 255u;
    }

    void widths()
    {
        QFETCH(int, keyLength);
        QFETCH(int, recordBits);
        QFETCH(quint32, maxAtThreeBytes);
        const auto length = static_cast<std::uint32_t>(keyLength);
        const CdxLeafWidths three = CdxLeafWidths::forKey(length, maxAtThreeBytes);
        QCOMPARE(int(three.entryBytes), 3);
        QCOMPARE(int(three.recordBits), recordBits);
        const CdxLeafWidths four = CdxLeafWidths::forKey(length, maxAtThreeBytes + 1);
        QCOMPARE(int(four.entryBytes), 4);
        QCOMPARE(int(four.recordBits), recordBits + 8);
        QCOMPARE(four.dupBits, three.dupBits);
        QVERIFY(four.dupMask() >= length && four.trailMask() >= length);
        // Every record number fits, and the fields always fill the entry exactly.
        for (std::uint32_t recno : {0u, maxAtThreeBytes, 0xFFFFFFu, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            const CdxLeafWidths w = CdxLeafWidths::forKey(length, recno);
            QVERIFY(w.recordMask() >= recno);
            QCOMPARE(w.recordBits + w.dupBits + w.trailBits, 8 * w.entryBytes);
            QVERIFY(w.dupBits <= 8 && w.trailBits <= 8 && w.recordBits <= 32);
        }
    }

    // Fill a leaf with random keys until the next does not fit, then read it back. The free-space field
    // must match what maximal compression (trailing fill, then the shared prefix up to where either key's
    // fill starts) leaves, which is how other engines' files look byte for byte.
    void randomFullLeaves_data()
    {
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<char>("fill");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<quint32>("firstRecno");
        QTest::newRow("all blank") << 60 << ' ' << "blank" << 1u;
        QTest::newRow("long shared prefixes") << 100 << ' ' << "prefix" << 1u;
        QTest::newRow("words with trailing blanks") << 50 << ' ' << "words" << 1u;
        QTest::newRow("wide record numbers") << 13 << ' ' << "words" << 16'000'000u;
        QTest::newRow("record numbers past 32 bits of 240") << 240 << ' ' << "prefix" << 0xFFFF0000u;
        QTest::newRow("numeric keys, zero fill") << 8 << '\0' << "numeric" << 60'000u;
        QTest::newRow("fill bytes inside keys") << 20 << ' ' << "spaced" << 1u;
    }

    void randomFullLeaves()
    {
        QFETCH(int, keyLength);
        QFETCH(char, fill);
        QFETCH(QString, kind);
        QFETCH(quint32, firstRecno);
        const auto length = static_cast<std::uint32_t>(keyLength);
        const CdxLeafCodec codec(length, fill);
        std::mt19937 rng(static_cast<unsigned>(keyLength) * 31u + static_cast<unsigned>(kind.size()));

        for (int round = 0; round < 20; ++round) {
            std::vector<std::string> keys;
            for (int i = 0; i < 400; ++i) {
                std::string key(length, fill);
                if (kind == "prefix") {
                    for (std::uint32_t j = 0; j + 3 < length; ++j)
                        key[j] = 'P';
                    for (std::uint32_t j = length - 3; j < length; ++j)
                        key[j] = static_cast<char>('A' + roll(rng, 3));
                } else if (kind == "words") {
                    const std::uint32_t used = roll(rng, length + 1);
                    for (std::uint32_t j = 0; j < used; ++j)
                        key[j] = j % 5 == 4 ? ' ' : static_cast<char>('A' + roll(rng, 4));
                } else if (kind == "numeric") {
                    for (std::uint32_t j = 0; j < roll(rng, 9); ++j)
                        key[j] = static_cast<char>(roll(rng, 256));
                } else if (kind == "spaced") {
                    for (char& c : key)
                        c = roll(rng, 2) ? ' ' : 'S';
                }
                keys.push_back(key);
            }
            std::sort(keys.begin(), keys.end());

            CdxLeafNode node;
            node.reset(length);
            Page page{};
            std::uint32_t recno = firstRecno;
            std::size_t count = 0;
            for (const std::string& key : keys) {
                node.append(key.data(), recno);
                if (!codec.encode(node, 0, node.count(), CdxNodeHeader::kLeaf, 0x400, 0x800, page.data())) {
                    node.erase(node.count() - 1);
                    break;
                }
                ++count;
                recno += 1 + roll(rng, 1000);
            }
            QVERIFY(count > 0);
            QVERIFY(codec.encode(node, 0, count, CdxNodeHeader::kLeaf, 0x400, 0x800, page.data()));

            // Reference sizes, computed directly from the rule.
            const auto trailOf = [&](const std::string& key) { return length - (key.find_last_not_of(fill) + 1); };
            const auto storedOf = [&](std::size_t i) {
                const std::size_t trail = trailOf(keys[i]);
                std::size_t dup = 0;
                if (i > 0) {
                    const std::size_t cap = length - std::max(trail, trailOf(keys[i - 1]));
                    while (dup < cap && keys[i - 1][dup] == keys[i][dup])
                        ++dup;
                }
                return length - dup - trail;
            };
            const CdxLeafWidths widths = CdxLeafWidths::forKey(length, node.maxRecno(0, count));
            std::size_t stored = 0;
            for (std::size_t i = 0; i < count; ++i)
                stored += storedOf(i);
            const std::size_t free = CdxLayout::kLeafArea - count * widths.entryBytes - stored;
            // Full: the next entry would not have fitted, even where its record number widens every entry.
            if (count < keys.size()) {
                const CdxLeafWidths wider = CdxLeafWidths::forKey(length, std::max(node.maxRecno(0, count), recno));
                QVERIFY((count + 1) * wider.entryBytes + stored + storedOf(count) > CdxLayout::kLeafArea);
            }

            CdxLeafNode decoded;
            CdxLeafLayout layout;
            QVERIFY_OK(codec.decode(page.data(), 0x600, decoded, &layout));
            QCOMPARE(std::size_t{layout.storedFree}, free);
            QCOMPARE(layout.computedFree, layout.storedFree);
            QCOMPARE(int(layout.widths.entryBytes), int(widths.entryBytes));
            QCOMPARE(decoded.count(), count);
            QCOMPARE(decoded.header.left, 0x400u);
            QCOMPARE(decoded.header.right, 0x800u);
            for (std::size_t i = 0; i < count; ++i) {
                QVERIFY(decoded.keyView(i) == keys[i]);
                QCOMPARE(decoded.recno(i), node.recno(i));
            }
        }
    }

    // Leaves whose bytes break the layout are errors naming the damage, never out-of-page reads.
    void damagedLeaves_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("interior attributes") << 0 << hex("0100") << "not a leaf";
        QTest::newRow("entry of 2 bytes") << 23 << hex("02") << "entry size 2";
        QTest::newRow("entry of 9 bytes") << 23 << hex("09") << "entry size 9";
        QTest::newRow("33 record bits") << 20 << hex("21") << "bit widths";
        QTest::newRow("fields wider than the entry") << 21 << hex("0808") << "bit widths";
        QTest::newRow("mask disagrees with width") << 14 << hex("FFFF0F00") << "masks";
        QTest::newRow("65535 entries") << 2 << hex("FFFF") << "overflow";
        QTest::newRow("dup and trail beyond the key")
            << 27 << hex("0300C0") << "duplicate count 1 and trailing count 1";
        QTest::newRow("key bytes into the table") << 2 << hex("A000") << "run into the entry table";
    }

    void damagedLeaves()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        Page page = leafPage(hex("03000500FFFFFFFFFFFFFFFF"
                                 "D701"
                                 "FFFF3F0001011601"
                                 "0103"),
                             hex("010000"
                                 "030040"
                                 "050040"
                                 "020000"
                                 "040040"),
                             "TF");
        std::memcpy(page.data() + offset, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        const CdxLeafCodec codec(1, '\0');
        CdxLeafNode node;
        auto decoded = codec.decode(page.data(), 0x2400, node);
        QVERIFY(!decoded.ok());
        QCOMPARE(decoded.error().code, ErrorCode::Corrupt);
        const QString text = QString::fromStdString(decoded.error().message);
        QVERIFY2(text.contains(message) && text.contains("offset 9216"), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestCdxLeafCodec)
#include "TestCdxLeafCodec.moc"
