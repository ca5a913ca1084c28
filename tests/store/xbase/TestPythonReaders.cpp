// Tables written here read back unchanged in two independent xBase readers (python3-dbfread and
// python3-dbf), Windows-1252 letters and memo line breaks included.
#include "store/xbase/Table.h"
#include "support/xbase/TaskFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo::xbase;

namespace {

struct Row
{
    QByteArray descript;
    QByteArray note;
    bool done;
    bool deleted;
};

const QList<Row> kRows = {
    {"plain task", "", false, false},
    {"caf\xE9 cr\xE8me br\xFBl\xE9\x65 \x80", "line one\r\nd\xE9j\xE0 vu\r\n", true, false},
    {"deleted one", "gone", false, true},
    {"long note", QByteArray(3000, 'x') + "\r\nend", false, false},
};

// Prints every live record as JSON: [descript, note, done], text decoded as Windows-1252.
const char* kDbfreadScript = R"(
import json, sys, dbfread
t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')
print(json.dumps([[r['DESCRIPT'], r['NOTE'] or '', bool(r['DONE'])] for r in t]))
)";

const char* kDbfScript = R"(
import json, sys, dbf
t = dbf.Table(sys.argv[1], codepage='cp1252')
t.open(dbf.READ_ONLY)
rows = [[r.descript.rstrip(), r.note or '', bool(r.done)] for r in t if not dbf.is_deleted(r)]
t.close()
print(json.dumps(rows))
)";

} // namespace

class TestPythonReaders : public QObject
{
    Q_OBJECT

private slots:
    void readersSeeWhatWasWritten_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("dbfread") << QString(kDbfreadScript);
        QTest::newRow("dbf") << QString(kDbfScript);
    }

    void readersSeeWhatWasWritten()
    {
        QFETCH(QString, script);
        QTemporaryDir dir;
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        QVERIFY(Table::create(path, test::taskFields()).ok());
        {
            auto t = Table::open(path, OpenMode::Exclusive);
            QVERIFY(t.ok());
            for (const Row& row : kRows) {
                QVERIFY((*t)->appendBlank().ok());
                QVERIFY((*t)->replace(3, row.descript.toStdString()).ok());
                QVERIFY((*t)->replace(4, row.note.toStdString()).ok());
                QVERIFY((*t)->replaceLogical(5, row.done).ok());
                QVERIFY((*t)->setDeleted(row.deleted).ok());
                QVERIFY((*t)->post().ok());
            }
            // A memo rewritten in place and one moved to new blocks must both read back.
            QVERIFY((*t)->go(2).ok());
            QVERIFY((*t)->replace(4, kRows[1].note.toStdString()).ok());
            QVERIFY((*t)->post().ok());
            QVERIFY((*t)->go(1).ok());
            QVERIFY((*t)->replace(4, "grown " + std::string(200, 'g')).ok());
            QVERIFY((*t)->post().ok());
        }

        QProcess python;
        // Debian's interpreter: the readers are Debian packages, whatever else PATH holds.
        python.start("/usr/bin/python3", {"-c", script, QString::fromStdString(path)});
        QVERIFY(python.waitForFinished(60000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();

        QList<Row> expected;
        for (const Row& row : kRows)
            if (!row.deleted)
                expected << row;
        expected[0].note = "grown " + QByteArray(200, 'g');
        QCOMPARE(rows.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QJsonArray r = rows[i].toArray();
            QCOMPARE(r[0].toString(), QString::fromLatin1(expected[i].descript).replace(QChar(0x80), QChar(0x20AC)));
            QCOMPARE(r[1].toString(), QString::fromLatin1(expected[i].note));
            QCOMPARE(r[2].toBool(), expected[i].done);
        }
    }
};

QTEST_GUILESS_MAIN(TestPythonReaders)
#include "TestPythonReaders.moc"
