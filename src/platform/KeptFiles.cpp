#include "KeptFiles.h"

#include "PosixInternals.h"
#include "RegularFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QHash>
#include <QMutex>
#include <QSet>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

using PlatformFailure::fail;

namespace {

std::atomic<bool> copiesForced{false};
QMutex storesMutex;

// Device and inode of every store this process opened, as FolderHandle::identity gives them.
QHash<QString, QSet<QString>> &knownStores()
{
    static QHash<QString, QSet<QString>> stores;
    return stores;
}

KeptFiles::Store privateFolder(int parentFd, const QByteArray &name, const QString &path,
                               bool create)
{
    if (create)
        ::mkdirat(parentFd, name.constData(), 0700);
    const int fd =
        ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    auto held = std::make_shared<const OpenDescriptor>(fd);
    struct stat st {};
    // Another user's folder, or one others may enter, is never trusted with originals.
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & 077) != 0)
        return {};
    {
        const QMutexLocker lock(&storesMutex);
        knownStores()[FileSystem::fromNativePath(name)].insert(QString::number(quint64(st.st_dev)) +
                                                               QLatin1Char(':') +
                                                               QString::number(quint64(st.st_ino)));
    }
    return {held, path, quint64(st.st_dev)};
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void writeAllTo(int fd, const char *data, qsizetype size, const QString &path)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(QStringLiteral("Cannot keep the original of"), path, n < 0 ? errno : ENOSPC);
        data += n;
        size -= n;
    }
}

// Copies from to to: a clone where the file system shares blocks, else the kernel's copy.
KeptFiles::KeptAs copyContent(int from, int to, qint64 size, const QString &path)
{
    if (!copiesForced && ::ioctl(to, FICLONE, from) == 0)
        return KeptFiles::KeptAs::Clone;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, size_t(size - done), 0);
        if (n <= 0)
            break;
        done += n;
    }
    if (done < size) {
        // Some file systems refuse the kernel's copy: read and write.
        if (::lseek(from, done, SEEK_SET) < 0)
            fail(QStringLiteral("Cannot keep the original of"), path, errno);
        char buffer[1 << 16];
        for (;;) {
            const ssize_t n = ::read(from, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail(QStringLiteral("Cannot keep the original of"), path, errno);
            if (n == 0)
                break;
            writeAllTo(to, buffer, n, path);
        }
    }
    return KeptFiles::KeptAs::Copy;
}

KeptFiles::Kept copyInto(int folderFd, const QByteArray &name, const struct stat &original,
                         const KeptFiles::Store &store, const QByteArray &keptName,
                         const QString &path)
{
    const int from =
        ::openat(folderFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (from < 0)
        fail(QStringLiteral("Cannot keep the original of"), path, errno);
    const OpenDescriptor fromHeld(from);
    struct stat st {};
    if (!RegularFile::isRegular(from, st) ||
        RegularFile::stampOf(st) != RegularFile::stampOf(original))
        PlatformFailure::changedMeanwhile(path);
    const int to = ::openat(store.fd->get(), keptName.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (to < 0)
        fail(QStringLiteral("Cannot keep the original of"), path, errno);
    const OpenDescriptor toHeld(to);
    KeptFiles::Kept kept;
    try {
        kept.how = copyContent(from, to, st.st_size, path);
        // The copy carries the original's time, so a file put back from it is
        // the file the run found; it must be on disk before the original goes.
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::futimens(to, times) != 0 || ::fdatasync(to) != 0)
            fail(QStringLiteral("Cannot keep the original of"), path, errno);
        struct stat keptSt {};
        if (::fstat(to, &keptSt) != 0)
            fail(QStringLiteral("Cannot keep the original of"), path, errno);
        kept.stamp = RegularFile::stampOf(keptSt);
    } catch (...) {
        ::unlinkat(store.fd->get(), keptName.constData(), 0);
        throw;
    }
    kept.originalModifiedNs = RegularFile::stampOf(st).modifiedNs;
    return kept;
}

}  // namespace

