// Random inserts, deletes, rebuilds and clears against an in-memory model of every tag.
#include "store/xbase/CdxCursor.h"
#include "store/xbase/CdxIndex.h"
#include "support/xbase/MemoryBlockDevice.h"
#include "support/xbase/StatusCheck.h"

#include <QtTest>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <set>

using namespace quorvo::xbase;

namespace {

using Entry = std::pair<std::string, std::uint32_t>;
using Model = std::set<Entry>;

// Key shapes: the five task tags and two that stress the format's limits.
enum class Shape
{
    DateTime, // DATE+TIME, 13
    Descript, // upper(DESCRIPT), 50
    Done,     // DONE, logical 1
    Keys,     // upper(KEYS), 60: mostly blank
    Priority, // upper(PRIORITY)+DATE+TIME, 14
    Random100,
    Random240, // interior nodes of two entries, leaves of one or two
};

struct TagShape
{
    Shape shape;
    std::uint16_t keyLength;
    CdxKeyType type;
    const char* name;
};

const TagShape kShapes[] = {
    {Shape::DateTime, 13, CdxKeyType::Character, "DATETIME"},
    {Shape::Descript, 50, CdxKeyType::Character, "DESCRIPT"},
    {Shape::Done, 1, CdxKeyType::Logical, "DONE"},
    {Shape::Keys, 60, CdxKeyType::Character, "KEYS"},
    {Shape::Priority, 14, CdxKeyType::Character, "PRIORITY"},
    {Shape::Random100, 100, CdxKeyType::Numeric, "RAND100"},
    {Shape::Random240, 240, CdxKeyType::Character, "RAND240"},
};

std::uint32_t roll(std::mt19937& rng, std::size_t n)
{
    return static_cast<std::uint32_t>(rng() % n);
}

std::string pad(std::string text, std::size_t length)
{
    text.resize(length, ' ');
    return text;
}

std::string dateTime(std::mt19937& rng)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "2024%02u%02u%02u:%02u", unsigned(roll(rng, 3) + 1),
                  unsigned(roll(rng, 28) + 1), unsigned(roll(rng, 24)), unsigned(roll(rng, 4) * 15));
    return roll(rng, 20) == 0 ? std::string(13, ' ') : std::string(buffer);
}

std::string makeKey(const TagShape& shape, std::mt19937& rng)
{
    static const char* words[] = {"BUY", "MILK", "CALL", "JOHN", "WORK", "HOME", "PAY", "BILLS", "FIX", "CAR", "ZEBRA"};
    const auto phrase = [&](unsigned count) {
        std::string text;
        for (unsigned i = 0; i < count; ++i)
            text += std::string(i ? " " : "") + words[roll(rng, std::size(words))];
        return text;
    };
    switch (shape.shape) {
    case Shape::DateTime:
        return dateTime(rng);
    case Shape::Descript:
        return pad(phrase(roll(rng, 8)), 50);
    case Shape::Done:
        return roll(rng, 3) ? "F" : "T";
    case Shape::Keys:
        return pad(roll(rng, 2) ? std::string() : phrase(roll(rng, 3) + 1), 60);
    case Shape::Priority:
        return pad(std::string(1, "ABC "[roll(rng, 4)]), 1) + dateTime(rng);
    case Shape::Random100: {
        std::string key(100, '\0');
        const std::size_t used = roll(rng, 101);
        for (std::size_t i = 0; i < used; ++i)
            key[i] = static_cast<char>(roll(rng, 4) ? roll(rng, 4) : roll(rng, 256));
        return key;
    }
    case Shape::Random240: {
        std::string key(240, ' ');
        for (char& c : key)
            c = static_cast<char>(roll(rng, 256));
        return key;
    }
    }
    return {};
}

CdxKeyBatch batchOf(const Model& model, std::uint16_t keyLength)
{
    CdxKeyBatch batch(keyLength);
    for (const auto& [key, recno] : model)
        batch.add(key, recno);
    return batch;
}

} // namespace

