#include "FileSystem.h"

#include "Failure.h"
#include "OpenDescriptor.h"
#include "Paths.h"
#include "Utf8Sequence.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

QString systemMessage(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const QString &what, const QString &path, int error)
{
    throw Failure(QStringLiteral("%1 \"%2\": %3").arg(what, path, systemMessage(error)));
}

// Length of the valid UTF-8 sequence at p, or 0 when there is none.
int validSequenceLength(const uchar *p, const uchar *end)
{
    if (p[0] < 0x80)
        return 1;
    char32_t code;
    return Utf8Sequence::decode(p, end, code);
}

void appendUtf8(QByteArray &out, char32_t code)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

// A NUL inside a path would silently cut it short in every system call, which
// could name another file: such a path names nothing.
bool isUsablePath(const QString &path)
{
    return !path.contains(QChar(0));
}

QByteArray systemPath(const QString &path)
{
    if (!isUsablePath(path))
        throw Failure(QStringLiteral("\"%1\" is not a valid path").arg(path));
    return FileSystem::nativePath(path);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    void release() { m_fd = -1; }
    // Closes now so that a failing close (deferred write errors) is seen.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

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
    QByteArray target = systemPath(path);
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
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        fail(QStringLiteral("Cannot write the file"), path, errno);
    item.folder = std::make_shared<const OpenDescriptor>(dirFd);
    PlatformSave::write(item, next, newFileMode, pending);
}

}  // namespace

OpenDescriptor::~OpenDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void PlatformFailure::fail(const QString &what, const QString &path, int error)
{
    throw Failure(QStringLiteral("%1 \"%2\": %3").arg(what, path, systemMessage(error)));
}

void PlatformFailure::changedMeanwhile(const QString &path)
{
    throw Failure(QStringLiteral("\"%1\" was changed by another program while it was being "
                                 "replaced; it was left as it is.")
                      .arg(path));
}

void FileSystem::writeFileAtomic(const QString &path, const PieceSource &next,
                                 PendingSaves &pending)
{
    writeAtomic(path, next, 0666 & ~currentUmask(), &pending);
}

