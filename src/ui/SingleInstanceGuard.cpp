#include "ui/SingleInstanceGuard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace quorvo {

namespace {

const QByteArray kActivate("activate\n");

// A running copy that is still starting may not listen yet; a later copy keeps knocking for this long.
constexpr int kAskForMs = 3000;
constexpr int kConnectWaitMs = 250;

QString userName()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& key, QObject* parent)
    : QObject(parent), m_key(key), m_lock(QDir(QDir::tempPath()).filePath(key + QStringLiteral(".lock")))
{
    // A lock older than the stale time counts as abandoned even while its copy runs; only a dead owner may
    // free it.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstanceGuard::acceptConnection);
}

QString SingleInstanceGuard::keyForProgram(const QString& programFilePath)
{
    return QFileInfo(programFilePath).fileName() + QStringLiteral("-") + userName();
}

bool SingleInstanceGuard::claim()
{
    if (m_lock.tryLock(0)) {
        // Holding the lock, any socket of this name is left over from a copy that did not end cleanly.
        QLocalServer::removeServer(m_key);
        m_server.setSocketOptions(QLocalServer::UserAccessOption);
        m_server.listen(m_key);
        return true;
    }
    askRunningCopy();
    return false;
}

void SingleInstanceGuard::askRunningCopy()
{
    const QDeadlineTimer deadline(kAskForMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(kConnectWaitMs)) {
            socket.write(kActivate);
            socket.waitForBytesWritten(kConnectWaitMs);
            socket.disconnectFromServer();
            return;
        }
        QThread::msleep(50);
    }
}

void SingleInstanceGuard::acceptConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // The request may have arrived, and its sender gone, before the connection was taken.
        readRequest(socket);
    }
}

void SingleInstanceGuard::readRequest(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        if (socket->readLine() == kActivate)
            emit activationRequested();
    }
}

} // namespace quorvo
