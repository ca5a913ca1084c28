// Tables with their structural index: orders, seeks, and the tags kept exactly right through appends,
// edits, deletions, recalls and packs, alone and with a second process writing.
#include "store/TaskIndexTags.h"
#include "store/xbase/Table.h"
#include "support/xbase/FileBytes.h"
#include "support/xbase/TaskFields.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace quorvo;
using namespace quorvo::xbase;

namespace {

enum Field
{
    kDate = 1,
    kTime,
    kDescript,
    kNote,
    kDone,
    kKeys,
    kPriority
};

struct Task
{
    std::string date, time, descript, keys, priority;
    bool done = false;
    bool deleted = false;
};

std::string padded(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

std::string upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return text;
}

// The five tags' keys worked out independently of the engine.
std::string modelKey(int order, const Task& t)
{
    switch (order) {
    case 1:
        return padded(t.date, 8) + padded(t.time, 5);
    case 2:
        return upper(padded(t.descript, 50));
    case 3:
        return t.done ? "T" : "F";
    case 4:
        return upper(padded(t.keys, 60));
    default:
        return upper(padded(t.priority, 1)) + padded(t.date, 8) + padded(t.time, 5);
    }
}

TableOptions fast()
{
    TableOptions options;
    options.sync = false;
    return options;
}

std::unique_ptr<Table> indexedTable(const QTemporaryDir& dir, OpenMode mode = OpenMode::Exclusive)
{
    const std::string path = dir.filePath("QVTSK.DBF").toStdString();
    if (!QFile::exists(QString::fromStdString(path))) {
        if (!Table::create(path, xbase::test::taskFields()).ok())
            return nullptr;
        auto t = Table::open(path, OpenMode::Exclusive, fast());
        for (const TaskIndexTag& tag : kTaskIndexTags)
            if (!(*t)->createTag(tag.name, tag.key, tag.condition).ok())
                return nullptr;
    }
    auto t = Table::open(path, mode, fast());
    return t ? std::move(*t) : nullptr;
}

Task makeTask(std::string date, std::string time, std::string descript, std::string priority = "", bool done = false,
              bool deleted = false)
{
    Task t;
    t.date = std::move(date);
    t.time = std::move(time);
    t.descript = std::move(descript);
    t.priority = std::move(priority);
    t.done = done;
    t.deleted = deleted;
    return t;
}

Status write(Table& t, const Task& task)
{
    QV_TRY(t.replace(kDate, task.date));
    QV_TRY(t.replace(kTime, task.time));
    QV_TRY(t.replace(kDescript, task.descript));
    QV_TRY(t.replace(kKeys, task.keys));
    QV_TRY(t.replace(kPriority, task.priority));
    QV_TRY(t.replaceLogical(kDone, task.done));
    QV_TRY(t.setDeleted(task.deleted));
    return t.post();
}

QList<std::uint32_t> walkOrder(Table& t, int order, bool backward = false)
{
    QList<std::uint32_t> seen;
    if (!t.setOrder(order).ok() || !(backward ? t.goBottom() : t.goTop()).ok())
        return {0};
    while (!(backward ? t.bof() : t.eof())) {
        seen << t.recNo();
        if (!t.skip(backward ? -1 : 1).ok() || seen.size() > 100000)
            return {0};
    }
    return seen;
}

QList<std::uint32_t> modelOrder(const std::vector<Task>& tasks, int order)
{
    std::vector<std::pair<std::string, std::uint32_t>> keys;
    for (std::size_t i = 0; i < tasks.size(); ++i)
        if (!tasks[i].deleted)
            keys.emplace_back(modelKey(order, tasks[i]), static_cast<std::uint32_t>(i + 1));
    std::sort(keys.begin(), keys.end());
    QList<std::uint32_t> out;
    for (const auto& k : keys)
        out << k.second;
    return out;
}

Task randomTask(QRandomGenerator& rng)
{
    static const char* words[] = {"work", "home", "Garden", "car", "", "urgent later"};
    static const char* things[] = {"call bob", "Buy milk", "fix the sink", "", "pay rent", "buy Milk"};
    static const char* priorities[] = {"A", "B", "C", "b", " ", "a"};
    Task t;
    // Few distinct values, so that equal keys are common.
    if (rng.bounded(6) != 0)
        t.date = "2024010" + std::to_string(rng.bounded(1, 4));
    if (rng.bounded(3) != 0)
        t.time = rng.bounded(2) ? "09:30" : "14:00";
    t.descript = things[rng.bounded(6)];
    t.keys = words[rng.bounded(6)];
    t.priority = priorities[rng.bounded(6)];
    t.done = rng.bounded(3) == 0;
    return t;
}

} // namespace

