#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

class QLocalSocket;

namespace quorvo {

// One running copy of the program per user. The first copy holds a lock file and listens on a local socket of
// the same name; a later copy finds the lock taken, asks the first through the socket to come to the front,
// and is told to end. The lock, unlike the socket, cannot be taken by two copies that start at the same moment.
class SingleInstanceGuard : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstanceGuard(const QString& key, QObject* parent = nullptr);

    // The key of a program file for the current user: the file's name (extension and all) and the user.
    static QString keyForProgram(const QString& programFilePath);

    // True when this process is now the running copy. False when another copy runs; it has then been asked to
    // come to the front, and the caller should end before it touches any data.
    bool claim();

    QString key() const { return m_key; }

signals:
    // Another copy started and asked this one to come to the front.
    void activationRequested();

private:
    void acceptConnection();
    void askRunningCopy();
    void readRequest(QLocalSocket* socket);

    QString m_key;
    QLockFile m_lock;
    QLocalServer m_server;
};

} // namespace quorvo
