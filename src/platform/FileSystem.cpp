#include "FileSystem.h"

#include "Failure.h"
#include "PosixInternals.h"
#include "RegularFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

using PlatformFailure::fail;
using PlatformPath::isUsable;
using PlatformPath::systemPath;

OpenDescriptor::~OpenDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void PlatformFailure::fail(const QString &what, const QString &path, int error)
{
    throw Failure(QStringLiteral("%1 \"%2\": %3")
                      .arg(what, path, QString::fromLocal8Bit(std::strerror(error))));
}

QList<FileSystem::Entry> FileSystem::listFolder(const QString &folder)
{
    const OpenDescriptor folderFd(
        ::open(systemPath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() < 0)
        fail(QStringLiteral("Cannot list the folder"), folder, errno);
    return PlatformList::entries(folderFd.get(), folder);
}

QList<FileSystem::Entry> PlatformList::entries(int folderFd, const QString &folder)
{
    using namespace FileSystem;
    // A descriptor of its own, so the listing starts at the first entry each time.
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!dir) {
        const int error = errno;
        if (listFd >= 0)
            ::close(listFd);
        fail(QStringLiteral("Cannot list the folder"), folder, error);
    }
    const int listedFd = ::dirfd(dir);
    QList<Entry> entries;
    for (;;) {
        errno = 0;
        const dirent *d = ::readdir(dir);
        if (!d) {
            const int error = errno;
            ::closedir(dir);
            if (error != 0)
                fail(QStringLiteral("Cannot list the folder"), folder, error);
            break;
        }
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
            continue;
        Entry entry;
        entry.name = fromNativePath(QByteArrayView(d->d_name));
        entry.isHidden = d->d_name[0] == '.';
        struct stat st {};
        // A name that vanished or cannot be examined is still listed, as something never opened.
        entry.kind = EntryKind::Special;
        // The folder's own record of the type spares a stat for most entries.
        if (d->d_type == DT_REG)
            entry.kind = EntryKind::File;
        else if (d->d_type == DT_DIR)
            entry.kind = EntryKind::Folder;
        else if (::fstatat(listedFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISLNK(st.st_mode)) {
                entry.isLink = true;
                struct stat targetSt {};
                if (::fstatat(listedFd, d->d_name, &targetSt, 0) == 0) {
                    if (S_ISDIR(targetSt.st_mode))
                        entry.kind = EntryKind::FolderLink;
                    else if (S_ISREG(targetSt.st_mode))
                        entry.kind = EntryKind::File;
                }
            } else if (S_ISDIR(st.st_mode)) {
                entry.kind = EntryKind::Folder;
            } else if (S_ISREG(st.st_mode)) {
                entry.kind = EntryKind::File;
            }
        }
        entries.append(entry);
    }
    return entries;
}

namespace {

// Opens a regular file for reading; refuses FIFOs and devices before opening
// them, since opening alone can block or act.
int openRegular(const QString &path, struct stat &st, bool listedRegular = false)
{
    const QByteArray native = systemPath(path);
    // A file a listing has just shown to be regular is opened straight away:
    // O_NONBLOCK and the check after opening still refuse anything swapped in.
    if (!listedRegular) {
        if (::stat(native.constData(), &st) != 0)
            fail(QStringLiteral("Cannot read the file"), path, errno);
        if (S_ISDIR(st.st_mode))
            fail(QStringLiteral("Cannot read the file"), path, EISDIR);
        if (!S_ISREG(st.st_mode))
            throw Failure(
                QStringLiteral("Cannot read the file \"%1\": it is not a regular file").arg(path));
    }

    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        fail(QStringLiteral("Cannot read the file"), path, errno);
    if (!RegularFile::isRegular(fd, st)) {
        ::close(fd);
        throw Failure(
            QStringLiteral("Cannot read the file \"%1\": it is not a regular file").arg(path));
    }
    return fd;
}

}  // namespace

qsizetype FileSystem::openFilesAllowed(qsizetype wanted)
{
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < rlim_t(wanted)) {
        struct rlimit raised = limit;
        raised.rlim_cur =
            limit.rlim_max == RLIM_INFINITY ? rlim_t(wanted) : qMin(limit.rlim_max, rlim_t(wanted));
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? wanted : qsizetype(limit.rlim_cur);
}

QByteArray FileSystem::readFile(const QString &path)
{
    return *readFileUpTo(path, -1);
}

std::optional<QByteArray> FileSystem::readFileUpTo(const QString &path, qint64 limit,
                                                   bool listedRegular)
{
    struct stat st {};
    const OpenDescriptor fd(openRegular(path, st, listedRegular));
    if (limit >= 0 && st.st_size > limit)
        return std::nullopt;
    return RegularFile::readToEnd(fd.get(), st.st_size, path);
}

void FileSystem::readFileInPieces(const QString &path, qsizetype pieceSize,
                                  const std::function<bool(QByteArrayView)> &piece)
{
    struct stat st {};
    const OpenDescriptor fd(openRegular(path, st));
    RegularFile::readInPieces(fd.get(), pieceSize, piece, path);
}

void FileSystem::clearAttributes(const QString &path)
{
    const QByteArray native = systemPath(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        fail(QStringLiteral("Cannot clear the attributes of"), path, errno);
    // Writing the mode unchanged would still touch the file's inode on disk.
    if (st.st_mode & S_IWUSR)
        return;
    if (::chmod(native.constData(), (st.st_mode & 07777) | S_IWUSR) != 0)
        fail(QStringLiteral("Cannot clear the attributes of"), path, errno);
}

void FileSystem::copyFile(const QString &source, const QString &target)
{
    const QByteArray bytes = readFile(source);
    struct stat sourceSt {};
    mode_t mode = 0666;
    if (::stat(nativePath(source).constData(), &sourceSt) == 0)
        mode = sourceSt.st_mode & 0777;
    PlatformSave::copyInto(bytes, mode, target);
}

bool FileSystem::makeFolder(const QString &path)
{
    return isUsable(path) && ::mkdir(nativePath(path).constData(), 0777) == 0;
}

QString FileSystem::fileIdentity(const QString &path)
{
    struct stat st {};
    if (!isUsable(path) || ::stat(nativePath(path).constData(), &st) != 0)
        return QString();
    return QString::number(quint64(st.st_dev)) + QLatin1Char(':') +
           QString::number(quint64(st.st_ino));
}

bool FileSystem::isFolder(const QString &path)
{
    struct stat st {};
    return isUsable(path) && ::stat(nativePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileSystem::exists(const QString &path)
{
    struct stat st {};
    return isUsable(path) && ::lstat(nativePath(path).constData(), &st) == 0;
}

qint64 FileSystem::fileSize(const QString &path)
{
    struct stat st {};
    if (::stat(systemPath(path).constData(), &st) != 0)
        fail(QStringLiteral("Cannot read the size of"), path, errno);
    return qint64(st.st_size);
}
