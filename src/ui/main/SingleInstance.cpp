#include "SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

SingleInstance::SingleInstance() : m_lock(lockFilePath())
{
    // Never treat a live lock as stale, however long the first copy has run.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::tryAcquire()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}

void SingleInstance::release()
{
    m_lock.unlock();
}

QString SingleInstance::lockFilePath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return QDir(folder).filePath(QStringLiteral("scrivlane.lock"));
}
