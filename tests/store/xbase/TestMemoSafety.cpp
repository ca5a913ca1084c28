// A memo file whose free space is not really free (a damaged next-free block, a file cut short, a
// pointer past the end) refuses every write before a byte changes, so no note lands on another; repair
// keeps every note that can still be read.
#include "store/xbase/Table.h"
#include "store/xbase/TableVerifier.h"
#include "support/xbase/FileBytes.h"
#include "support/xbase/TaskFields.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo::xbase;

namespace {

constexpr int kRecords = 20;
constexpr int kNoteField = 4;
constexpr int kPointerAt = 1 + 8 + 5 + 50; // the NOTE field's offset in a record

// Records 5 and 11 have no note; the others one of a length of their own.
std::string noteOf(int recno)
{
    if (recno == 5 || recno == 11)
        return {};
    return std::string(static_cast<std::size_t>(30 + recno * 13), static_cast<char>('a' + recno));
}

struct Layout
{
    int headerLength;
    int recordLength;
};

Layout layoutOf(const QByteArray& dbf)
{
    return {quint8(dbf[8]) | quint8(dbf[9]) << 8, quint8(dbf[10]) | quint8(dbf[11]) << 8};
}

int pointerOf(const QByteArray& dbf, int recno)
{
    const Layout l = layoutOf(dbf);
    return dbf.mid(l.headerLength + (recno - 1) * l.recordLength + kPointerAt, 10).trimmed().toInt();
}

void setPointer(QByteArray& dbf, int recno, int block)
{
    const Layout l = layoutOf(dbf);
    dbf.replace(l.headerLength + (recno - 1) * l.recordLength + kPointerAt, 10,
                QByteArray::number(block).rightJustified(10, ' '));
}

using Damage = std::function<void(QByteArray& dbf, QByteArray& fpt)>;
using Records = QList<int>;

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestMemoSafety : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_dbf;
    QString m_fpt;

