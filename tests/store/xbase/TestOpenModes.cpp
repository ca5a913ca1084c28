// Open modes exclude each other across processes and within one process alike.
#include "store/xbase/Table.h"
#include "support/xbase/TaskFields.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace quorvo::xbase;

Q_DECLARE_METATYPE(OpenMode)

namespace {

// A child process that holds the table open in a mode until told to let go.
class Holder
{
public:
    Holder(const std::string& path, OpenMode mode)
    {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            auto table = Table::open(path, mode);
            const char ok = table.ok() ? '1' : '0';
            (void)::write(ready[1], &ok, 1);
            char c;
            (void)::read(release[0], &c, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        m_release = release[1];
        char ok = '0';
        m_opened = ::read(ready[0], &ok, 1) == 1 && ok == '1';
        ::close(ready[0]);
    }
    ~Holder()
    {
        if (m_pid > 0) {
            (void)::write(m_release, "x", 1);
            ::close(m_release);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    bool opened() const { return m_opened; }

private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_opened = false;
};

} // namespace

class TestOpenModes : public QObject
{
    Q_OBJECT

private slots:
    void combinations_data()
    {
        QTest::addColumn<OpenMode>("held");
        QTest::addColumn<OpenMode>("wanted");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("shared, then shared") << OpenMode::Shared << OpenMode::Shared << true;
        QTest::newRow("shared, then exclusive") << OpenMode::Shared << OpenMode::Exclusive << false;
        QTest::newRow("exclusive, then shared") << OpenMode::Exclusive << OpenMode::Shared << false;
        QTest::newRow("exclusive, then exclusive") << OpenMode::Exclusive << OpenMode::Exclusive << false;
        QTest::newRow("shared, then read-only") << OpenMode::Shared << OpenMode::ReadOnly << true;
        QTest::newRow("read-only, then shared") << OpenMode::ReadOnly << OpenMode::Shared << true;
        QTest::newRow("read-only, then exclusive") << OpenMode::ReadOnly << OpenMode::Exclusive << false;
        QTest::newRow("exclusive, then read-only") << OpenMode::Exclusive << OpenMode::ReadOnly << false;
    }

    void acrossProcesses_data() { combinations_data(); }
    void acrossProcesses()
    {
        QFETCH(OpenMode, held);
        QFETCH(OpenMode, wanted);
        QFETCH(bool, allowed);
        QTemporaryDir dir;
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        QVERIFY(Table::create(path, test::taskFields()).ok());
        {
            Holder holder(path, held);
            QVERIFY(holder.opened());
            auto table = Table::open(path, wanted);
            QCOMPARE(table.ok(), allowed);
            if (!allowed) {
                QCOMPARE(table.error().code, ErrorCode::InUse);
                QVERIFY(QString::fromStdString(table.error().message).contains("in use"));
            }
        }
        // Once the other process has gone, any mode opens.
        QVERIFY(Table::open(path, OpenMode::Exclusive).ok());
    }

    void withinOneProcess_data() { combinations_data(); }
    void withinOneProcess()
    {
        QFETCH(OpenMode, held);
        QFETCH(OpenMode, wanted);
        QFETCH(bool, allowed);
        QTemporaryDir dir;
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        QVERIFY(Table::create(path, test::taskFields()).ok());
        auto first = Table::open(path, held);
        QVERIFY(first.ok());
        auto second = Table::open(path, wanted);
        QCOMPARE(second.ok(), allowed);
        if (!allowed)
            QCOMPARE(second.error().code, ErrorCode::InUse);
    }

    void recordLockAcrossProcesses()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        QVERIFY(Table::create(path, test::taskFields()).ok());
        {
            auto t = Table::open(path, OpenMode::Shared);
            QVERIFY((*t)->appendBlank().ok());
            QVERIFY((*t)->post().ok());
        }
        int ready[2];
        int release[2];
        QVERIFY(::pipe(ready) == 0 && ::pipe(release) == 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            auto t = Table::open(path, OpenMode::Shared);
            const bool ok = t.ok() && (*t)->go(1).ok() && (*t)->replace(3, "child").ok();
            (void)::write(ready[1], ok ? "1" : "0", 1);
            char c;
            (void)::read(release[0], &c, 1);
            ::_exit(t.ok() && (*t)->post().ok() ? 0 : 1);
        }
        char c = '0';
        QVERIFY(::read(ready[0], &c, 1) == 1 && c == '1');
        auto t = Table::open(path, OpenMode::Shared);
        QVERIFY((*t)->go(1).ok());
        const Status refused = (*t)->replace(3, "parent");
        QCOMPARE(refused.error().code, ErrorCode::Locked);
        (void)::write(release[1], "x", 1);
        int status = 0;
        ::waitpid(pid, &status, 0);
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY((*t)->go(1).ok());
        QCOMPARE((*t)->getTrimString(3), std::string("child"));
    }

    // A batch that holds every record's lock at once shuts out another writer until its commit, and cannot
    // have it while another writer holds one record; with or without it, a held record stays untouched.
    void allRecordsLockedForABatch()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("QVTSK.DBF").toStdString();
        QVERIFY(Table::create(path, test::taskFields()).ok());
        auto t = Table::open(path, OpenMode::Shared);
        auto other = Table::open(path, OpenMode::Shared);
        for (int i = 0; i < 3; ++i)
            QVERIFY((*t)->appendBlank().ok() && (*t)->post().ok());

        QVERIFY((*t)->beginBatch().ok() && (*t)->lockAllRecords().ok());
        QVERIFY((*other)->go(2).ok());
        QCOMPARE((*other)->replace(3, "other").error().code, ErrorCode::Locked);
        QVERIFY((*t)->go(2).ok() && (*t)->setDeleted(true).ok() && (*t)->post().ok());
        QVERIFY((*t)->commitBatch().ok());
        QVERIFY((*other)->go(3).ok() && (*other)->replace(3, "other").ok());

        QVERIFY((*t)->beginBatch().ok());
        QCOMPARE((*t)->lockAllRecords().error().code, ErrorCode::Locked);
        QVERIFY((*t)->go(3).ok());
        QCOMPARE((*t)->setDeleted(true).error().code, ErrorCode::Locked);
        QVERIFY((*t)->go(1).ok() && (*t)->setDeleted(true).ok() && (*t)->post().ok());
        QVERIFY((*t)->commitBatch().ok());
        QVERIFY((*other)->post().ok());
    }
};

QTEST_GUILESS_MAIN(TestOpenModes)
#include "TestOpenModes.moc"