namespace KeptFiles {

Store openPrivate(const QString &parent, const QString &name, bool create)
{
    const int fd =
        ::open(FileSystem::nativePath(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const OpenDescriptor held(fd);
    return privateFolder(fd, FileSystem::nativePath(name), joined(parent, name), create);
}

Store openPrivate(const Store &parent, const QString &name, bool create)
{
    if (!parent.isValid())
        return {};
    return privateFolder(parent.fd->get(), FileSystem::nativePath(name), joined(parent.path, name),
                         create);
}

QString mountTop(const QString &folder)
{
    QByteArray path = FileSystem::nativePath(folder);
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return {};
    const dev_t device = st.st_dev;
    while (path.size() > 1) {
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray parent = slash <= 0 ? QByteArray("/") : path.left(slash);
        if (::stat(parent.constData(), &st) != 0 || st.st_dev != device)
            break;
        path = parent;
    }
    return FileSystem::fromNativePath(path);
}

QString perMountName(const QString &name)
{
    return name + QLatin1Char('-') + QString::number(::geteuid());
}

quint64 deviceOf(const FileSystem::PendingSaves::Item &item)
{
    struct stat st {};
    if (::fstat(item.folder->get(), &st) != 0)
        return 0;
    return quint64(st.st_dev);
}

QString realFolderOf(const FileSystem::PendingSaves::Item &item)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(item.folder->get());
    char buffer[PATH_MAX + 1];
    const ssize_t n = ::readlink(self.constData(), buffer, PATH_MAX);
    if (n <= 0)
        return {};
    return FileSystem::fromNativePath(QByteArrayView(buffer, n));
}

FileSystem::FileStamp writtenStamp(const FileSystem::PendingSaves::Item &item)
{
    struct stat st {};
    if (item.fd < 0 || ::fstat(item.fd, &st) != 0)
        return {};
    return RegularFile::stampOf(st);
}

Kept keep(const FileSystem::PendingSaves::Item &item, const Store &store,
          const QByteArray &keptName)
{
    const int folderFd = item.folder->get();
    struct stat st {};
    if (::fstatat(folderFd, item.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode) ||
        (item.expected.isValid() && RegularFile::stampOf(st) != item.expected))
        PlatformFailure::changedMeanwhile(item.path);
    if (!copiesForced && quint64(st.st_dev) == store.device &&
        ::linkat(folderFd, item.name.constData(), store.fd->get(), keptName.constData(), 0) == 0) {
        // The name may have changed between the look and the link: the kept
        // file must be the very one the save replaces.
        struct stat keptSt {};
        if (::fstatat(store.fd->get(), keptName.constData(), &keptSt, AT_SYMLINK_NOFOLLOW) != 0 ||
            RegularFile::stampOf(keptSt) != RegularFile::stampOf(st)) {
            ::unlinkat(store.fd->get(), keptName.constData(), 0);
            PlatformFailure::changedMeanwhile(item.path);
        }
        Kept kept;
        kept.stamp = RegularFile::stampOf(keptSt);
        kept.originalModifiedNs = kept.stamp.modifiedNs;
        return kept;
    }
    // Another file system, a file of another owner where links are protected,
    // too many links: the bytes are cloned or copied instead.
    return copyInto(folderFd, item.name, st, store, keptName, item.path);
}

FileSystem::FileStamp stampIn(const Store &store, const QByteArray &keptName)
{
    struct stat st {};
    if (!store.isValid() ||
        ::fstatat(store.fd->get(), keptName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode))
        return {};
    return RegularFile::stampOf(st);
}

void putBack(const Store &store, const QByteArray &keptName, const FileSystem::FileStamp &keptStamp,
             const FileSystem::FileAt &file, const FileSystem::FileStamp &expected)
{
    const int folderFd = file.folderDescriptor();
    const QByteArray name = FileSystem::nativePath(file.name);
    if (stampIn(store, keptName) != keptStamp)
        throw Failure(QStringLiteral("The original of \"%1\" kept by the run was changed or "
                                     "removed since; the file was left as it is.")
                          .arg(file.path));
    struct stat folderSt {};
    if (::fstat(folderFd, &folderSt) != 0)
        fail(QStringLiteral("Cannot restore"), file.path, errno);
    if (quint64(folderSt.st_dev) == store.device && !copiesForced) {
        // The kept inode goes back under a fresh name, then over the file.
        QByteArray temp;
        for (int i = 0;; ++i) {
            temp = ".scrivlane-restore-" + QByteArray::number(::getpid()) + '-' +
                   QByteArray::number(i);
            if (::linkat(store.fd->get(), keptName.constData(), folderFd, temp.constData(), 0) == 0)
                break;
            if (errno != EEXIST)
                fail(QStringLiteral("Cannot restore"), file.path, errno);
        }
        struct stat st {};
        const bool unchanged =
            ::fstatat(folderFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            RegularFile::stampOf(st) == expected;
        if (!unchanged || ::renameat(folderFd, temp.constData(), folderFd, name.constData()) != 0) {
            const int error = errno;
            ::unlinkat(folderFd, temp.constData(), 0);
            if (!unchanged)
                PlatformFailure::changedMeanwhile(file.path);
            fail(QStringLiteral("Cannot restore"), file.path, error);
        }
        return;
    }
    const int from =
        ::openat(store.fd->get(), keptName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (from < 0)
        fail(QStringLiteral("Cannot restore"), file.path, errno);
    const OpenDescriptor fromHeld(from);
    struct stat st {};
    if (!RegularFile::isRegular(from, st))
        fail(QStringLiteral("Cannot restore"), file.path, EINVAL);
    const QByteArray bytes = RegularFile::readToEnd(from, st.st_size, file.path);
    FileSystem::PendingSaves pending;
    FileSystem::writeFileAtomic(file, expected, FileSystem::onePiece(bytes), &pending);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(pending.m_items.constLast().fd, times) != 0)
        fail(QStringLiteral("Cannot restore"), file.path, errno);
    const QStringList failures = pending.commit();
    if (!failures.value(0).isEmpty())
        throw Failure(failures.value(0));
}

void removeFolder(const Store &store, const QString &name)
{
    if (!store.isValid())
        return;
    const QByteArray native = FileSystem::nativePath(name);
    const int fd = ::openat(store.fd->get(), native.constData(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        DIR *dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            return;
        }
        while (const dirent *d = ::readdir(dir)) {
            if (std::strcmp(d->d_name, ".") != 0 && std::strcmp(d->d_name, "..") != 0)
                ::unlinkat(fd, d->d_name, 0);
        }
        ::closedir(dir);
    }
    ::unlinkat(store.fd->get(), native.constData(), AT_REMOVEDIR);
}

QList<QByteArray> namesIn(const Store &store)
{
    QList<QByteArray> names;
    if (!store.isValid())
        return names;
    const int fd = ::openat(store.fd->get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return names;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return names;
    }
    while (const dirent *d = ::readdir(dir)) {
        if (std::strcmp(d->d_name, ".") != 0 && std::strcmp(d->d_name, "..") != 0)
            names.append(QByteArray(d->d_name));
    }
    ::closedir(dir);
    return names;
}

std::shared_ptr<const OpenDescriptor> createFile(const Store &store, const QString &name)
{
    const QString path = joined(store.path, name);
    if (!store.isValid())
        fail(QStringLiteral("Cannot create"), path, ENOENT);
    const int fd = ::openat(store.fd->get(), FileSystem::nativePath(name).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        fail(QStringLiteral("Cannot create"), path, errno);
    return std::make_shared<const OpenDescriptor>(fd);
}

void append(const OpenDescriptor &file, const QByteArray &bytes, const QString &path)
{
    writeAllTo(file.get(), bytes.constData(), bytes.size(), path);
    if (::fdatasync(file.get()) != 0)
        fail(QStringLiteral("Cannot write"), path, errno);
}

std::optional<QByteArray> readPrivate(const Store &store, const QString &name, QString &why)
{
    const QString path = joined(store.path, name);
    if (!store.isValid()) {
        why = QStringLiteral("\"%1\" cannot be opened.").arg(path);
        return std::nullopt;
    }
    const int fd = ::openat(store.fd->get(), FileSystem::nativePath(name).constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ELOOP ? QStringLiteral("\"%1\" is a link; it was not followed.").arg(path)
                             : QStringLiteral("\"%1\" cannot be opened.").arg(path);
        return std::nullopt;
    }
    const OpenDescriptor held(fd);
    struct stat st {};
    if (!RegularFile::isRegular(fd, st) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        why = QStringLiteral("\"%1\" is not a private file of yours; it was left alone.").arg(path);
        return std::nullopt;
    }
    return RegularFile::readToEnd(fd, st.st_size, path);
}

void removeFile(const Store &store, const QString &name)
{
    if (store.isValid())
        ::unlinkat(store.fd->get(), FileSystem::nativePath(name).constData(), 0);
}

FileSystem::FileStamp regularStamp(const FileSystem::FileAt &file)
{
    struct stat st {};
    if (!file.isValid() ||
        ::fstatat(file.folderDescriptor(), FileSystem::nativePath(file.name).constData(), &st,
                  AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode))
        return {};
    return RegularFile::stampOf(st);
}

bool isStore(const QString &name, FileSystem::FolderHandle &folder)
{
    if (name == perMountName(QStringLiteral(".scrivlane")))
        return true;
    // By name and identity both: a folder made after a store was removed may
    // have been given its inode.
    const QMutexLocker lock(&storesMutex);
    return knownStores().contains(name) && knownStores().value(name).contains(folder.identity());
}

bool processAlive(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

void forceCopiesForTesting(bool forced)
{
    copiesForced = forced;
}

}  // namespace KeptFiles
