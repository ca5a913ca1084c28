// In-place leaf edits must leave exactly the bytes a fresh encoding of the same entries would.
#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxLeafCodec.h"
#include "store/xbase/CdxLeafEditor.h"
#include "support/xbase/StatusCheck.h"

#include <QtTest>

#include <array>
#include <random>
#include <set>

using namespace quorvo::xbase;

class TestCdxLeafEditor : public QObject
{
    Q_OBJECT

private slots:
    void matchesFreshEncoding_data()
    {
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<char>("fill");
        QTest::addColumn<int>("alphabet");
        QTest::addColumn<int>("addShare"); // percent of steps that insert: enough to fill the leaf now and then
        QTest::newRow("logical") << 1 << '\0' << 2 << 75;
        QTest::newRow("date and time") << 13 << ' ' << 3 << 55;
        QTest::newRow("words and blanks") << 50 << ' ' << 2 << 55;
        QTest::newRow("numbers, zero fill") << 8 << '\0' << 256 << 55;
        QTest::newRow("long keys") << 240 << ' ' << 2 << 55;
    }

    void matchesFreshEncoding()
    {
        QFETCH(int, keyLength);
        QFETCH(char, fill);
        QFETCH(int, alphabet);
        QFETCH(int, addShare);
        const auto length = static_cast<std::uint32_t>(keyLength);
        std::mt19937 rng(static_cast<unsigned>(keyLength));
        const auto randomKey = [&] {
            std::string key(length, fill);
            const std::size_t used = rng() % (length + 1);
            for (std::size_t i = 0; i < used; ++i)
                key[i] = static_cast<char>(alphabet == 256 ? rng() % 256 : 'A' + rng() % unsigned(alphabet));
            return key;
        };
        const CdxLeafCodec codec(length, fill);
        CdxLeafEditor editor(length, fill);
        std::set<std::pair<std::string, std::uint32_t>> model;
        CdxLeafNode node;
        std::array<char, CdxLayout::kPageSize> page{};
        std::array<char, CdxLayout::kPageSize> expected{};
        const auto encodeModel = [&](std::array<char, CdxLayout::kPageSize>& out) {
            node.reset(length);
            for (const auto& [key, recno] : model)
                node.append(key.data(), recno);
            return codec.encode(node, 0, node.count(), CdxNodeHeader::kLeaf, 0x600, 0xA00, out.data());
        };
        QVERIFY(encodeModel(page));

        int inserted = 0;
        int refused = 0;
        for (int step = 0; step < 3000; ++step) {
            // Record numbers stay below every width's limit at three bytes, so widths never change.
            const bool add = model.empty() || static_cast<int>(rng() % 100) < addShare;
            if (add) {
                const std::pair<std::string, std::uint32_t> entry{randomKey(), 1 + rng() % 200};
                if (model.count(entry))
                    continue;
                QVERIFY_OK(editor.scan(page.data(), 0x800, entry.first, entry.second));
                QVERIFY(!editor.found());
                model.insert(entry);
                const bool fits = encodeModel(expected);
                QCOMPARE(editor.insert(page.data(), entry.first, entry.second), fits);
                if (!fits) {
                    model.erase(entry);
                    ++refused;
                    continue;
                }
                ++inserted;
            } else {
                auto victim = std::next(model.begin(), std::ptrdiff_t(rng() % model.size()));
                QVERIFY_OK(editor.scan(page.data(), 0x800, victim->first, victim->second));
                QVERIFY(editor.found());
                const bool wasLast = std::next(victim) == model.end();
                model.erase(victim);
                QVERIFY(editor.erase(page.data()));
                if (wasLast && !model.empty()) {
                    QVERIFY(std::string(editor.lastKey(), length) == model.rbegin()->first);
                    QCOMPARE(editor.lastRecno(), model.rbegin()->second);
                }
                QVERIFY(encodeModel(expected));
            }
            QCOMPARE(QByteArray(page.data(), 512).toHex(' '), QByteArray(expected.data(), 512).toHex(' '));
            QCOMPARE(std::size_t{editor.count()}, model.size());
        }
        QVERIFY(inserted > 100 && refused > 0);
    }

    // Edits that need wider entries are refused and leave the page as it was.
    void refusesWiderRecordNumbers()
    {
        const CdxLeafCodec codec(13, ' ');
        CdxLeafNode node;
        node.reset(13);
        node.append("2024010109:00", 5);
        std::array<char, CdxLayout::kPageSize> page{};
        QVERIFY(codec.encode(node, 0, 1, 3, CdxLayout::kNoPage, CdxLayout::kNoPage, page.data()));
        const auto before = page;
        CdxLeafEditor editor(13, ' ');
        QVERIFY_OK(editor.scan(page.data(), 0x400, "2024010110:00", 70000));
        QVERIFY(!editor.insert(page.data(), "2024010110:00", 70000));
        QVERIFY(page == before);
    }
};

QTEST_GUILESS_MAIN(TestCdxLeafEditor)
#include "TestCdxLeafEditor.moc"
