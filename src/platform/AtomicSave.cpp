#include "FileSystem.h"

#include "Failure.h"
#include "Paths.h"
#include "PosixInternals.h"
#include "RegularFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <future>

using PlatformFailure::fail;

namespace {

bool &namedTemporaryForced()
{
    static bool forced = false;
    return forced;
}

void writeAll(int fd, const QByteArray &bytes, const QString &path)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const size_t chunk = size_t(qMin<qsizetype>(left, qsizetype(1) << 30));
        const ssize_t written = ::write(fd, data, chunk);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(QStringLiteral("Cannot write the file"), path, errno);
        }
        if (written == 0)
            fail(QStringLiteral("Cannot write the file"), path, ENOSPC);
        data += written;
        left -= written;
    }
}

// A name for the instant between a finished temporary file and the rename over
// its target. It lies in the program's own folder when that folder is on the
// target's file system, so that a kill in that instant leaves nothing in the
// user's folders; elsewhere it lies beside the target.
struct Staging {
    QByteArray folder;
    dev_t device = 0;
};

// Names left by a process that was killed between the two steps: nobody renames them any more.
void removeStale(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *d = ::readdir(dir)) {
        const QByteArray name(d->d_name);
        const qsizetype dash = name.indexOf('-');
        bool ok = false;
        const pid_t pid = pid_t(name.left(dash).toLong(&ok));
        if (dash > 0 && ok && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), d->d_name, 0);
    }
    ::closedir(dir);
}

const Staging &staging()
{
    static const Staging s = [] {
        Staging st;
        const QByteArray folder = FileSystem::nativePath(Paths::applicationFolder()) + "/.saving";
        ::mkdir(folder.constData(), 0700);
        struct stat sb {};
        if (::lstat(folder.constData(), &sb) == 0 && S_ISDIR(sb.st_mode) &&
            sb.st_uid == ::geteuid()) {
            st.folder = folder;
            st.device = sb.st_dev;
            removeStale(folder);
        }
        return st;
    }();
    return s;
}

QByteArray freshName(const char *prefix)
{
    static std::atomic<quint64> counter{0};
    return prefix + QByteArray::number(::getpid()) + '-' + QByteArray::number(++counter);
}

// Gives the unnamed file fd a fresh name in the folder folderFd (AT_FDCWD with an
// absolute folder); false when the system cannot.
bool linkUnnamed(int fd, int folderFd, const QByteArray &folder, const char *prefix,
                 QByteArray &name, const QString &path)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (;;) {
        name = folder + freshName(prefix);
        if (::linkat(AT_FDCWD, self.constData(), folderFd, name.constData(), AT_SYMLINK_FOLLOW) ==
            0)
            return true;
        if (errno == EEXIST)
            continue;
        // Without /proc only a privileged process may link by descriptor.
        if (errno == ENOENT && ::linkat(fd, "", folderFd, name.constData(), AT_EMPTY_PATH) == 0)
            return true;
        if (errno == EXDEV || errno == EPERM || errno == EACCES || errno == ENOENT)
            return false;
        fail(QStringLiteral("Cannot replace the file"), path, errno);
    }
}

// The last look before the rename: the name must still be the file that was read.
void checkUnchanged(const FileSystem::PendingSaves::Item &item)
{
    if (!item.expected.isValid())
        return;
    struct stat st {};
    if (::fstatat(item.folder->get(), item.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        RegularFile::stampOf(st) != item.expected)
        PlatformFailure::changedMeanwhile(item.path);
}

// Names the finished unnamed file and renames it over the target.
void publishUnnamed(int fd, const FileSystem::PendingSaves::Item &item, dev_t device)
{
    const int folderFd = item.folder->get();
    const QString &path = item.path;
    QByteArray name;
    const Staging &stage = staging();
    if (!stage.folder.isEmpty() && stage.device == device &&
        linkUnnamed(fd, AT_FDCWD, stage.folder + '/', "", name, path)) {
        try {
            checkUnchanged(item);
        } catch (...) {
            ::unlink(name.constData());
            throw;
        }
        if (::renameat(AT_FDCWD, name.constData(), folderFd, item.name.constData()) == 0)
            return;
        const int error = errno;
        ::unlink(name.constData());
        // A bind mount of the same file system still refuses the move.
        if (error != EXDEV)
            fail(QStringLiteral("Cannot replace the file"), path, error);
    }
    if (!linkUnnamed(fd, folderFd, QByteArray(), ".scrivlane-", name, path))
        fail(QStringLiteral("Cannot replace the file"), path, EPERM);
    int error = 0;
    try {
        checkUnchanged(item);
        if (::renameat(folderFd, name.constData(), folderFd, item.name.constData()) == 0)
            return;
        error = errno;
    } catch (...) {
        ::unlinkat(folderFd, name.constData(), 0);
        throw;
    }
    ::unlinkat(folderFd, name.constData(), 0);
    fail(QStringLiteral("Cannot replace the file"), path, error);
}

void dropTemporary(const FileSystem::PendingSaves::Item &item)
{
    if (!item.temp.isEmpty())
        ::unlinkat(item.folder->get(), item.temp.constData(), 0);
}

}  // namespace