class TestCdxDifferential : public QObject
{
    Q_OBJECT

private:
    void compare(CdxIndex& index, std::size_t tag, const Model& model, bool backwards)
    {
        CdxCursor cursor(index, tag);
        if (!backwards) {
            QVERIFY(cursor.first().ok());
            for (const auto& [key, recno] : model) {
                QVERIFY2(cursor.onEntry(), qPrintable(QString("walk ends early before record %1").arg(recno)));
                QCOMPARE(cursor.recno(), recno);
                QVERIFY(cursor.key() == key);
                QVERIFY(cursor.next().ok());
            }
        } else {
            QVERIFY(cursor.last().ok());
            for (auto it = model.rbegin(); it != model.rend(); ++it) {
                QVERIFY(cursor.onEntry());
                QCOMPARE(cursor.recno(), it->second);
                QVERIFY(cursor.key() == it->first);
                QVERIFY(cursor.prev().ok());
            }
        }
        QVERIFY(backwards ? cursor.bof() : cursor.eof());
    }

private slots:
    void randomEdits_data()
    {
        QTest::addColumn<QList<int>>("shapes");
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("steps");
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<bool>("unique");
        QTest::newRow("five task tags") << QList<int>{0, 1, 2, 3, 4} << 2000 << 120 << 1u << false;
        QTest::newRow("five task tags, empty start") << QList<int>{0, 1, 2, 3, 4} << 0 << 120 << 2u << false;
        QTest::newRow("long random keys") << QList<int>{5, 6} << 300 << 120 << 3u << false;
        QTest::newRow("unique tags") << QList<int>{0, 3, 6} << 500 << 80 << 4u << true;
    }

    void randomEdits()
    {
        QFETCH(QList<int>, shapes);
        QFETCH(int, initial);
        QFETCH(int, steps);
        QFETCH(unsigned, seed);
        QFETCH(bool, unique);

        std::mt19937 rng(seed);
        MemoryBlockDevice device;
        auto created = CdxIndex::create(device);
        QVERIFY(created.ok());
        CdxIndex& index = **created;
        std::vector<Model> models(shapes.size());
        std::vector<const TagShape*> tags;
        std::uint32_t nextRecno = 1;
        for (int s : shapes) {
            const TagShape& shape = kShapes[s];
            Model& model = models[tags.size()];
            for (int i = 0; i < initial; ++i) {
                const std::string key = makeKey(shape, rng);
                const bool taken =
                    unique && std::any_of(model.begin(), model.end(), [&](const Entry& e) { return e.first == key; });
                if (!taken)
                    model.emplace(key, nextRecno);
                ++nextRecno;
            }
            CdxTagDefinition definition{shape.name, "K", "not Deleted()", shape.keyLength, shape.type, false, unique};
            QVERIFY(index.addTag(definition, batchOf(model, shape.keyLength)).ok());
            index.setKeyType(tags.size(), shape.type);
            tags.push_back(&shape);
        }
        QVERIFY_OK(index.verify());

        for (int step = 0; step < steps; ++step) {
            const bool batched = step % 3 == 0;
            if (batched)
                index.beginChanges();
            const int ops = 1 + static_cast<int>(roll(rng, 40));
            for (int op = 0; op < ops; ++op) {
                const std::size_t t = roll(rng, tags.size());
                Model& model = models[t];
                const unsigned dice = roll(rng, 100);
                if (dice < 6 && !unique) {
                    // Many new pairs at once, in no particular order, some with wide record numbers.
                    CdxKeyBatch batch(tags[t]->keyLength);
                    const unsigned count = 1 + roll(rng, 300);
                    for (unsigned k = 0; k < count; ++k) {
                        const std::uint32_t recno = roll(rng, 10) == 0 ? 70000 + nextRecno * 7 : nextRecno;
                        ++nextRecno;
                        const std::string key = makeKey(*tags[t], rng);
                        batch.add(key, recno);
                        model.emplace(key, recno);
                    }
                    QVERIFY_OK(index.insertKeys(t, batch));
                } else if (dice < 50 || model.empty()) {
                    // Now and then a record number that needs a wider leaf entry.
                    const std::uint32_t recno = roll(rng, 50) == 0 ? 70000 + nextRecno * 7 : nextRecno;
                    ++nextRecno;
                    const std::string key = makeKey(*tags[t], rng);
                    QVERIFY_OK(index.insertKey(t, key, recno));
                    const bool taken = unique && std::any_of(model.begin(), model.end(),
                                                             [&](const Entry& e) { return e.first == key; });
                    if (!taken)
                        model.emplace(key, recno);
                } else if (dice < 92) {
                    auto it = std::next(model.begin(), static_cast<std::ptrdiff_t>(roll(rng, model.size())));
                    QVERIFY_OK(index.deleteKey(t, it->first, it->second));
                    model.erase(it);
                } else if (dice < 98) {
                    // Many pairs at once, in no particular order: anything from a few to most of the tag.
                    std::vector<Entry> chosen;
                    const unsigned share = 1 + roll(rng, 60);
                    for (const Entry& e : model)
                        if (roll(rng, 100) < share)
                            chosen.push_back(e);
                    std::shuffle(chosen.begin(), chosen.end(), rng);
                    CdxKeyBatch batch(tags[t]->keyLength);
                    for (const auto& [key, recno] : chosen) {
                        batch.add(key, recno);
                        model.erase({key, recno});
                    }
                    QVERIFY_OK(index.deleteKeys(t, batch));
                } else if (dice < 99) {
                    QVERIFY(index.rebuildTag(t, batchOf(model, tags[t]->keyLength)).ok());
                } else {
                    QVERIFY(index.clearTag(t).ok());
                    model.clear();
                }
            }
            if (batched)
                QVERIFY(index.endChanges().ok());
            QVERIFY_OK(index.verify());
            for (std::size_t t = 0; t < tags.size(); ++t) {
                compare(index, t, models[t], step % 2 == 1);
                if (QTest::currentTestFailed())
                    QFAIL(qPrintable(QString("step %1, tag %2").arg(step).arg(tags[t]->name)));
            }
        }

        // Another process opening the file sees the same tags and entries.
        auto reopened = CdxIndex::open(device);
        QVERIFY(reopened.ok());
        QCOMPARE((*reopened)->tagCount(), tags.size());
        for (std::size_t t = 0; t < tags.size(); ++t) {
            QCOMPARE((*reopened)->tagName(t), std::string(tags[t]->name));
            (*reopened)->setKeyType(t, tags[t]->type);
            compare(**reopened, t, models[t], false);
        }
        QVERIFY((*reopened)->verify().ok());
    }

