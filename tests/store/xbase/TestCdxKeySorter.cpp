// The build's sort against std::sort on the same (key, record number) pairs.
#include "store/xbase/CdxKeySorter.h"

#include <QtTest>

#include <algorithm>
#include <random>

using namespace quorvo::xbase;

class TestCdxKeySorter : public QObject
{
    Q_OBJECT

private slots:
    void matchesReference_data()
    {
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<int>("alphabet");   // distinct byte values per key position
        QTest::addColumn<int>("blankShare"); // percent of keys that are all blank
        QTest::addColumn<bool>("shuffled");  // record numbers not in input order
        QTest::addColumn<bool>("unique");
        QTest::newRow("logical") << 1 << 2 << 0 << false << false;
        QTest::newRow("logical, shuffled") << 1 << 2 << 0 << true << false;
        QTest::newRow("eight bytes") << 8 << 3 << 10 << false << false;
        QTest::newRow("nine bytes, one past a chunk") << 9 << 2 << 0 << true << false;
        QTest::newRow("13, few values") << 13 << 2 << 30 << false << false;
        QTest::newRow("60, mostly blank") << 60 << 4 << 60 << true << false;
        QTest::newRow("240, long runs") << 240 << 2 << 20 << false << false;
        QTest::newRow("all 256 byte values") << 20 << 256 << 0 << true << false;
        QTest::newRow("unique, shuffled") << 13 << 2 << 30 << true << true;
        QTest::newRow("unique, in order") << 60 << 3 << 50 << false << true;
    }

    void matchesReference()
    {
        QFETCH(int, keyLength);
        QFETCH(int, alphabet);
        QFETCH(int, blankShare);
        QFETCH(bool, shuffled);
        QFETCH(bool, unique);
        std::mt19937 rng(static_cast<unsigned>(keyLength * 7 + alphabet));
        const auto length = static_cast<std::uint32_t>(keyLength);
        for (std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{47}, std::size_t{3000}}) {
            std::vector<std::uint32_t> recnos(count);
            std::iota(recnos.begin(), recnos.end(), 1u);
            if (shuffled)
                std::shuffle(recnos.begin(), recnos.end(), rng);
            CdxKeyBatch batch(length);
            std::vector<std::pair<std::string, std::uint32_t>> reference;
            for (std::size_t i = 0; i < count; ++i) {
                std::string key(length, ' ');
                if (static_cast<int>(rng() % 100) >= blankShare) {
                    // Shared leading bytes, so runs reach past the first eight-byte chunk.
                    const std::size_t varied = std::min<std::size_t>(length, 3 + rng() % 3);
                    for (std::size_t j = length - varied; j < length; ++j)
                        key[j] = static_cast<char>(alphabet == 256 ? rng() % 256 : 'A' + rng() % unsigned(alphabet));
                }
                batch.add(key, recnos[i]);
                reference.emplace_back(key, recnos[i]);
            }
            std::sort(reference.begin(), reference.end());
            if (unique)
                reference.erase(std::unique(reference.begin(), reference.end(),
                                            [](const auto& a, const auto& b) { return a.first == b.first; }),
                                reference.end());

            CdxKeySorter sorter;
            std::vector<std::uint32_t> order;
            sorter.sort(batch, unique, order);
            QCOMPARE(order.size(), reference.size());
            for (std::size_t i = 0; i < order.size(); ++i) {
                QVERIFY(batch.keyView(order[i]) == reference[i].first);
                QCOMPARE(batch.recno(order[i]), reference[i].second);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCdxKeySorter)
#include "TestCdxKeySorter.moc"