// Flushes (unless the file system was flushed as a whole) and puts the file in place.
void FileSystem::finishSave(PendingSaves::Item &item, bool flush)
{
    const int fd = item.fd;
    item.fd = -1;
    const QString &path = item.path;
    bool closed = false;
    try {
        if (flush && ::fsync(fd) != 0)
            fail(QStringLiteral("Cannot write the file"), path, errno);
        if (item.temp.isEmpty()) {
            struct stat fileSt {};
            if (::fstat(fd, &fileSt) != 0)
                fail(QStringLiteral("Cannot write the file"), path, errno);
            publishUnnamed(fd, item, fileSt.st_dev);
            ::close(fd);
            return;
        }
        closed = true;
        if (::close(fd) != 0)
            fail(QStringLiteral("Cannot write the file"), path, errno);
        checkUnchanged(item);
        if (::renameat(item.folder->get(), item.temp.constData(), item.folder->get(),
                       item.name.constData()) != 0)
            fail(QStringLiteral("Cannot replace the file"), path, errno);
    } catch (...) {
        if (!closed)
            ::close(fd);
        dropTemporary(item);
        throw;
    }
    // The folder itself is not synced: the data reached the disk before the rename,
    // so after a crash the folder names either the old or the new, complete file.
}

namespace {

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// Where a save by path goes: the link's target when path is a link, so that
// the link itself stays a link.
void writeAtomic(const QString &path, const FileSystem::PieceSource &next, mode_t newFileMode,
                 FileSystem::PendingSaves *pending = nullptr)
{
    QByteArray target = PlatformPath::systemPath(path);
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(target.constData(), resolved))
            fail(QStringLiteral("Cannot resolve the link"), path, errno);
        target = QByteArray(resolved);
    }
    const qsizetype slash = target.lastIndexOf('/');
    FileSystem::PendingSaves::Item item;
    item.name = target.mid(slash + 1);
    item.path = path;
    const QByteArray folder = folderOf(target);
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        fail(QStringLiteral("Cannot write the file"), path, errno);
    item.folder = std::make_shared<const OpenDescriptor>(folderFd);
    PlatformSave::write(item, next, newFileMode, pending);
}

}  // namespace