    // Draining a tag key by key returns every page the inserts took to the free list, and the next
    // round of inserts takes them back before growing the file.
    void emptiedTreesReturnTheirPages()
    {
        std::mt19937 rng(7);
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY(index.ok());
        QVERIFY_OK((*index)->addTag("KEYS", "upper(KEYS)", "", 60, {}));
        const auto freePages = [&device] {
            const auto le32 = [&](std::size_t at) {
                std::uint32_t v = 0;
                std::memcpy(&v, device.bytes().data() + at, 4);
                return v;
            };
            std::size_t count = 0;
            for (std::uint32_t page = le32(4); page != 0 && count < device.bytes().size() / 512; page = le32(page))
                ++count;
            return count;
        };
        std::size_t grownTo = 0;
        for (int round = 0; round < 3; ++round) {
            Model model;
            for (std::uint32_t r = 1; r <= 3000; ++r) {
                const std::string key = makeKey(kShapes[1], rng) + std::string(10, 'X');
                QVERIFY_OK((*index)->insertKey(0, key, r));
                model.emplace(key, r);
            }
            QVERIFY_OK((*index)->verify());
            if (round > 0)
                QVERIFY(device.bytes().size() < grownTo * 11 / 10);
            grownTo = std::max(grownTo, device.bytes().size());
            for (const auto& [key, recno] : model)
                QVERIFY_OK((*index)->deleteKey(0, key, recno));
            QVERIFY_OK((*index)->verify());
            // Left in use: file header, directory root, tag header, tag root.
            QCOMPARE(freePages(), device.bytes().size() / 512 - 6);
        }
        CdxCursor cursor(**index, 0);
        QVERIFY_OK(cursor.first());
        QVERIFY(cursor.eof() && cursor.bof());
    }

    // Removing many pairs at once: a pair the tag does not hold is damage in an ordinary tag (it names the
    // record) and nothing is removed (nor added, for a pair it holds already); a unique tag keeps only the first record
    // of a key, so there it is passed over and the rest go. Emptying a tag in one call frees every page below its root.
    void bulkRemovalOfPairsNotHeld_data()
    {
        QTest::addColumn<bool>("unique");
        QTest::newRow("ordinary tag") << false;
        QTest::newRow("unique tag") << true;
    }

