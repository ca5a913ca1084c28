// Damaged files give an error naming the damage, never a crash, and are left as they were.
#include "store/xbase/Table.h"
#include "support/xbase/FileBytes.h"
#include "support/xbase/TaskFields.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo::xbase;

namespace {

using Damage = std::function<void(QByteArray& dbf, QByteArray& fpt)>;

void makeTaskTable(const QTemporaryDir& dir)
{
    const std::string path = dir.filePath("QVTSK.DBF").toStdString();
    (void)Table::create(path, test::taskFields());
    auto t = Table::open(path, OpenMode::Exclusive);
    for (int i = 0; i < 3; ++i) {
        (void)(*t)->appendBlank();
        (void)(*t)->replace(3, "task");
        (void)(*t)->replace(4, std::string(100, 'n'));
        (void)(*t)->post();
    }
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestTableDamage : public QObject
{
    Q_OBJECT

private slots:
    void damageIsNamed_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<bool>("failsOnOpen");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty file") << Damage([](QByteArray& d, QByteArray&) { d.clear(); }) << true
                                    << "header is truncated";
        QTest::newRow("truncated header")
            << Damage([](QByteArray& d, QByteArray&) { d.truncate(100); }) << true << "header is truncated";
        QTest::newRow("truncated record area")
            << Damage([](QByteArray& d, QByteArray&) { d.chop(140); }) << true << "record area is truncated";
        QTest::newRow("no terminator") << Damage([](QByteArray& d, QByteArray&) { d[32 + 7 * 32] = 'X'; }) << true
                                       << "no terminator";
        QTest::newRow("record length") << Damage([](QByteArray& d, QByteArray&) { d[10] = 99; }) << true
                                       << "record length";
        QTest::newRow("header length") << Damage([](QByteArray& d, QByteArray&) { d[8] = 5, d[9] = 0; }) << true
                                       << "header length is too small";
        QTest::newRow("zero width") << Damage([](QByteArray& d, QByteArray&) { d[32 + 16] = 0; }) << true << "width 0";
        QTest::newRow("bad block size") << Damage([](QByteArray&, QByteArray& f) { f[6] = 0, f[7] = 0; }) << true
                                        << "block size is 0";
        QTest::newRow("memo file truncated")
            << Damage([](QByteArray&, QByteArray& f) { f.truncate(4); }) << true << "memo file header is truncated";
        QTest::newRow("memo pointer past the end") << Damage([](QByteArray& d, QByteArray&) {
            const int at = 257 + 1 + 8 + 5 + 50;
            d.replace(at, 10, "    999999");
        }) << false << "past the end";
        QTest::newRow("memo pointer into the header")
            << Damage([](QByteArray& d, QByteArray&) { d.replace(257 + 1 + 8 + 5 + 50, 10, "         3"); }) << false
            << "inside the header";
        QTest::newRow("memo length past the end")
            << Damage([](QByteArray&, QByteArray& f) { f[512 + 4] = '\x7F'; }) << false << "past the end";
    }

    void damageIsNamed()
    {
        QFETCH(Damage, damage);
        QFETCH(bool, failsOnOpen);
        QFETCH(QString, message);
        QTemporaryDir dir;
        makeTaskTable(dir);
        const QString dbfPath = dir.filePath("QVTSK.DBF");
        const QString fptPath = dir.filePath("QVTSK.FPT");
        QByteArray dbf = quorvo::test::readFileBytes(dbfPath);
        QByteArray fpt = quorvo::test::readFileBytes(fptPath);
        QCOMPARE(dbf.mid(8, 2), QByteArray("\x01\x01")); // the offsets above assume a 257-byte header
        damage(dbf, fpt);
        quorvo::test::writeFileBytes(dbfPath, dbf);
        quorvo::test::writeFileBytes(fptPath, fpt);

        auto table = Table::open(dbfPath.toStdString(), OpenMode::Shared);
        Error error{ErrorCode::Io, {}};
        if (failsOnOpen) {
            QVERIFY(!table.ok());
            error = table.error();
        } else {
            QVERIFY(table.ok());
            auto memo = (*table)->getMemo(4);
            QVERIFY(!memo.ok());
            error = memo.error();
        }
        QCOMPARE(error.code, ErrorCode::Corrupt);
        QVERIFY2(QString::fromStdString(error.message).contains(message), error.message.c_str());
        table = makeError(ErrorCode::Io, "closed");
        QCOMPARE(quorvo::test::readFileBytes(dbfPath), dbf);
        QCOMPARE(quorvo::test::readFileBytes(fptPath), fpt);
    }

    void missingMemoFileIsAnError()
    {
        QTemporaryDir dir;
        makeTaskTable(dir);
        QFile::remove(dir.filePath("QVTSK.FPT"));
        auto table = Table::open(dir.filePath("QVTSK.DBF").toStdString(), OpenMode::Shared);
        QVERIFY(!table.ok());
        QVERIFY(QString::fromStdString(table.error().message).contains("memo file is missing"));
    }

    void crashedAppendWithoutHeaderUpdateKeepsTheRecord()
    {
        // A writer died after writing its record but before the header: the file size is trusted.
        QTemporaryDir dir;
        makeTaskTable(dir);
        const QString dbfPath = dir.filePath("QVTSK.DBF");
        QByteArray dbf = quorvo::test::readFileBytes(dbfPath);
        dbf[4] = 2;
        quorvo::test::writeFileBytes(dbfPath, dbf);
        auto table = Table::open(dbfPath.toStdString(), OpenMode::Shared);
        QVERIFY(table.ok());
        QCOMPARE(*(*table)->recCount(), 3u);
    }
};

QTEST_GUILESS_MAIN(TestTableDamage)
#include "TestTableDamage.moc"
