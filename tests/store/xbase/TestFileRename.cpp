// Rename replaces its target in one step on every file system the engine runs on, and a replaced file
// read through a handle opened before the rename still sees its own bytes.
#include "store/xbase/DiskFileSystem.h"
#include "support/xbase/VolatileFileSystem.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace quorvo::xbase;

namespace {

Status writeFile(FileSystem& fs, const std::string& path, const std::string& bytes)
{
    auto file = fs.open(path, OpenMode::Plain, true);
    if (!file.ok())
        return file.error();
    if (auto st = (*file)->writeAt(0, bytes); !st.ok())
        return st;
    return (*file)->sync();
}

std::string readFile(FileSystem& fs, const std::string& path)
{
    auto file = fs.open(path, OpenMode::Plain, false);
    if (!file.ok())
        return "<missing>";
    std::string out(64, '\0');
    auto n = (*file)->readAt(0, out);
    out.resize(n.ok() ? *n : 0);
    return out;
}

} // namespace

class TestFileRename : public QObject
{
    Q_OBJECT

private slots:
    void replacesTarget_data()
    {
        QTest::addColumn<bool>("disk");
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("disk, new name") << true << false;
        QTest::newRow("disk, replaces") << true << true;
        QTest::newRow("memory, new name") << false << false;
        QTest::newRow("memory, replaces") << false << true;
    }

    void replacesTarget()
    {
        QFETCH(bool, disk);
        QFETCH(bool, targetExists);
        QTemporaryDir dir;
        test::VolatileFileSystem memory;
        FileSystem& fs = disk ? diskFileSystem() : static_cast<FileSystem&>(memory);
        const std::string from = dir.path().toStdString() + "/QVTSK.CDX.new";
        const std::string to = dir.path().toStdString() + "/QVTSK.CDX";
        QVERIFY(writeFile(fs, from, "fresh").ok());
        if (targetExists)
            QVERIFY(writeFile(fs, to, "stale index").ok());

        QVERIFY(fs.rename(from, to).ok());

        QVERIFY(!fs.exists(from));
        QCOMPARE(readFile(fs, to), std::string("fresh"));
    }

    void missingSourceIsAnErrorAndLeavesTarget_data()
    {
        QTest::addColumn<bool>("disk");
        QTest::newRow("disk") << true;
        QTest::newRow("memory") << false;
    }

    void missingSourceIsAnErrorAndLeavesTarget()
    {
        QFETCH(bool, disk);
        QTemporaryDir dir;
        test::VolatileFileSystem memory;
        FileSystem& fs = disk ? diskFileSystem() : static_cast<FileSystem&>(memory);
        const std::string to = dir.path().toStdString() + "/QVTSK.FPT";
        QVERIFY(writeFile(fs, to, "notes").ok());

        const Status st = fs.rename(dir.path().toStdString() + "/absent", to);

        QVERIFY(!st.ok());
        QCOMPARE(st.error().code, ErrorCode::Io);
        QCOMPARE(readFile(fs, to), std::string("notes"));
    }

    // Several renames go in order and stop at the first that fails, leaving the later ones undone; a
    // file written in more than one 64 KB piece reads back whole.
    void renameAllStopsAtTheFirstFailure_data()
    {
        QTest::addColumn<bool>("disk");
        QTest::addColumn<bool>("durable");
        QTest::newRow("disk, durable") << true << true;
        QTest::newRow("disk, not durable") << true << false;
        QTest::newRow("memory") << false << true;
    }

    void renameAllStopsAtTheFirstFailure()
    {
        QFETCH(bool, disk);
        QFETCH(bool, durable);
        QTemporaryDir dir;
        test::VolatileFileSystem memory;
        FileSystem& fs = disk ? diskFileSystem() : static_cast<FileSystem&>(memory);
        const std::string base = dir.path().toStdString() + "/QVTSK";
        std::string big(200000, '\0');
        for (std::size_t i = 0; i < big.size(); ++i)
            big[i] = static_cast<char>('a' + i % 23);
        QVERIFY(writeFile(fs, base + ".DBF.new", big).ok());
        QVERIFY(writeFile(fs, base + ".DBF", "old table").ok());
        QVERIFY(writeFile(fs, base + ".CDX.new", "new index").ok());

        QVERIFY(fs.renameAll({{base + ".DBF", base + ".DBF.old"}, {base + ".DBF.new", base + ".DBF"}}, durable).ok());
        const Status st =
            fs.renameAll({{base + ".absent", base + ".FPT"}, {base + ".CDX.new", base + ".CDX"}}, durable);

        QVERIFY(!st.ok());
        QCOMPARE(readFile(fs, base + ".DBF.old"), std::string("old table"));
        QVERIFY(fs.exists(base + ".CDX.new"));
        QVERIFY(!fs.exists(base + ".CDX"));
        auto file = fs.open(base + ".DBF", OpenMode::Plain, false);
        QVERIFY(file.ok());
        std::string back(big.size(), '\0');
        QVERIFY((*file)->readExact(0, back).ok());
        QVERIFY(back == big);
    }
};

QTEST_GUILESS_MAIN(TestFileRename)
#include "TestFileRename.moc"
