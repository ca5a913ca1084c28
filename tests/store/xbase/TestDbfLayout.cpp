// The bytes a new table is made of, checked against a hand-decoded fixture of the file formats.
#include "store/xbase/Table.h"
#include "support/xbase/FileBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo::xbase;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// KEYS C20, DONE L, NOTE M, DATE D, TIME C5, PRIO N(3,0): the worked example of the formats page.
std::vector<FieldInfo> exampleFields()
{
    return {{"KEYS", 'C', 0, 20, 0}, {"DONE", 'L', 0, 1, 0}, {"NOTE", 'M', 0, 10, 0},
            {"DATE", 'D', 0, 8, 0},  {"TIME", 'C', 0, 5, 0}, {"PRIO", 'N', 0, 3, 0}};
}

TableOptions fixedDate()
{
    TableOptions options;
    options.today = [] { return Date3{2024, 1, 5}; };
    return options;
}

} // namespace

class TestDbfLayout : public QObject
{
    Q_OBJECT

private slots:
    void headerAndRecordMatchTheFixture()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("EXAMPLE.DBF").toStdString();
        QVERIFY(Table::create(path, exampleFields(), fixedDate()).ok());

        // A new table is its header and the end-of-file marker; the memo file is a bare header.
        const QByteArray fresh = quorvo::test::readFileBytes(QString::fromStdString(path));
        QCOMPARE(fresh.size(), 0xE1 + 1);
        QCOMPARE(fresh.at(0xE1), '\x1A');
        const QByteArray fpt = quorvo::test::readFileBytes(dir.filePath("EXAMPLE.FPT"));
        QCOMPARE(fpt.size(), 512);
        QCOMPARE(fpt.left(8), hex("00 00 00 08 00 00 00 40"));
        QCOMPARE(fpt.count('\0'), 512 - 2);

        auto table = Table::open(path, OpenMode::Exclusive, fixedDate());
        QVERIFY(table.ok());
        Table& t = **table;
        for (int i = 0; i < 5; ++i) {
            QVERIFY(t.appendBlank().ok());
            QVERIFY(t.replace(1, i == 0 ? "buy milk" : "other").ok());
            QVERIFY(t.replaceLogical(2, false).ok());
            if (i == 0)
                QVERIFY(t.replace(3, "short").ok());
            QVERIFY(t.replace(4, "20240105").ok());
            QVERIFY(t.replace(5, "09:30").ok());
            QVERIFY(t.replace(6, "2").ok());
            QVERIFY(t.post().ok());
        }
        QVERIFY(t.close().ok());

        const QByteArray dbf = quorvo::test::readFileBytes(QString::fromStdString(path));
        const QByteArray expectedPrefix =
            hex("F5 18 01 05 05 00 00 00 E1 00 30 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 03 00 00");
        QCOMPARE(dbf.left(32), expectedPrefix);
        struct Descriptor
        {
            const char* name;
            char type;
            int displacement;
            int width;
        };
        const Descriptor descriptors[] = {{"KEYS", 'C', 1, 20}, {"DONE", 'L', 21, 1}, {"NOTE", 'M', 22, 10},
                                          {"DATE", 'D', 32, 8}, {"TIME", 'C', 40, 5}, {"PRIO", 'N', 45, 3}};
        for (int i = 0; i < 6; ++i) {
            QByteArray expected(32, '\0');
            const Descriptor& d = descriptors[i];
            expected.replace(0, int(qstrlen(d.name)), d.name);
            expected[11] = d.type;
            expected[12] = char(d.displacement);
            expected[16] = char(d.width);
            QCOMPARE(dbf.mid(32 + 32 * i, 32), expected);
        }
        QCOMPARE(dbf.at(0xE0), '\x0D');
        QCOMPARE(dbf.mid(0xE1, 48), QByteArray(" buy milk            F         820240105"
                                               "09:30  2"));
        QCOMPARE(dbf.size(), 0xE1 + 5 * 48 + 1);
        QCOMPARE(dbf.back(), '\x1A');

        const QByteArray memo = quorvo::test::readFileBytes(dir.filePath("EXAMPLE.FPT"));
        QCOMPARE(memo.left(8), hex("00 00 00 09 00 00 00 40"));
        QCOMPARE(memo.mid(0x200, 13), hex("00 00 00 01 00 00 00 05") + "short");
    }

    void tableWithoutMemoHasNoMemoFile()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("PLAIN.DBF").toStdString();
        const std::vector<FieldInfo> fields{{"NAME", 'C', 0, 10, 0}};
        QVERIFY(Table::create(path, fields, fixedDate()).ok());
        const QByteArray dbf = quorvo::test::readFileBytes(QString::fromStdString(path));
        QCOMPARE(dbf.at(0), '\x03');
        QCOMPARE(dbf.at(29), '\x03');
        QVERIFY(!QFile::exists(dir.filePath("PLAIN.FPT")));
    }

    void badDefinitionsAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<char>("type");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("message");
        QTest::newRow("name too long") << "ELEVENCHARS" << 'C' << 10 << "1 to 10 characters";
        QTest::newRow("empty name") << "" << 'C' << 10 << "1 to 10 characters";
        QTest::newRow("zero width") << "NAME" << 'C' << 0 << "1 to 254";
        QTest::newRow("oversized width") << "NAME" << 'C' << 255 << "1 to 254";
        QTest::newRow("unknown type") << "NAME" << 'X' << 10 << "unknown field type 'X'";
        QTest::newRow("wide logical") << "FLAG" << 'L' << 2 << "logical field is 1 byte";
        QTest::newRow("short memo") << "NOTE" << 'M' << 4 << "memo field is 10 bytes";
        QTest::newRow("wide number") << "AMOUNT" << 'N' << 21 << "1 to 20";
        QTest::newRow("name with blank") << "MY NAME" << 'C' << 10 << "letters, digits and '_'";
    }

    void badDefinitionsAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(char, type);
        QFETCH(int, width);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const std::string path = dir.filePath("BAD.DBF").toStdString();
        const std::vector<FieldInfo> fields{{"FIRST", 'C', 0, 5, 0},
                                            {name.toStdString(), type, 0, static_cast<std::uint16_t>(width), 0}};
        const Status status = Table::create(path, fields);
        QVERIFY(!status.ok());
        QCOMPARE(status.error().code, ErrorCode::BadArgument);
        QVERIFY2(QString::fromStdString(status.error().message).contains(message), status.error().message.c_str());
        QVERIFY(!QFile::exists(QString::fromStdString(path)));
    }

    void duplicateNamesInAnyCaseAreRefused()
    {
        QTemporaryDir dir;
        const std::vector<FieldInfo> fields{{"NAME", 'C', 0, 5, 0}, {"name", 'C', 0, 5, 0}};
        const Status status = Table::create(dir.filePath("DUP.DBF").toStdString(), fields);
        QVERIFY(!status.ok());
        QVERIFY(QString::fromStdString(status.error().message).contains("used twice"));
    }

    void existingTableIsNotOverwritten()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("KEEP.DBF").toStdString();
        const std::vector<FieldInfo> fields{{"NAME", 'C', 0, 5, 0}};
        QVERIFY(Table::create(path, fields).ok());
        const QByteArray before = quorvo::test::readFileBytes(QString::fromStdString(path));
        QVERIFY(!Table::create(path, fields).ok());
        QCOMPARE(quorvo::test::readFileBytes(QString::fromStdString(path)), before);
    }
};

QTEST_GUILESS_MAIN(TestDbfLayout)
#include "TestDbfLayout.moc"