QByteArray FileSystem::nativePath(const QString &path)
{
    // Most paths hold no surrogate, escaped byte or pair: plain UTF-8 then.
    const char16_t *begin = QStringView(path).utf16();
    if (std::none_of(begin, begin + path.size(),
                     [](char16_t c) { return c >= 0xD800 && c < 0xE000; }))
        return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() + 8);
    const char16_t *p = QStringView(path).utf16();
    const char16_t *end = p + path.size();
    for (; p < end; ++p) {
        const char16_t c = *p;
        if (c < 0x80) {
            out.append(char(c));
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            out.append(char(c - 0xDC00));
        } else if (c >= 0xD800 && c < 0xDC00 && p + 1 < end && (p[1] & 0xFC00) == 0xDC00) {
            appendUtf8(out, QChar::surrogateToUcs4(c, p[1]));
            ++p;
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

QString FileSystem::fromNativePath(const QByteArray &path)
{
    if (std::all_of(path.cbegin(), path.cend(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(path);
    QString out;
    out.reserve(path.size());
    const uchar *p = reinterpret_cast<const uchar *>(path.constData());
    const uchar *end = p + path.size();
    while (p < end) {
        const int length = validSequenceLength(p, end);
        if (length == 0) {
            out.append(QChar(char16_t(0xDC00 + *p)));
            ++p;
            continue;
        }
        out.append(QString::fromUtf8(reinterpret_cast<const char *>(p), length));
        p += length;
    }
    return out;
}

QList<FileSystem::Entry> FileSystem::listFolder(const QString &folder)
{
    const OpenDescriptor dirFd(
        ::open(systemPath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() < 0)
        fail(QStringLiteral("Cannot list the folder"), folder, errno);
    return PlatformList::entries(dirFd.get(), folder);
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
    const int dirFd = ::dirfd(dir);
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
        entry.name = fromNativePath(QByteArray(d->d_name));
        entry.isHidden = d->d_name[0] == '.';
        struct stat st {};
        // A name that vanished or cannot be examined is still listed, as something never opened.
        entry.kind = EntryKind::Special;
        // The folder's own record of the type spares a stat for most entries.
        if (d->d_type == DT_REG)
            entry.kind = EntryKind::File;
        else if (d->d_type == DT_DIR)
            entry.kind = EntryKind::Folder;
        else if (::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISLNK(st.st_mode)) {
                entry.isLink = true;
                struct stat targetSt {};
                if (::fstatat(dirFd, d->d_name, &targetSt, 0) == 0) {
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

    FileDescriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        fail(QStringLiteral("Cannot read the file"), path, errno);
    if (::fstat(fd.get(), &st) != 0)
        fail(QStringLiteral("Cannot read the file"), path, errno);
    if (!S_ISREG(st.st_mode))
        throw Failure(
            QStringLiteral("Cannot read the file \"%1\": it is not a regular file").arg(path));
    const int result = fd.get();
    fd.release();
    return result;
}

ssize_t readSome(int fd, char *into, qsizetype room, const QString &path)
{
    for (;;) {
        const ssize_t got = ::read(fd, into, size_t(room));
        if (got >= 0)
            return got;
        if (errno != EINTR)
            fail(QStringLiteral("Cannot read the file"), path, errno);
    }
}

}  // namespace

QByteArray FileSystem::readFile(const QString &path)
{
    return *readFileUpTo(path, -1);
}

std::optional<QByteArray> FileSystem::readFileUpTo(const QString &path, qint64 limit,
                                                   bool listedRegular)
{
    struct stat st {};
    FileDescriptor fd(openRegular(path, st, listedRegular));
    if (limit >= 0 && st.st_size > limit)
        return std::nullopt;
    // One spare byte lets the read that meets the end need no second buffer.
    QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(used + qMax<qsizetype>(65536, used / 2));
        const qsizetype room = bytes.size() - used;
        const ssize_t got = readSome(fd.get(), bytes.data() + used, room, path);
        used += got;
        // A regular file reads short only at its end: no second call to hear so.
        if (got == 0 || got < room)
            break;
    }
    bytes.resize(used);
    return bytes;
}

void FileSystem::readFileInPieces(const QString &path, qsizetype pieceSize,
                                  const std::function<bool(QByteArrayView)> &piece)
{
    struct stat st {};
    FileDescriptor fd(openRegular(path, st));
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    QByteArray buffer(pieceSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = readSome(fd.get(), buffer.data(), buffer.size(), path);
        if (got == 0 || !piece(QByteArrayView(buffer.constData(), got)))
            return;
    }
}

void FileSystem::writeFileAtomic(const QString &path, const PieceSource &next)
{
    writeAtomic(path, next, 0666 & ~currentUmask());
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

void PlatformSave::copyInto(const QByteArray &bytes, mode_t mode, const QString &target)
{
    // An older copy is replaced even when it was read-only.
    struct stat targetSt {};
    if (::stat(systemPath(target).constData(), &targetSt) == 0 && !(targetSt.st_mode & S_IWUSR))
        FileSystem::clearAttributes(target);
    writeAtomic(target, FileSystem::onePiece(bytes), mode & ~currentUmask());
}

bool FileSystem::makeFolder(const QString &path)
{
    return isUsablePath(path) && ::mkdir(nativePath(path).constData(), 0777) == 0;
}

QString FileSystem::fileIdentity(const QString &path)
{
    struct stat st {};
    if (!isUsablePath(path) || ::stat(nativePath(path).constData(), &st) != 0)
        return QString();
    return QString::number(quint64(st.st_dev)) + QLatin1Char(':') +
           QString::number(quint64(st.st_ino));
}

bool FileSystem::isFolder(const QString &path)
{
    struct stat st {};
    return isUsablePath(path) && ::stat(nativePath(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

bool FileSystem::exists(const QString &path)
{
    struct stat st {};
    return isUsablePath(path) && ::lstat(nativePath(path).constData(), &st) == 0;
}

qint64 FileSystem::fileSize(const QString &path)
{
    struct stat st {};
    if (::stat(systemPath(path).constData(), &st) != 0)
        fail(QStringLiteral("Cannot read the size of"), path, errno);
    return qint64(st.st_size);
}

#else  // Q_OS_UNIX

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

[[noreturn]] void fail(const QString &what, const QString &path, const QString &reason)
{
    throw Failure(QStringLiteral("%1 \"%2\": %3").arg(what, path, reason));
}

}  // namespace

QByteArray FileSystem::nativePath(const QString &path)
{
    return path.toUtf8();
}

QString FileSystem::fromNativePath(const QByteArray &path)
{
    return QString::fromUtf8(path);
}

QList<FileSystem::Entry> FileSystem::listFolder(const QString &folder)
{
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        fail(QStringLiteral("Cannot list the folder"), folder, QStringLiteral("access denied"));
    QList<Entry> entries;
    const QFileInfoList infos = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &info : infos) {
        Entry entry;
        entry.name = info.fileName();
        entry.isLink = info.isSymLink();
        entry.isHidden = info.isHidden();
        if (info.isSymLink())
            entry.kind = info.isDir()    ? EntryKind::FolderLink
                         : info.isFile() ? EntryKind::File
                                         : EntryKind::Special;
        else if (info.isDir())
            entry.kind = EntryKind::Folder;
        else if (info.isFile())
            entry.kind = EntryKind::File;
        else
            entry.kind = EntryKind::Special;
        entries.append(entry);
    }
    return entries;
}

std::optional<QByteArray> FileSystem::readFileUpTo(const QString &path, qint64 limit, bool)
{
    if (limit >= 0 && QFileInfo(path).size() > limit)
        return std::nullopt;
    return readFile(path);
}

QByteArray FileSystem::readFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        fail(QStringLiteral("Cannot read the file"), path, QStringLiteral("not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot read the file"), path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("Cannot read the file"), path, file.errorString());
    return bytes;
}

void FileSystem::writeFileAtomic(const QString &path, const PieceSource &next)
{
    QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    QFileInfo targetInfo(target);
    const bool existed = targetInfo.exists();
    const QFileDevice::Permissions permissions = targetInfo.permissions();
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(QStringLiteral("Cannot write the file"), path, file.errorString());
    try {
        for (QByteArray piece = next(); !piece.isEmpty(); piece = next()) {
            if (file.write(piece) != piece.size() || !file.flush()) {
                const QString reason = file.errorString();
                file.cancelWriting();
                fail(QStringLiteral("Cannot write the file"), path, reason);
            }
        }
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        fail(QStringLiteral("Cannot write the file"), path, file.errorString());
    if (existed)
        QFile::setPermissions(target, permissions);
}

void FileSystem::forceNamedTemporaryForTesting(bool) {}

// Saves here are finished as they are written; the waiting list only counts them.
FileSystem::PendingSaves::~PendingSaves() = default;

QStringList FileSystem::PendingSaves::commit()
{
    return QStringList(std::exchange(m_items, {}).size(), QString());
}

void FileSystem::writeFileAtomic(const QString &path, const PieceSource &next,
                                 PendingSaves &pending)
{
    writeFileAtomic(path, next);
    PendingSaves::Item item;
    item.path = path;
    pending.m_items.append(item);
}

void FileSystem::finishSave(PendingSaves::Item &, bool) {}

void FileSystem::readFileInPieces(const QString &path, qsizetype pieceSize,
                                  const std::function<bool(QByteArrayView)> &piece)
{
    if (!QFileInfo(path).isFile())
        fail(QStringLiteral("Cannot read the file"), path, QStringLiteral("not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot read the file"), path, file.errorString());
    for (;;) {
        const QByteArray bytes = file.read(pieceSize);
        if (file.error() != QFileDevice::NoError)
            fail(QStringLiteral("Cannot read the file"), path, file.errorString());
        if (bytes.isEmpty() || !piece(bytes))
            return;
    }
}

void FileSystem::clearAttributes(const QString &path)
{
    if (!QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner))
        fail(QStringLiteral("Cannot clear the attributes of"), path,
             QStringLiteral("access denied"));
}

void FileSystem::copyFile(const QString &source, const QString &target)
{
    const QByteArray bytes = readFile(source);
    if (QFileInfo::exists(target) && !QFileInfo(target).isWritable())
        clearAttributes(target);
    writeFileAtomic(target, bytes);
}

bool FileSystem::makeFolder(const QString &path)
{
    return QDir().mkdir(path);
}

QString FileSystem::fileIdentity(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

bool FileSystem::isFolder(const QString &path)
{
    return QFileInfo(path).isDir();
}

bool FileSystem::exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

qint64 FileSystem::fileSize(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        fail(QStringLiteral("Cannot read the size of"), path, QStringLiteral("not found"));
    return info.size();
}

#endif  // Q_OS_UNIX

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
