// The verifier behind `quorvo-store check` finds each broken invariant and names it.
#include "store/xbase/DiskFileSystem.h"
#include "store/xbase/Table.h"
#include "store/xbase/TableVerifier.h"
#include "support/xbase/FileBytes.h"
#include "support/xbase/TaskFields.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo::xbase;

namespace {

using Damage = std::function<void(const QTemporaryDir&, QByteArray& dbf, QByteArray& fpt)>;

constexpr int kHeader = 257, kRecord = 136, kNoteAt = 64, kDoneAt = 74;

int recordAt(int recno)
{
    return kHeader + (recno - 1) * kRecord;
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestTableVerifier : public QObject
{
    Q_OBJECT

private slots:
    void findsTheBrokenInvariant_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("intact") << Damage([](auto&, QByteArray&, QByteArray&) {}) << "";
        QTest::newRow("no end marker is fine") << Damage([](auto&, QByteArray& d, QByteArray&) { d.chop(1); }) << "";
        QTest::newRow("stray bytes") << Damage([](auto&, QByteArray& d, QByteArray&) { d += "junk"; })
                                     << "bytes follow the last record";
        QTest::newRow("short record area")
            << Damage([](auto&, QByteArray& d, QByteArray&) { d.chop(50); }) << "ends inside record 3";
        QTest::newRow("deleted flag") << Damage([](auto&, QByteArray& d, QByteArray&) { d[recordAt(2)] = 'X'; })
                                      << "record 2 has deleted flag";
        QTest::newRow("logical") << Damage([](auto&, QByteArray& d, QByteArray&) { d[recordAt(3) + kDoneAt] = 'Q'; })
                                 << "record 3, field DONE is not a logical value";
        QTest::newRow("memo pointer text")
            << Damage([](auto&, QByteArray& d, QByteArray&) { d.replace(recordAt(1) + kNoteAt, 10, "     8x   "); })
            << "record 1, field NOTE is not a memo pointer";
        QTest::newRow("memo past the end")
            << Damage([](auto&, QByteArray& d, QByteArray&) { d.replace(recordAt(1) + kNoteAt, 10, "      9999"); })
            << "past the end";
        QTest::newRow("memo used twice") << Damage([](auto&, QByteArray& d, QByteArray&) {
            d.replace(recordAt(3) + kNoteAt, 10, d.mid(recordAt(1) + kNoteAt, 10));
        }) << "overlaps the memo of record 1";
        QTest::newRow("memo beyond next free")
            << Damage([](auto&, QByteArray&, QByteArray& f) { f[3] = 9; }) << "beyond the next free block";
        QTest::newRow("version without memo")
            << Damage([](auto&, QByteArray& d, QByteArray&) { d[0] = 0x03; }) << "version byte says none";
        QTest::newRow("index flag without index") << Damage([](auto&, QByteArray& d, QByteArray&) { d[28] = 1; })
                                                  << "flags a structural index that does not exist";
        QTest::newRow("index without flag") << Damage([](const QTemporaryDir& dir, QByteArray&, QByteArray&) {
            quorvo::test::writeFileBytes(dir.filePath("QVTSK.CDX"), QByteArray(1024, '\0'));
        }) << "header does not flag it";
    }

    void findsTheBrokenInvariant()
    {
        QFETCH(Damage, damage);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        QVERIFY(Table::create(path, test::taskFields()).ok());
        {
            auto t = Table::open(path, OpenMode::Exclusive);
            for (int i = 0; i < 3; ++i) {
                QVERIFY((*t)->appendBlank().ok());
                QVERIFY((*t)->replace(3, "task").ok());
                QVERIFY((*t)->replace(4, std::string(static_cast<std::size_t>(60 + 100 * i), 'n')).ok());
                QVERIFY((*t)->post().ok());
            }
        }
        QByteArray dbf = quorvo::test::readFileBytes(dir.filePath("QVTSK.DBF"));
        QByteArray fpt = quorvo::test::readFileBytes(dir.filePath("QVTSK.FPT"));
        QCOMPARE(dbf.size(), kHeader + 3 * kRecord + 1);
        damage(dir, dbf, fpt);
        quorvo::test::writeFileBytes(dir.filePath("QVTSK.DBF"), dbf);
        quorvo::test::writeFileBytes(dir.filePath("QVTSK.FPT"), fpt);

        const Status status = TableVerifier(diskFileSystem()).verify(path);
        if (message.isEmpty()) {
            QVERIFY2(status.ok(), status.ok() ? "" : status.error().message.c_str());
            return;
        }
        QVERIFY(!status.ok());
        QCOMPARE(status.error().code, ErrorCode::Corrupt);
        QVERIFY2(QString::fromStdString(status.error().message).contains(message), status.error().message.c_str());
    }
};

QTEST_GUILESS_MAIN(TestTableVerifier)
#include "TestTableVerifier.moc"
