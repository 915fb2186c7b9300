#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
constexpr int HandOverWaitMs = 2000;

#ifdef Q_OS_UNIX
// Only this user may create or replace entries in it: a real folder (not a
// link), owned by this user, with no access for anyone else.
bool isPrivateFolder(const QString &folder)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}
#endif

// Where the lock and the socket live: the session's runtime folder, or
// without one a folder of this user's own in the temporary folder, made
// private here. Empty when that folder is not private: another user who
// made it first could hold the lock or listen for the folder handed over.
QString runtimeFolder()
{
#ifdef Q_OS_UNIX
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QDir::tempPath() + QStringLiteral("/scrivlane-") + QString::number(::geteuid());
        // A folder already there is checked like any other.
        ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
    }
    return isPrivateFolder(folder) ? folder : QString();
#else
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
}

QString inRuntimeFolder(const QString &name)
{
    const QString folder = runtimeFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}
}  // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent), m_lock(lockFilePath()), m_shared(!m_lock.fileName().isEmpty())
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
    // Without a private folder this copy runs on its own, reachable by none.
    if (!m_shared)
        return true;
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
    const QString path = socketPath();
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
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
    return inRuntimeFolder(QStringLiteral("scrivlane.lock"));
}

QString SingleInstance::socketPath()
{
    return inRuntimeFolder(QStringLiteral("scrivlane.socket"));
}
