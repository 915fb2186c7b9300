#include "FolderHandle.h"

#include "Failure.h"
#include "Paths.h"
#include "PosixInternals.h"
#include "RegularFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

std::function<void(const QString &)> &beforeOpenHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

void beforeOpen(const QString &path)
{
    if (beforeOpenHook())
        beforeOpenHook()(path);
}

[[noreturn]] void passOver(const QString &text, const QString &path)
{
    throw FileSystem::PassedOver(text.arg(path));
}

}  // namespace

void FileSystem::setBeforeOpenHookForTesting(std::function<void(const QString &)> hook)
{
    beforeOpenHook() = std::move(hook);
}

using PlatformFailure::fail;

namespace {

// Folders kept open above the one a walk is in; those further up are closed
// and opened again on the way back, so depth never runs out of descriptors.
constexpr int kOpenAncestors = 48;

struct Identity {
    quint64 device = 0;
    quint64 inode = 0;
    quint64 mount = 0;  // the mount id, so a bind mount of the same device tells apart
    mode_t mode = 0;
};

Identity identify(int fd, const QString &path)
{
    Identity id;
    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_INO | STATX_MNT_ID, &sx) == 0) {
        id.device = quint64(makedev(sx.stx_dev_major, sx.stx_dev_minor));
        id.inode = sx.stx_ino;
        id.mode = sx.stx_mode;
        // Without mount ids (old kernels) the device is all there is to compare.
        id.mount = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : id.device;
        return id;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        fail(QStringLiteral("Cannot open the folder"), path, errno);
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.mode = st.st_mode;
    id.mount = id.device;
    return id;
}

QString identityText(quint64 device, quint64 inode)
{
    return QString::number(device) + QLatin1Char(':') + QString::number(inode);
}

QByteArray nativeName(const QString &name)
{
    if (name.isEmpty() || name.contains(QChar(0)) || name.contains(QLatin1Char('/')) ||
        name == QLatin1String(".") || name == QLatin1String(".."))
        throw Failure(QStringLiteral("\"%1\" is not a valid name").arg(name));
    return FileSystem::nativePath(name);
}

// nativeName(name) into out when it is short plain ASCII, as most names
// are: no allocation for each file a walk opens. False for any other name.
bool plainNativeName(const QString &name, std::array<char, 256> &out)
{
    const qsizetype n = name.size();
    if (n == 0 || n >= qsizetype(out.size()) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = name.at(i).unicode();
        if (c == 0 || c == u'/' || c >= 0x80)
            return false;
        out[size_t(i)] = char(c);
    }
    out[size_t(n)] = 0;
    return true;
}

// Opens a regular file of the walk without following a link; a FIFO or device
// swapped in is refused without blocking (O_NONBLOCK, then the type check).
int openRegular(const FileSystem::FileAt &file, struct stat &st)
{
    beforeOpen(file.path);
    std::array<char, 256> plain;
    QByteArray other;
    const char *name = plain.data();
    if (!plainNativeName(file.name, plain)) {
        other = nativeName(file.name);
        name = other.constData();
    }
    const int fd =
        ::openat(file.folderDescriptor(), name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP)
            passOver(QStringLiteral("Cannot read the file \"%1\": it was replaced by a link "
                                    "since it was listed; it was passed over"),
                     file.path);
        fail(QStringLiteral("Cannot read the file"), file.path, errno);
    }
    if (!RegularFile::isRegular(fd, st)) {
        ::close(fd);
        passOver(QStringLiteral("Cannot read the file \"%1\": it is not a regular file"),
                 file.path);
    }
    return fd;
}

}  // namespace

FileSystem::FolderHandle::~FolderHandle() = default;

FileSystem::Folder FileSystem::FolderHandle::open(const QString &path, bool followLink)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        throw Failure(QStringLiteral("\"%1\" is not a valid path").arg(path));
    QByteArray native = nativePath(path);
    // "link/" would follow the link whatever the flags say.
    while (!followLink && native.size() > 1 && native.endsWith('/')) native.chop(1);
    const int fd = ::open(native.constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0)
        fail(QStringLiteral("Cannot open the folder"), path, errno);
    Folder folder(new FolderHandle);
    folder->m_fd = std::make_shared<const OpenDescriptor>(fd);
    const Identity id = identify(fd, path);
    folder->m_device = id.device;
    folder->m_inode = id.inode;
    folder->m_mount = id.mount;
    folder->m_path = Paths::withTrailingSeparator(path);
    return folder;
}

QString FileSystem::FolderHandle::identity() const
{
    return identityText(m_device, m_inode);
}

QString FileSystem::FolderHandle::realPath() const
{
    if (!m_fd)
        return QString();
    char target[PATH_MAX];
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd->get());
    const ssize_t length = ::readlink(self.constData(), target, sizeof target);
    if (length <= 0 || length >= ssize_t(sizeof target) || target[0] != '/')
        return QString();
    return fromNativePath(QByteArray(target, length));
}