class TestTableIndex : public QObject
{
    Q_OBJECT

private slots:
    void randomChangesKeepEveryTagRight()
    {
        QTemporaryDir dir;
        auto t = indexedTable(dir);
        QVERIFY(t);
        QCOMPARE(t->tagCount(), 5);
        std::vector<Task> model;
        QRandomGenerator rng(20261208);
        for (int step = 0; step < 300; ++step) {
            const int action = model.empty() ? 0 : static_cast<int>(rng.bounded(10));
            QString what;
            if (action <= 3) {
                model.push_back(randomTask(rng));
                QVERIFY(t->appendBlank().ok());
                QVERIFY(write(*t, model.back()).ok());
                what = "append";
            } else if (action <= 6) {
                const std::uint32_t r = rng.bounded(static_cast<std::uint32_t>(model.size())) + 1;
                Task changed = randomTask(rng);
                changed.deleted = model[r - 1].deleted;
                model[r - 1] = changed;
                QVERIFY(t->go(r).ok());
                QVERIFY(write(*t, changed).ok());
                what = QString("change %1").arg(r);
            } else if (action <= 8) {
                const std::uint32_t r = rng.bounded(static_cast<std::uint32_t>(model.size())) + 1;
                model[r - 1].deleted = !model[r - 1].deleted;
                QVERIFY(t->go(r).ok());
                QVERIFY(t->setDeleted(model[r - 1].deleted).ok());
                QVERIFY(t->post().ok());
                what = QString(model[r - 1].deleted ? "delete %1" : "recall %1").arg(r);
            } else {
                std::erase_if(model, [](const Task& task) { return task.deleted; });
                QVERIFY(t->pack().ok());
                what = "pack";
            }
            for (int order = 1; order <= 5; ++order)
                QVERIFY2(walkOrder(*t, order) == modelOrder(model, order),
                         qPrintable(QString("step %1 (%2), tag %3").arg(step).arg(what).arg(order)));
            if (step % 25 == 0) {
                const Status check = t->verifyIndex();
                QVERIFY2(check.ok(), check.ok() ? "" : check.error().message.c_str());
            }
        }
        for (int order = 1; order <= 5; ++order) {
            QList<std::uint32_t> backward = walkOrder(*t, order, true);
            std::reverse(backward.begin(), backward.end());
            QCOMPARE(backward, modelOrder(model, order));
        }
        QVERIFY(t->verifyIndex().ok());
        QVERIFY(t->reindex().ok());
        QVERIFY(t->verifyIndex().ok());
        QCOMPARE(walkOrder(*t, 5), modelOrder(model, 5));
    }

