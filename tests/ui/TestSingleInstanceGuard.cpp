#include "ui/SingleInstanceGuard.h"
#include "ui/WindowActivation.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <cstdio>

using namespace quorvo;

namespace {

// Run as "<test> --second-copy KEY", this program is the later copy of a program guarded by KEY.
const char kSecondCopy[] = "--second-copy";
constexpr int kEndedAsSecondCopy = 3;
constexpr int kBecameTheRunningCopy = 4;

int runSecondCopy(const QString& key)
{
    SingleInstanceGuard guard(key);
    return guard.claim() ? kBecameTheRunningCopy : kEndedAsSecondCopy;
}

QString uniqueKey()
{
    return QStringLiteral("quorvo-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate());
}

} // namespace

class TestSingleInstanceGuard : public QObject
{
    Q_OBJECT

private:
    // Starts this test program as a later copy and waits for it to end; its exit code.
    static int secondCopy(const QString& key, qint64* elapsedMs = nullptr)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kSecondCopy), key});
        if (!process.waitForStarted(5000))
            return -1;
        // The running copy answers from its event loop, so the loop must turn while the later copy knocks.
        const QDeadlineTimer deadline(10000);
        while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            process.waitForFinished(10);
        }
        if (elapsedMs)
            *elapsedMs = timer.elapsed();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void keyNamesTheProgramFileAndTheUser()
    {
        const QString key = SingleInstanceGuard::keyForProgram(QStringLiteral("/opt/quorvo/quorvo"));
        QVERIFY(key.startsWith(QLatin1String("quorvo-")));
        QVERIFY(key.size() > int(qstrlen("quorvo-")));
        QCOMPARE(SingleInstanceGuard::keyForProgram(QStringLiteral("/elsewhere/quorvo")), key);
        QVERIFY(SingleInstanceGuard::keyForProgram(QStringLiteral("/opt/quorvo/quorvo.bin")) != key);
    }

    void laterCopyEndsAndBringsTheRunningOneForward()
    {
        const QString key = uniqueKey();
        SingleInstanceGuard running(key);
        QVERIFY(running.claim());
        QWidget window;
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        connect(&running, &SingleInstanceGuard::activationRequested, &window,
                [&window] { WindowActivation::bringToFront(&window); });
        QSignalSpy asked(&running, &SingleInstanceGuard::activationRequested);

        qint64 elapsed = 0;
        QCOMPARE(secondCopy(key, &elapsed), kEndedAsSecondCopy);
        QTRY_COMPARE(asked.size(), 1);
        QTRY_VERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
        // It ends at once, without waiting out its patience for a copy that is still starting.
        QVERIFY2(elapsed < 2500, qPrintable(QString::number(elapsed)));
    }

    void eachLaterCopyAsksAgain()
    {
        const QString key = uniqueKey();
        SingleInstanceGuard running(key);
        QVERIFY(running.claim());
        QSignalSpy asked(&running, &SingleInstanceGuard::activationRequested);
        QCOMPARE(secondCopy(key), kEndedAsSecondCopy);
        QCOMPARE(secondCopy(key), kEndedAsSecondCopy);
        QTRY_COMPARE(asked.size(), 2);
    }

    void aCopyRunsAgainOnceTheFirstHasEnded()
    {
        const QString key = uniqueKey();
        {
            SingleInstanceGuard first(key);
            QVERIFY(first.claim());
            SingleInstanceGuard second(key);
            QVERIFY(!second.claim());
        }
        QCOMPARE(secondCopy(key), kBecameTheRunningCopy);
        SingleInstanceGuard again(key);
        QVERIFY(again.claim());
    }

    void crashedCopyDoesNotBlockTheNext()
    {
        // A copy that was killed leaves its lock file and socket behind; the next one takes over.
        const QString key = uniqueKey();
        QProcess crashed;
        crashed.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-and-wait"), key});
        QVERIFY(crashed.waitForStarted());
        QVERIFY(crashed.waitForReadyRead(10000));
        QCOMPARE(crashed.readAll().trimmed(), QByteArray("holding"));
        crashed.kill();
        QVERIFY(crashed.waitForFinished());

        SingleInstanceGuard next(key);
        QVERIFY(next.claim());
        QSignalSpy asked(&next, &SingleInstanceGuard::activationRequested);
        QCOMPARE(secondCopy(key), kEndedAsSecondCopy);
        QTRY_COMPARE(asked.size(), 1);
    }

    void theProgramEndsWhenACopyRuns()
    {
        // The real program, started while this test holds its key, ends without showing a window.
        const QString program = QStringLiteral(QUORVO_BINARY_DIR "/src/quorvo");
        if (!QFileInfo::exists(program))
            QSKIP("the program is not built");
        SingleInstanceGuard running(SingleInstanceGuard::keyForProgram(program));
        if (!running.claim())
            QSKIP("a copy of the program is running for this user");
        QSignalSpy asked(&running, &SingleInstanceGuard::activationRequested);

        QTemporaryDir workDir;
        QProcess process;
        process.setWorkingDirectory(workDir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        const QStringList before = QDir(QFileInfo(program).path()).entryList(QDir::Files);
        process.start(program, {});
        QVERIFY(process.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, 10000);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QTRY_COMPARE(asked.size(), 1);
        // Nothing was created beside the program nor where it was started.
        QCOMPARE(QDir(QFileInfo(program).path()).entryList(QDir::Files), before);
        QVERIFY(QDir(workDir.path()).isEmpty());
    }
};

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], kSecondCopy) == 0) {
        QCoreApplication app(argc, argv);
        return runSecondCopy(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 3 && qstrcmp(argv[1], "--hold-and-wait") == 0) {
        QCoreApplication app(argc, argv);
        SingleInstanceGuard guard(QString::fromLocal8Bit(argv[2]));
        if (!guard.claim())
            return 1;
        std::puts("holding");
        std::fflush(stdout);
        return QCoreApplication::exec();
    }
    QApplication app(argc, argv);
    TestSingleInstanceGuard test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestSingleInstanceGuard.moc"
