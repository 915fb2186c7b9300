#include "SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
constexpr int HandOverWaitMs = 2000;

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return folder;
}
}  // namespace

SingleInstance::SingleInstance(QObject *parent) : QObject(parent), m_lock(lockFilePath())
{
    // Never treat a live lock as stale, however long the first copy has run.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::tryAcquire()
{
    if (m_lock.isLocked())
        return true;
    if (!m_lock.tryLock(0))
        return false;
    listen();
    return true;
}

void SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket left there is from a copy that ended badly.
    QLocalServer::removeServer(socketPath());
    if (!m_server->listen(socketPath()))
        return;  // Without it a second launch only says the program is running.
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                const QString folder = QString::fromUtf8(socket->readLine()).chopped(1);
                socket->disconnectFromServer();
                emit handedOver(folder);
            });
        }
    });
}

void SingleInstance::release()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    if (m_lock.isLocked())
        m_lock.unlock();
}

bool SingleInstance::handOver(const QString &folder)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(HandOverWaitMs))
        return false;
    QByteArray line = folder.toUtf8();
    line.replace('\n', ' ');
    socket.write(line + '\n');
    const bool written = socket.waitForBytesWritten(HandOverWaitMs);
    socket.disconnectFromServer();
    return written;
}

QString SingleInstance::lockFilePath()
{
    return QDir(runtimeFolder()).filePath(QStringLiteral("scrivlane.lock"));
}

QString SingleInstance::socketPath()
{
    return QDir(runtimeFolder()).filePath(QStringLiteral("scrivlane.socket"));
}