    void bulkRemovalOfPairsNotHeld()
    {
        QFETCH(bool, unique);
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY(index.ok());
        CdxTagDefinition definition{"DATETIME", "K", "", 13, CdxKeyType::Character, false, unique};
        std::mt19937 rng(5);
        Model model;
        for (std::uint32_t r = 1; r <= 3000; ++r)
            model.emplace(dateTime(rng), r);
        if (unique) {
            Model firsts;
            std::set<std::string> seen;
            for (const Entry& e : model)
                if (seen.insert(e.first).second)
                    firsts.insert(e);
            model = firsts;
        }
        QVERIFY_OK((*index)->addTag(definition, batchOf(model, 13)));
        const QByteArray before(device.bytes().data(), static_cast<qsizetype>(device.bytes().size()));

        CdxKeyBatch gone(13);
        for (const Entry& e : model)
            gone.add(e.first, e.second);
        gone.add(model.begin()->first, 99999); // a record the tag does not hold
        const Status status = (*index)->deleteKeys(0, gone);
        if (!unique) {
            QVERIFY(!status.ok());
            QCOMPARE(status.error().code, ErrorCode::Corrupt);
            QVERIFY(status.error().message.find("record 99999") != std::string::npos);
            QVERIFY(QByteArray(device.bytes().data(), static_cast<qsizetype>(device.bytes().size())) == before);
            // Adding a pair the tag holds already is damage the same way, and adds nothing.
            CdxKeyBatch again(13);
            again.add(std::string(13, '0'), 99998);
            again.add(std::prev(model.end())->first, std::prev(model.end())->second);
            const Status added = (*index)->insertKeys(0, again);
            QVERIFY(!added.ok());
            QCOMPARE(added.error().code, ErrorCode::Corrupt);
            QVERIFY(QByteArray(device.bytes().data(), static_cast<qsizetype>(device.bytes().size())) == before);
            return;
        }
        QVERIFY_OK(status);
        QVERIFY_OK((*index)->verify());
        compare(**index, 0, {}, false);
        // Left in use: file header, directory root, tag header, tag root.
        std::size_t free = 0;
        const auto le32 = [&](std::size_t at) {
            std::uint32_t v = 0;
            std::memcpy(&v, device.bytes().data() + at, 4);
            return v;
        };
        for (std::uint32_t page = le32(4); page != 0 && free < device.bytes().size() / 512; page = le32(page))
            ++free;
        QCOMPARE(free, device.bytes().size() / 512 - 6);
    }

    // Deleting most keys at random leaves sparse leaves behind; merging keeps the tree within a small
    // multiple of what a fresh build of the survivors takes.
    void sparseTreesMerge_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("factor");
        QTest::addColumn<bool>("bulk");
        QTest::newRow("DESCRIPT") << 1 << 3 << false;
        QTest::newRow("DATETIME") << 0 << 3 << false;
        // Two-entry interior nodes cannot always merge: a single child beside a full neighbour stays.
        QTest::newRow("random 240") << 6 << 4 << false;
        QTest::newRow("DESCRIPT, nine tenths at once") << 1 << 3 << true;
        QTest::newRow("DATETIME, nine tenths at once") << 0 << 3 << true;
        QTest::newRow("random 240, nine tenths at once") << 6 << 4 << true;
    }

    void sparseTreesMerge()
    {
        QFETCH(int, shape);
        QFETCH(int, factor);
        QFETCH(bool, bulk);
        const TagShape& tag = kShapes[shape];
        std::mt19937 rng(11);
        const auto pagesInUse = [](MemoryBlockDevice& device) {
            const auto le32 = [&](std::size_t at) {
                std::uint32_t v = 0;
                std::memcpy(&v, device.bytes().data() + at, 4);
                return v;
            };
            std::size_t free = 0;
            for (std::uint32_t page = le32(4); page != 0 && free < device.bytes().size() / 512; page = le32(page))
                ++free;
            return device.bytes().size() / 512 - free;
        };
        MemoryBlockDevice device;
        auto index = CdxIndex::create(device);
        QVERIFY(index.ok());
        CdxTagDefinition definition{tag.name, "K", "", tag.keyLength, tag.type, false, false};
        QVERIFY_OK((*index)->addTag(definition, CdxKeyBatch(tag.keyLength)));
        Model model;
        for (std::uint32_t r = 1; r <= 4000; ++r) {
            const std::string key = makeKey(tag, rng);
            QVERIFY_OK((*index)->insertKey(0, key, r));
            model.emplace(key, r);
        }
        if (bulk) {
            CdxKeyBatch gone(tag.keyLength);
            for (auto it = model.begin(); it != model.end();) {
                if (roll(rng, 10) != 0) {
                    gone.add(it->first, it->second);
                    it = model.erase(it);
                } else {
                    ++it;
                }
            }
            QVERIFY_OK((*index)->deleteKeys(0, gone));
        }
        while (model.size() > 400) {
            auto it = std::next(model.begin(), static_cast<std::ptrdiff_t>(roll(rng, model.size())));
            QVERIFY_OK((*index)->deleteKey(0, it->first, it->second));
            model.erase(it);
        }
        QVERIFY_OK((*index)->verify());
        compare(**index, 0, model, false);

        MemoryBlockDevice freshDevice;
        auto fresh = CdxIndex::create(freshDevice);
        QVERIFY(fresh.ok());
        QVERIFY_OK((*fresh)->addTag(definition, batchOf(model, tag.keyLength)));
        QVERIFY(pagesInUse(device) <= static_cast<std::size_t>(factor) * pagesInUse(freshDevice));
    }
};

QTEST_GUILESS_MAIN(TestCdxDifferential)
#include "TestCdxDifferential.moc"