bool FileSystem::FolderHandle::isSameAs(const QString &folder) const
{
    struct stat st {};
    return !folder.contains(QChar(0)) && ::stat(nativePath(folder).constData(), &st) == 0 &&
           quint64(st.st_dev) == m_device && quint64(st.st_ino) == m_inode;
}

int FileSystem::FolderHandle::descriptor()
{
    if (m_fd)
        return m_fd->get();
    // Set aside and needed before the walk came back through a child: opened
    // again by name from the parent, and it must be the same folder.
    const int parentFd = m_parent ? m_parent->descriptor() : AT_FDCWD;
    const QByteArray name = m_parent ? m_name : nativePath(m_path);
    const int fd =
        ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        fail(QStringLiteral("Cannot open the folder"), m_path, errno);
    m_fd = std::make_shared<const OpenDescriptor>(fd);
    const Identity id = identify(fd, m_path);
    if (id.device != m_device || id.inode != m_inode) {
        m_fd.reset();
        passOver(QStringLiteral("The folder \"%1\" was moved while it was walked; the rest of "
                                "it was passed over"),
                 m_path);
    }
    return fd;
}

void FileSystem::FolderHandle::setAside()
{
    m_fd.reset();
}

void FileSystem::FolderHandle::reopenFrom(FolderHandle &child)
{
    if (m_fd)
        return;
    const int fd =
        ::openat(child.descriptor(), "..", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        fail(QStringLiteral("Cannot open the folder"), m_path, errno);
    const std::shared_ptr<const OpenDescriptor> held = std::make_shared<const OpenDescriptor>(fd);
    const Identity id = identify(fd, m_path);
    // The child was moved elsewhere meanwhile: its ".." is another folder.
    if (id.device != m_device || id.inode != m_inode)
        passOver(QStringLiteral("The folder \"%1\" was moved while it was walked; the rest of "
                                "it was passed over"),
                 m_path);
    m_fd = held;
}

std::shared_ptr<const OpenDescriptor> FileSystem::FolderHandle::held()
{
    descriptor();
    return m_fd;
}

QList<FileSystem::Entry> FileSystem::FolderHandle::list()
{
    return PlatformList::entries(descriptor(), m_path);
}

FileSystem::Folder FileSystem::FolderHandle::openChild(const QString &name)
{
    const QString path = m_path + name;
    beforeOpen(path);
    const int fd = ::openat(descriptor(), nativeName(name).constData(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR)
            passOver(QStringLiteral("\"%1\" is no longer a folder (a link or a file took its "
                                    "place); it was passed over"),
                     path);
        fail(QStringLiteral("Cannot open the folder"), path, errno);
    }
    Folder child(new FolderHandle);
    child->m_fd = std::make_shared<const OpenDescriptor>(fd);
    const Identity id = identify(fd, path);
    if (id.device != m_device || id.mount != m_mount)
        passOver(QStringLiteral("\"%1\" is another file system or mount; it was passed over"),
                 path);
    child->m_device = id.device;
    child->m_inode = id.inode;
    child->m_mount = id.mount;
    child->m_name = nativePath(name);
    child->m_path = Paths::withTrailingSeparator(path);
    child->m_depth = m_depth + 1;
    child->m_parent = shared_from_this();
    if (child->m_depth > kOpenAncestors) {
        FolderHandle *far = this;
        for (int up = 1; up < kOpenAncestors && far->m_parent; ++up) far = far->m_parent.get();
        far->setAside();
    }
    return child;
}

void FileSystem::FolderHandle::removeFile(const QString &name)
{
    if (::unlinkat(descriptor(), nativeName(name).constData(), 0) != 0)
        fail(QStringLiteral("Cannot delete the file"), m_path + name, errno);
}

void FileSystem::FolderHandle::removeFolder(const QString &name)
{
    if (::unlinkat(descriptor(), nativeName(name).constData(), AT_REMOVEDIR) != 0)
        fail(QStringLiteral("Cannot remove the folder"), m_path + name, errno);
}

void FileSystem::FolderHandle::renameEntry(const QString &name, const QString &newName,
                                           const QString &expectedIdentity)
{
    const QString path = m_path + name;
    const QByteArray from = nativeName(name);
    const QByteArray to = nativeName(newName);
    if (entryIdentity(name) != expectedIdentity)
        throw Failure(QStringLiteral("\"%1\" was moved or replaced since it was chosen; nothing "
                                     "was renamed.")
                          .arg(path));
    const int fd = descriptor();
    if (::renameat2(fd, from.constData(), fd, to.constData(), RENAME_NOREPLACE) == 0)
        return;
    // Some file systems do not offer the atomic form; fall back to test-then-rename.
    if (errno != EINVAL && errno != ENOSYS)
        fail(QStringLiteral("Cannot rename"), path, errno);
    struct stat st {};
    if (::fstatat(fd, to.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        fail(QStringLiteral("Cannot rename"), path, EEXIST);
    if (::renameat(fd, from.constData(), fd, to.constData()) != 0)
        fail(QStringLiteral("Cannot rename"), path, errno);
}

FileSystem::FileAt FileSystem::FileAt::resolve(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        throw Failure(QStringLiteral("\"%1\" is not a valid path").arg(path));
    char resolved[PATH_MAX];
    if (!::realpath(nativePath(path).constData(), resolved))
        fail(QStringLiteral("Cannot read the file"), path, errno);
    const QString real = fromNativePath(QByteArray(resolved));
    const qsizetype slash = real.lastIndexOf(QLatin1Char('/'));
    FileAt file;
    file.folder = FolderHandle::open(slash == 0 ? QStringLiteral("/") : real.left(slash));
    file.name = real.mid(slash + 1);
    file.path = path;
    return file;
}

int FileSystem::FileAt::folderDescriptor() const
{
    return held ? held->get() : folder->descriptor();
}

void FileSystem::clearAttributes(const FileAt &file)
{
    struct stat st {};
    const QByteArray name = nativeName(file.name);
    if (::fstatat(file.folderDescriptor(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        fail(QStringLiteral("Cannot clear the attributes of"), file.path, errno);
    // Writing the mode unchanged would still touch the file's inode on disk.
    if (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR))
        return;
    if (::fchmodat(file.folderDescriptor(), name.constData(), (st.st_mode & 07777) | S_IWUSR, 0) !=
        0)
        fail(QStringLiteral("Cannot clear the attributes of"), file.path, errno);
}

FileSystem::FileStamp FileSystem::FileAt::stamp() const
{
    struct stat st {};
    if (::fstatat(folderDescriptor(), nativeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    return RegularFile::stampOf(st);
}

QString FileSystem::FolderHandle::entryIdentity(const QString &name)
{
    struct stat st {};
    if (::fstatat(descriptor(), nativeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return QString();
    return identityText(quint64(st.st_dev), quint64(st.st_ino));
}

QString FileSystem::FileAt::identity() const
{
    const FileStamp now = stamp();
    return now.isValid() ? identityText(now.device, now.inode) : QString();
}

std::optional<QByteArray> FileSystem::readFileUpTo(const FileAt &file, qint64 limit,
                                                   FileStamp *stamp)
{
    struct stat st {};
    const OpenDescriptor fd(openRegular(file, st));
    if (stamp)
        *stamp = RegularFile::stampOf(st);
    if (limit >= 0 && st.st_size > limit)
        return std::nullopt;
    return RegularFile::readToEnd(fd.get(), st.st_size, file.path);
}

bool FileSystem::readFileInto(const FileAt &file, qint64 limit, QByteArray &bytes, FileStamp *stamp)
{
    struct stat st {};
    const OpenDescriptor fd(openRegular(file, st));
    if (stamp)
        *stamp = RegularFile::stampOf(st);
    if (limit >= 0 && st.st_size > limit)
        return false;
    RegularFile::readToEndInto(fd.get(), st.st_size, bytes, file.path);
    return true;
}

void FileSystem::readFileInPieces(const FileAt &file, qsizetype pieceSize,
                                  const std::function<bool(QByteArrayView)> &piece,
                                  FileStamp *stamp)
{
    struct stat st {};
    const OpenDescriptor fd(openRegular(file, st));
    if (stamp)
        *stamp = RegularFile::stampOf(st);
    RegularFile::readInPieces(fd.get(), pieceSize, piece, file.path);
}

QByteArray FileSystem::readFilePiece(const FileAt &file, qint64 offset, qsizetype size,
                                     FileStamp *stamp)
{
    struct stat st {};
    const OpenDescriptor fd(openRegular(file, st));
    if (stamp)
        *stamp = RegularFile::stampOf(st);
    QByteArray bytes(size, Qt::Uninitialized);
    qsizetype used = 0;
    while (used < size) {
        const ssize_t got =
            ::pread(fd.get(), bytes.data() + used, size_t(size - used), off_t(offset + used));
        if (got == 0)
            break;
        if (got < 0 && errno != EINTR)
            fail(QStringLiteral("Cannot read the file"), file.path, errno);
        used += qMax<ssize_t>(got, 0);
    }
    bytes.truncate(used);
    return bytes;
}

void FileSystem::writeFileAtomic(const FileAt &file, const FileStamp &expected,
                                 const PieceSource &next, PendingSaves *pending)
{
    PendingSaves::Item item;
    item.folder = file.folder->held();
    item.name = nativeName(file.name);
    item.path = file.path;
    item.expected = expected;
    PlatformSave::write(item, next, 0666 & ~RegularFile::currentUmask(), pending);
}

void FileSystem::copyFile(const FileAt &source, const QString &target)
{
    struct stat st {};
    QByteArray bytes;
    {
        const OpenDescriptor fd(openRegular(source, st));
        bytes = RegularFile::readToEnd(fd.get(), st.st_size, source.path);
    }
    PlatformSave::copyInto(bytes, st.st_mode & 0777, target);
}
