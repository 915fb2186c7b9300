#include "RegularFile.h"

#include "PosixInternals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

ssize_t readSome(int fd, char *into, qsizetype room, const QString &path)
{
    for (;;) {
        const ssize_t got = ::read(fd, into, size_t(room));
        if (got >= 0)
            return got;
        if (errno != EINTR)
            PlatformFailure::fail(QStringLiteral("Cannot read the file"), path, errno);
    }
}

}  // namespace

bool RegularFile::isRegular(int fd, struct stat &st)
{
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

QByteArray RegularFile::readToEnd(int fd, qint64 size, const QString &path)
{
    QByteArray bytes;
    readToEndInto(fd, size, bytes, path);
    return bytes;
}

void RegularFile::readToEndInto(int fd, qint64 size, QByteArray &bytes, const QString &path)
{
    // One spare byte lets the read that meets the end need no second buffer.
    const qsizetype room = qsizetype(size) + 1;
    if (bytes.isDetached() && bytes.capacity() >= room)
        bytes.resize(room);
    else
        bytes = QByteArray(room, Qt::Uninitialized);  // growing would copy the old bytes
    qsizetype used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(used + qMax<qsizetype>(65536, used / 2));
        const qsizetype room = bytes.size() - used;
        const ssize_t got = readSome(fd, bytes.data() + used, room, path);
        used += got;
        // A regular file reads short only at its end: no second call to hear so.
        if (got == 0 || got < room)
            break;
    }
    bytes.resize(used);
}

void RegularFile::readInPieces(int fd, qsizetype pieceSize,
                               const std::function<bool(QByteArrayView)> &piece,
                               const QString &path)
{
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    QByteArray buffer(pieceSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = readSome(fd, buffer.data(), buffer.size(), path);
        if (got == 0 || !piece(QByteArrayView(buffer.constData(), got)))
            return;
    }
}

FileSystem::FileStamp RegularFile::stampOf(const struct stat &st)
{
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

mode_t RegularFile::currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