namespace PlatformSave {

// Writes a new file for target (the entry item.name of item.folder) and either
// puts it in place or leaves it waiting in pending. newFileMode applies only
// when the target does not exist yet.
void write(FileSystem::PendingSaves::Item item, const FileSystem::PieceSource &next,
           mode_t newFileMode, FileSystem::PendingSaves *pending)
{
    const int folderFd = item.folder->get();
    const QString path = item.path;
    struct stat st {};
    bool existed = false;
    if (::fstatat(folderFd, item.name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (item.expected.isValid() && RegularFile::stampOf(st) != item.expected)
            PlatformFailure::changedMeanwhile(path);
        if (!S_ISREG(st.st_mode))
            fail(QStringLiteral("Cannot write the file"), path, EINVAL);
        // A read-only file is replaced through its folder and keeps its mode
        // below: only the folder needs to be writable.
        existed = true;
    } else if (errno != ENOENT || item.expected.isValid()) {
        if (item.expected.isValid())
            PlatformFailure::changedMeanwhile(path);
        fail(QStringLiteral("Cannot write the file"), path, errno);
    }

    // The temporary file has no name while it is written, so a kill at any
    // moment of the write leaves nothing behind; a file system that refuses
    // unnamed files gets a named one beside the target.
    int rawFd = namedTemporaryForced()
                    ? -1
                    : ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (rawFd < 0) {
        if (!namedTemporaryForced() && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fail(QStringLiteral("Cannot create a temporary file beside"), path, errno);
        for (;;) {
            item.temp = freshName(".scrivlane-");
            rawFd = ::openat(folderFd, item.temp.constData(),
                             O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (rawFd >= 0 || errno != EEXIST)
                break;
        }
        if (rawFd < 0)
            fail(QStringLiteral("Cannot create a temporary file beside"), path, errno);
    }
    item.fd = rawFd;

    try {
        for (QByteArray piece = next(); !piece.isEmpty(); piece = next())
            writeAll(rawFd, piece, path);
        if (existed && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
            // Only a privileged process may give the file away; others keep their own.
            if (::fchown(rawFd, st.st_uid, st.st_gid) != 0 && errno != EPERM)
                fail(QStringLiteral("Cannot keep the owner of"), path, errno);
        }
        const mode_t mode = existed ? (st.st_mode & 07777) : newFileMode;
        if (::fchmod(rawFd, mode) != 0)
            fail(QStringLiteral("Cannot keep the permissions of"), path, errno);
    } catch (...) {
        ::close(rawFd);
        dropTemporary(item);
        throw;
    }
    if (pending) {
        pending->add(item);
        return;
    }
    FileSystem::finishSave(item, true);
}

void copyInto(const QByteArray &bytes, mode_t mode, const QString &target)
{
    // An older copy is replaced even when it was read-only.
    struct stat targetSt {};
    if (::stat(PlatformPath::systemPath(target).constData(), &targetSt) == 0 &&
        !(targetSt.st_mode & S_IWUSR))
        FileSystem::clearAttributes(target);
    writeAtomic(target, FileSystem::onePiece(bytes), mode & ~RegularFile::currentUmask());
}
}  // namespace PlatformSave

void PlatformFailure::changedMeanwhile(const QString &path)
{
    throw Failure(QStringLiteral("\"%1\" was changed by another program while it was being "
                                 "replaced; it was left as it is.")
                      .arg(path));
}

void FileSystem::writeFileAtomic(const QString &path, const PieceSource &next,
                                 PendingSaves &pending)
{
    writeAtomic(path, next, 0666 & ~RegularFile::currentUmask(), &pending);
}

void FileSystem::writeFileAtomic(const QString &path, const PieceSource &next)
{
    writeAtomic(path, next, 0666 & ~RegularFile::currentUmask());
}

void FileSystem::forceNamedTemporaryForTesting(bool forced)
{
    namedTemporaryForced() = forced;
}

void FileSystem::PendingSaves::add(const Item &item)
{
    if (m_items.isEmpty() || m_items.constLast().folder != item.folder)
        ++m_folders;
    m_items.append(item);
}

FileSystem::PendingSaves::~PendingSaves()
{
    // What was never committed is dropped: the targets stay as they were.
    for (Item &item : m_items) {
        if (item.fd >= 0)
            ::close(item.fd);
        dropTemporary(item);
    }
}

namespace {
// syncfs(fd), on a second thread while pause is called, when there is one.
bool flushFileSystem(int fd, const std::function<void()> &pause)
{
    if (!pause)
        return ::syncfs(fd) == 0;
    std::future<bool> flushed = std::async(std::launch::async, [fd] { return ::syncfs(fd) == 0; });
    while (flushed.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) pause();
    return flushed.get();
}
}  // namespace

QStringList FileSystem::PendingSaves::commit(const std::function<void()> &pause)
{
    // One flush of each file system serves every file waiting on it.
    QList<dev_t> flushed;
    // One file alone is flushed by itself, never the whole file system for it.
    bool flushEach = m_items.size() == 1;
    for (const Item &item : std::as_const(m_items)) {
        if (flushEach)
            break;
        struct stat st {};
        if (::fstat(item.fd, &st) != 0 || flushed.contains(st.st_dev))
            continue;
        if (!flushFileSystem(item.fd, pause))
            flushEach = true;
        flushed.append(st.st_dev);
    }
    QList<Item> items = std::exchange(m_items, {});
    m_folders = 0;
    const QStringList notKept = m_keeper ? m_keeper->keep(items) : QStringList();
    QStringList failures;
    // A file that cannot be put in place is passed over; the others still are.
    for (Item &item : items) {
        if (pause)
            pause();
        if (const QString why = notKept.value(failures.size()); !why.isEmpty()) {
            ::close(std::exchange(item.fd, -1));
            dropTemporary(item);
            failures.append(why);
            continue;
        }
        try {
            finishSave(item, flushEach);
            failures.append(QString());
        } catch (const Failure &f) {
            failures.append(f.description());
        }
    }
    return failures;
}

FileSystem::PieceSource FileSystem::onePiece(const QByteArray &bytes)
{
    return [bytes, given = false]() mutable -> QByteArray {
        if (given)
            return {};
        given = true;
        return bytes;
    };
}

void FileSystem::writeFileAtomic(const QString &path, const QByteArray &bytes)
{
    writeFileAtomic(path, onePiece(bytes));
}