    void seekAtTheEdges_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("landsOn"); // description, or "" for eof
        QTest::newRow("exact") << "20240105" << false << true << "fifth first";
        QTest::newRow("exact, full key") << "2024010509:30" << false << true << "fifth first";
        QTest::newRow("equal keys: lowest record first") << "20240105" << true << true << "fifth first";
        QTest::newRow("miss, hard") << "20240104" << false << false << "";
        QTest::newRow("miss between, soft") << "20240104" << true << false << "fifth first";
        QTest::newRow("before the first date, soft") << "2000" << true << false << "first";
        QTest::newRow("after the last, soft") << "2099" << true << false << "";
        QTest::newRow("after the last, hard") << "2099" << false << false << "";
        QTest::newRow("blank key finds the undated") << " " << false << true << "no date";
    }

    void seekAtTheEdges()
    {
        QFETCH(QString, key);
        QFETCH(bool, soft);
        QFETCH(bool, found);
        QFETCH(QString, landsOn);
        QTemporaryDir dir;
        auto t = indexedTable(dir);
        const Task tasks[] = {makeTask("20240110", "", "tenth", "A"),
                              makeTask("20240105", "09:30", "fifth second", "B"),
                              makeTask("", "", "no date", "C"),
                              makeTask("20240101", "", "first", "C"),
                              makeTask("20240105", "09:30", "fifth first", "B"),
                              makeTask("20240102", "", "deleted", "C", false, true)};
        for (const Task& task : tasks) {
            QVERIFY(t->appendBlank().ok());
            QVERIFY(write(*t, task).ok());
        }
        // Equal keys keep record order: "fifth second" is record 2, "fifth first" record 5; the seek
        // must land on record 2. Rename to make the expectation read naturally.
        QVERIFY(t->go(2).ok());
        QVERIFY(t->replace(kDescript, "fifth first").ok());
        QVERIFY(t->post().ok());
        QVERIFY(t->setOrder(t->tagOrder("datetime")).ok());
        auto hit = t->seek(key.toStdString(), soft);
        QVERIFY(hit.ok());
        QCOMPARE(*hit, found);
        if (landsOn.isEmpty()) {
            QVERIFY(t->eof());
            return;
        }
        QVERIFY(!t->eof());
        QCOMPARE(QString::fromStdString(t->getTrimString(kDescript)), landsOn);
        if (landsOn == "fifth first")
            QCOMPARE(t->recNo(), 2u);
    }

    void seekSkipsWhatTheQueryRejects()
    {
        QTemporaryDir dir;
        auto t = indexedTable(dir);
        for (const char* date : {"20240101", "20240102", "20240103"}) {
            QVERIFY(t->appendBlank().ok());
            QVERIFY(write(*t, makeTask(date, "", date, "A", std::string(date) == "20240102")).ok());
        }
        QVERIFY(t->setOrder(1).ok());
        QVERIFY(t->setQuery(".not. DONE").ok());
        auto hit = t->seek("20240102", true);
        QVERIFY(hit.ok());
        QVERIFY(!*hit);
        QCOMPARE(t->getTrimString(kDate), std::string("20240103"));
        QCOMPARE(*t->queryRecCount(), 2u);
        QVERIFY(!t->setOrder(0).ok() || !t->seek("2024").ok());
    }

    void skippingFromARecordOutsideTheTag()
    {
        QTemporaryDir dir;
        auto t = indexedTable(dir);
        for (const char* date : {"20240103", "20240101", "20240102"}) {
            QVERIFY(t->appendBlank().ok());
            QVERIFY(write(*t, makeTask(date, "", date)).ok());
        }
        QVERIFY(t->go(3).ok());
        QVERIFY(t->setDeleted(true).ok());
        QVERIFY(t->post().ok());
        QVERIFY(t->setOrder(1).ok());
        // Record 3 (20240102) is out of the tag; moving from it goes to its neighbours by key.
        QVERIFY(t->go(3).ok());
        QVERIFY(t->skip(1).ok());
        QCOMPARE(t->getTrimString(kDate), std::string("20240103"));
        QVERIFY(t->go(3).ok());
        QVERIFY(t->skip(-1).ok());
        QCOMPARE(t->getTrimString(kDate), std::string("20240101"));
        QCOMPARE(*t->queryRecCount(), 2u);
    }

    void flagFollowsTheIndexFile()
    {
        QTemporaryDir dir;
        const QString dbf = dir.filePath("QVTSK.DBF");
        auto flag = [&] {
            QFile f(dbf);
            f.open(QIODevice::ReadOnly);
            return f.read(29).at(28);
        };
        {
            auto t = indexedTable(dir);
            QCOMPARE(flag(), '\x01');
            QVERIFY(t->closeIndexes().ok());
            QCOMPARE(flag(), '\x00');
            QVERIFY(QFile::remove(dir.filePath("QVTSK.CDX")));
        }
        {
            auto t = indexedTable(dir);
            QVERIFY(!t->hasIndex());
            QVERIFY(t->createTag("DATETIME", "DATE+TIME", "not Deleted()").ok());
            QCOMPARE(flag(), '\x01');
        }
        // Deleted by hand while flagged: an exclusive open puts the flag right.
        QVERIFY(QFile::remove(dir.filePath("QVTSK.CDX")));
        QCOMPARE(flag(), '\x01');
        auto t = indexedTable(dir);
        QVERIFY(!t->hasIndex());
        QCOMPARE(flag(), '\x00');
    }

    void damagedIndexIsNamedAndCanBeSetAside()
    {
        QTemporaryDir dir;
        {
            auto t = indexedTable(dir);
            QVERIFY(t->appendBlank().ok());
            QVERIFY(write(*t, makeTask("20240101", "", "one")).ok());
        }
        QFile cdx(dir.filePath("QVTSK.CDX"));
        QVERIFY(cdx.open(QIODevice::ReadWrite));
        cdx.resize(700);
        cdx.close();
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        auto broken = Table::open(path, OpenMode::Exclusive);
        QVERIFY(!broken.ok());
        QCOMPARE(broken.error().code, ErrorCode::CorruptIndex);

        TableOptions withoutIndex;
        withoutIndex.openIndex = false;
        auto t = Table::open(path, OpenMode::Exclusive, withoutIndex);
        QVERIFY(t.ok());
        QVERIFY(!(*t)->hasIndex());
        QCOMPARE(*(*t)->recCount(), 1u);
        QVERIFY((*t)->closeIndexes().ok());
        QVERIFY(QFile::remove(dir.filePath("QVTSK.CDX")));
        for (const TaskIndexTag& tag : kTaskIndexTags)
            QVERIFY((*t)->createTag(tag.name, tag.key, tag.condition).ok());
        QVERIFY((*t)->verifyIndex().ok());
    }

    void writeMeetingADamagedNodeChangesNothing()
    {
        QTemporaryDir dir;
        {
            auto t = indexedTable(dir);
            for (const char* date : {"20240101", "20240102", "20240103"}) {
                QVERIFY(t->appendBlank().ok());
                QVERIFY(write(*t, makeTask(date, "", "task")).ok());
            }
        }
        // The last root leaf of the file is the PRIORITY tag's; a key count it cannot hold damages it.
        QFile cdx(dir.filePath("QVTSK.CDX"));
        QVERIFY(cdx.open(QIODevice::ReadWrite));
        QByteArray bytes = cdx.readAll();
        int leaf = -1;
        for (int at = 1024; at + 512 <= bytes.size(); at += 512)
            if (bytes[at] == 3 && bytes[at + 1] == 0)
                leaf = at;
        QVERIFY(leaf > 0);
        bytes[leaf + 2] = '\xFF';
        bytes[leaf + 3] = '\x7F';
        QVERIFY(cdx.seek(0) && cdx.write(bytes) == bytes.size());
        cdx.close();
        const QByteArray dbf = quorvo::test::readFileBytes(dir.filePath("QVTSK.DBF"));

        auto t = Table::open(dir.filePath("QVTSK.DBF").toStdString(), OpenMode::Exclusive);
        QVERIFY(t.ok());
        QVERIFY((*t)->go(2).ok());
        QVERIFY((*t)->replace(kDescript, "renamed").ok());
        QVERIFY((*t)->replace(kPriority, "A").ok());
        const Status posted = (*t)->post();
        QVERIFY(!posted.ok());
        QVERIFY2(QString::fromStdString(posted.error().message).contains("rebuild the indexes"),
                 posted.error().message.c_str());
        QVERIFY((*t)->close().ok());
        QCOMPARE(quorvo::test::readFileBytes(dir.filePath("QVTSK.DBF")), dbf);
        QCOMPARE(quorvo::test::readFileBytes(dir.filePath("QVTSK.CDX")), bytes);
    }

    void badTagsAreRefused_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<int>("code");
        QTest::newRow("syntax") << "DATE+"
                                << "" << int(ErrorCode::BadExpression);
        QTest::newRow("unknown field") << "NOPE"
                                       << "" << int(ErrorCode::BadExpression);
        QTest::newRow("text condition") << "DATE"
                                        << "DESCRIPT" << int(ErrorCode::BadExpression);
        QTest::newRow("key too long") << "KEYS+KEYS+KEYS+KEYS+KEYS"
                                      << "" << int(ErrorCode::BadArgument);
    }

    void badTagsAreRefused()
    {
        QFETCH(QString, key);
        QFETCH(QString, condition);
        QFETCH(int, code);
        QTemporaryDir dir;
        auto t = indexedTable(dir);
        const Status status = t->createTag("BAD", key.toStdString(), condition.toStdString());
        QVERIFY(!status.ok());
        QCOMPARE(int(status.error().code), code);
        QCOMPARE(t->tagCount(), 5);
        QVERIFY(t->verifyIndex().ok());
    }

    void tagBuildProgressRisesPerTag()
    {
        QTemporaryDir dir;
        auto t = indexedTable(dir);
        for (int i = 0; i < 3000; ++i) {
            QVERIFY(t->appendBlank().ok());
            QVERIFY(t->replace(kDescript, "task " + std::to_string(i)).ok());
            QVERIFY(t->post().ok());
        }
        QList<int> values;
        QVERIFY(t->createTag("EXTRA", "upper(DESCRIPT)", "not Deleted()", [&](int v) { values << v; }).ok());
        QVERIFY(values.size() >= 2);
        QVERIFY(std::is_sorted(values.begin(), values.end()));
        QVERIFY(values.first() <= 10);
        QCOMPARE(values.last(), 100);
        QCOMPARE(t->tagCount(), 6);
    }

    void twoProcessesWritingLoseNoKey()
    {
        QTemporaryDir dir;
        {
            auto t = indexedTable(dir);
            QVERIFY(t->appendBlank().ok());
            QVERIFY(write(*t, makeTask("20240101", "", "seed")).ok());
        }
        constexpr int kEach = 150;
        auto work = [&](const char* who) {
            auto t = indexedTable(dir, OpenMode::Shared);
            if (!t)
                return false;
            QRandomGenerator rng(static_cast<quint32>(std::hash<std::string>{}(who)));
            for (int i = 0; i < kEach; ++i) {
                Task task = randomTask(rng);
                task.descript = std::string(who) + " " + std::to_string(i);
                if (!t->appendBlank().ok() || !write(*t, task).ok())
                    return false;
                // Edit record 1 now and then; a refused lock is the other writer's turn.
                if (i % 10 == 0 && t->go(1).ok()) {
                    if (t->replace(kDate, i % 20 ? "20240301" : "20240201").ok() && !t->post().ok())
                        return false;
                    t->cancel();
                }
            }
            return true;
        };
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(work("child") ? 0 : 1);
        const bool parentOk = work("parent");
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(parentOk);
        QCOMPARE(WEXITSTATUS(status), 0);

        auto t = indexedTable(dir, OpenMode::Shared);
        QCOMPARE(*t->recCount(), std::uint32_t(1 + 2 * kEach));
        const Status check = t->verifyIndex();
        QVERIFY2(check.ok(), check.ok() ? "" : check.error().message.c_str());
        QCOMPARE(walkOrder(*t, 2).size(), 1 + 2 * kEach);
    }
};

QTEST_GUILESS_MAIN(TestTableIndex)
#include "TestTableIndex.moc"
