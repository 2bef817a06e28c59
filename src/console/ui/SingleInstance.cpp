#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray RaiseRequest = QByteArrayLiteral("raise\n");

} // namespace

SingleInstance::SingleInstance(const QString &name, const QString &directory, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_directory(directory.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : directory)
{
    if (m_directory.isEmpty())
        m_directory = QDir::tempPath();
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString SingleInstance::lockFilePath() const
{
    return QDir(m_directory).filePath(m_name + QStringLiteral(".lock"));
}

QString SingleInstance::serverName() const
{
    // A full path keeps the socket in the user's own directory.
    return QDir(m_directory).filePath(m_name);
}

SingleInstance::Start SingleInstance::tryBecomePrimary()
{
    if (m_primary)
        return Start::Primary;
    m_lock = std::make_unique<QLockFile>(lockFilePath());
    // Only a lock whose process has gone is stale: the age of the file says
    // nothing, a console runs for days.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const bool taken = m_lock->error() == QLockFile::LockFailedError;
        m_error = taken ? QStringLiteral("another instance is running")
                        : QStringLiteral("cannot create the lock file ") + lockFilePath();
        m_lock.reset();
        return taken ? Start::Secondary : Start::Unguarded;
    }
    // The lock is ours, so a socket left behind by a crashed instance is stale.
    QLocalServer::removeServer(serverName());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(serverName()))
        m_error = m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    m_primary = true;
    return Start::Primary;
}

bool SingleInstance::askPrimaryToRaise(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(serverName());
        if (socket.waitForConnected(qMax<qint64>(1, qMin<qint64>(500, deadline.remainingTime())))) {
            socket.write(RaiseRequest);
            socket.flush();
            const bool written = socket.bytesToWrite() == 0
                                 || socket.waitForBytesWritten(qMax<qint64>(1, deadline.remainingTime()));
            socket.disconnectFromServer();
            return written;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    m_error = QStringLiteral("the running instance does not answer");
    return false;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == RaiseRequest)
                    Q_EMIT raiseRequested();
            }
        });
    }
}
