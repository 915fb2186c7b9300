#include "FileRemoval.h"

#include "Failure.h"
#include "FileSystem.h"

#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// lstat of "link/" would follow the link: the last name must stand bare.
QString withoutTrailingSeparators(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator())))
        path.chop(1);
    return path;
}

[[noreturn]] void fail(const QString &what, const QString &path, const QString &reason)
{
    throw Failure(QStringLiteral("%1 \"%2\": %3").arg(what, path, reason));
}

QString checkedPath(const QString &path)
{
    // A NUL would cut the path short in the system call and name another entry.
    if (path.isEmpty() || path.contains(QChar(0)))
        fail(QStringLiteral("Cannot remove"), path, QStringLiteral("not a valid path"));
    return withoutTrailingSeparators(path);
}

}  // namespace

void FileSystem::removeFile(const QString &path)
{
    const QString p = checkedPath(path);
    if (::unlink(nativePath(p).constData()) != 0)
        fail(QStringLiteral("Cannot delete the file"), path,
             QString::fromLocal8Bit(std::strerror(errno)));
}

void FileSystem::removeEmptyFolder(const QString &path)
{
    const QString p = checkedPath(path);
    if (::rmdir(nativePath(p).constData()) != 0)
        fail(QStringLiteral("Cannot remove the folder"), path,
             QString::fromLocal8Bit(std::strerror(errno)));
}

std::optional<quint64> FileSystem::folderDevice(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || path.contains(QChar(0)) ||
        ::lstat(nativePath(withoutTrailingSeparators(path)).constData(), &st) != 0 ||
        !S_ISDIR(st.st_mode))
        return std::nullopt;
    return quint64(st.st_dev);
}
