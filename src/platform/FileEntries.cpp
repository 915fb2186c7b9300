#include "FileEntries.h"

#include "Failure.h"
#include "FileSystem.h"
#include "FolderHandle.h"
#include "Paths.h"
#include "PosixInternals.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
QDateTime fileTimeZero()
{
    return QDateTime(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC);
}
}  // namespace

using PlatformFailure::fail;

FileSystem::FileDetails FileSystem::fileDetails(const QString &path)
{
    FileDetails details;
    details.accessedUtc = fileTimeZero();
    const QByteArray native = nativePath(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0)
        return details;
    details.found = true;
    details.size = qint64(info.st_size);
    const auto msecs = [](const timespec &time) {
        return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
    };
    details.accessedUtc = QDateTime::fromMSecsSinceEpoch(msecs(info.st_atim), Qt::UTC);
    details.modified = QDateTime::fromMSecsSinceEpoch(msecs(info.st_mtim));
    // The owner's write bit is what "clear attributes" gives back, so it counts
    // even for a user (root) whom the system would let write anyway.
    details.readOnly = (info.st_mode & S_IWUSR) == 0 || ::access(native.constData(), W_OK) != 0;
    return details;
}

void FileSystem::renameWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = nativePath(from);
    const QByteArray target = nativePath(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return;
    // Some file systems do not offer the atomic form; fall back to test-then-rename.
    if (errno != EINVAL && errno != ENOSYS)
        fail(QStringLiteral("Cannot rename"), from, errno);
#endif
    struct stat info {};
    if (::lstat(target.constData(), &info) == 0)
        fail(QStringLiteral("Cannot rename"), from, EEXIST);
    if (::rename(source.constData(), target.constData()) != 0)
        fail(QStringLiteral("Cannot rename"), from, errno);
}

void FileSystem::renameFolder(const QString &path, const QString &newName)
{
    const auto refuseProtected = [&](const QString &folder) {
        if (Paths::isProtectedFolder(folder))
            throw Failure(QStringLiteral("\"%1\" is a protected folder.").arg(path));
    };
    // The folder checked is the one the path leads to now; every later step
    // must find that very folder, whatever is swapped in meanwhile.
    const QString checked = fileIdentity(path);
    refuseProtected(path);
    if (checked.isEmpty() || !isFolder(path))
        throw Failure(QStringLiteral("\"%1\" is not a folder.").arg(path));
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QFileInfo info(clean);
    char resolved[PATH_MAX];
    if (!::realpath(nativePath(info.path()).constData(), resolved))
        fail(QStringLiteral("Cannot rename"), path, errno);
    const Folder parent = FolderHandle::open(fromNativePath(QByteArray(resolved)), false);
    Folder opened;
    try {
        opened = parent->openChild(info.fileName());
    } catch (const PassedOver &) {
        throw Failure(QStringLiteral("\"%1\" is a link or another mount, not a folder of its "
                                     "own; nothing was renamed.")
                          .arg(path));
    }
    if (opened->identity() != checked)
        throw Failure(QStringLiteral("\"%1\" was moved or replaced since it was chosen; nothing "
                                     "was renamed.")
                          .arg(path));
    refuseProtected(opened->realPath());
    parent->renameEntry(info.fileName(), newName, checked);
}

void FileSystem::createFolder(const QString &path)
{
    if (::mkdir(nativePath(path).constData(), 0777) != 0)
        fail(QStringLiteral("Cannot create the folder"), path, errno);
}