    void makeTable()
    {
        m_dbf = m_dir.filePath("QVTSK.DBF");
        m_fpt = m_dir.filePath("QVTSK.FPT");
        QFile::remove(m_dbf);
        QFile::remove(m_fpt);
        QVERIFY(Table::create(m_dbf.toStdString(), test::taskFields()).ok());
        auto t = Table::open(m_dbf.toStdString(), OpenMode::Exclusive);
        QVERIFY(t.ok());
        for (int r = 1; r <= kRecords; ++r) {
            QVERIFY((*t)->appendBlank().ok());
            QVERIFY((*t)->replace(3, "task " + std::to_string(r)).ok());
            QVERIFY((*t)->replace(kNoteField, noteOf(r)).ok());
            QVERIFY((*t)->post().ok());
        }
        QVERIFY((*t)->close().ok());
    }

private slots:
    void damagedFreeSpace_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("named");
        QTest::addColumn<Records>("lost");
        QTest::newRow("next free block one short") << Damage([](QByteArray&, QByteArray& f) {
            const quint32 next = (quint8(f[0]) << 24 | quint8(f[1]) << 16 | quint8(f[2]) << 8 | quint8(f[3])) - 1;
            for (int i = 0; i < 4; ++i)
                f[i] = static_cast<char>(next >> (24 - 8 * i));
        }) << "lies before the end of the file" << Records{};
        QTest::newRow("cut inside the last note") << Damage([](QByteArray&, QByteArray& f) { f.chop(100); })
                                                  << "record 20 points at memo block" << Records{20};
        QTest::newRow("cut where a note starts")
            << Damage([](QByteArray& d, QByteArray& f) { f.truncate(pointerOf(d, 19) * 64); })
            << "record 20 points at memo block" << Records{19, 20};
        QTest::newRow("cut to the header")
            << Damage([](QByteArray&, QByteArray& f) { f.truncate(512); }) << "record 20 points at memo block"
            << Records{1, 2, 3, 4, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20};
        QTest::newRow("pointer past the end")
            << Damage([](QByteArray& d, QByteArray& f) { setPointer(d, 3, static_cast<int>(f.size() / 64) + 10); })
            << "record 3 points at memo block" << Records{3};
    }

    void damagedFreeSpace()
    {
        QFETCH(Damage, damage);
        QFETCH(QString, named);
        QFETCH(Records, lost);
        makeTable();
        QByteArray dbf = quorvo::test::readFileBytes(m_dbf);
        QByteArray fpt = quorvo::test::readFileBytes(m_fpt);
        damage(dbf, fpt);
        QVERIFY(quorvo::test::writeFileBytes(m_dbf, dbf));
        QVERIFY(quorvo::test::writeFileBytes(m_fpt, fpt));

        for (OpenMode mode : {OpenMode::Exclusive, OpenMode::Shared}) {
            auto t = Table::open(m_dbf.toStdString(), mode);
            QVERIFY(t.ok());
            // Reading goes on.
            QVERIFY((*t)->go(18).ok());
            if (!lost.contains(18))
                QCOMPARE(*(*t)->getMemo(kNoteField), noteOf(18));
            // A note that needs new blocks, and a write that touches no note: both refused.
            QVERIFY((*t)->go(2).ok());
            QVERIFY((*t)->replace(kNoteField, std::string(1000, 'N')).ok());
            const Status grown = (*t)->post();
            QVERIFY(!grown.ok());
            const QString message = QString::fromStdString(grown.error().message);
            QVERIFY2(message.contains(named) && message.contains("quorvo-store repair"), qPrintable(message));
            QVERIFY((*t)->appendBlank().ok());
            QVERIFY(!(*t)->post().ok());
            QVERIFY((*t)->close().ok());
            QCOMPARE(quorvo::test::readFileBytes(m_dbf), dbf);
            QCOMPARE(quorvo::test::readFileBytes(m_fpt), fpt);
        }

        TableOptions withoutIndex;
        withoutIndex.openIndex = false;
        auto t = Table::open(m_dbf.toStdString(), OpenMode::Exclusive, withoutIndex);
        QVERIFY(t.ok());
        const std::string backup = m_fpt.toStdString() + ".bak";
        auto unreadable = (*t)->repairMemoFile(backup);
        QVERIFY2(unreadable.ok(), unreadable.ok() ? "" : unreadable.error().message.c_str());
        QCOMPARE(Records(unreadable->begin(), unreadable->end()), lost);
        for (int r = 1; r <= kRecords; ++r) {
            QVERIFY((*t)->go(static_cast<std::uint32_t>(r)).ok());
            QCOMPARE(*(*t)->getMemo(kNoteField), lost.contains(r) ? std::string() : noteOf(r));
        }
        // The mended table takes new notes, and they land on no other.
        QVERIFY((*t)->go(2).ok());
        QVERIFY((*t)->replace(kNoteField, std::string(1000, 'N')).ok());
        QVERIFY((*t)->post().ok());
        QVERIFY((*t)->appendBlank().ok());
        QVERIFY((*t)->replace(kNoteField, "appended").ok());
        QVERIFY((*t)->post().ok());
        for (int r = 3; r <= kRecords; ++r) {
            QVERIFY((*t)->go(static_cast<std::uint32_t>(r)).ok());
            QCOMPARE(*(*t)->getMemo(kNoteField), lost.contains(r) ? std::string() : noteOf(r));
        }
        QVERIFY((*t)->close().ok());
        QCOMPARE(quorvo::test::readFileBytes(QString::fromStdString(backup)), fpt);
        const Status sound = TableVerifier(diskFileSystem()).verify(m_dbf.toStdString());
        QVERIFY2(sound.ok(), sound.ok() ? "" : sound.error().message.c_str());
    }

    void repairChangesOnlyMemoPointers()
    {
        makeTable();
        QByteArray dbf = quorvo::test::readFileBytes(m_dbf);
        setPointer(dbf, 7, 100000);
        QVERIFY(quorvo::test::writeFileBytes(m_dbf, dbf));
        {
            auto t = Table::open(m_dbf.toStdString(), OpenMode::Exclusive);
            QVERIFY(t.ok());
            QVERIFY((*t)->repairMemoFile(m_fpt.toStdString() + ".bak").ok());
            QVERIFY((*t)->close().ok());
        }
        const QByteArray after = quorvo::test::readFileBytes(m_dbf);
        QCOMPARE(after.size(), dbf.size());
        const Layout l = layoutOf(dbf);
        QCOMPARE(after.left(l.headerLength), dbf.left(l.headerLength));
        for (int r = 1; r <= kRecords; ++r) {
            const int at = l.headerLength + (r - 1) * l.recordLength;
            QCOMPARE(after.mid(at, kPointerAt), dbf.mid(at, kPointerAt));
            QCOMPARE(after.mid(at + kPointerAt + 10, l.recordLength - kPointerAt - 10),
                     dbf.mid(at + kPointerAt + 10, l.recordLength - kPointerAt - 10));
        }
        QCOMPARE(pointerOf(after, 7), 0);
    }
};

QTEST_GUILESS_MAIN(TestMemoSafety)
#include "TestMemoSafety.moc"
