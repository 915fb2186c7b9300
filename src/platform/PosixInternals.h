#pragma once

#include "Failure.h"
#include "FileSystem.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <sys/types.h>

// What the POSIX file system's parts share among themselves; nothing outside
// src/platform includes this header.

/// An open descriptor that closes itself; shared between a walk, the thread
/// that reads ahead and the saves that wait for their flush, so a folder stays
/// open while anyone still works in it.
class OpenDescriptor {
public:
    explicit OpenDescriptor(int fd) : m_fd(fd) {}
    ~OpenDescriptor();
    OpenDescriptor(const OpenDescriptor &) = delete;
    OpenDescriptor &operator=(const OpenDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

namespace PlatformFailure {
/// Throws Failure "what "path": the system's message for error".
[[noreturn]] void fail(const QString &what, const QString &path, int error);
/// The message a save gives when the file is not the one that was read.
[[noreturn]] void changedMeanwhile(const QString &path);
}  // namespace PlatformFailure

namespace PlatformPath {
/// The path for a system call; throws for a path holding NUL, which every
/// system call would silently cut short and so could name another file.
QByteArray systemPath(const QString &path);
/// Whether path can name anything at all (holds no NUL).
bool isUsable(const QString &path);
}  // namespace PlatformPath

namespace PlatformList {
/// The entries of the open folder folderFd, as FileSystem::listFolder gives them.
QList<FileSystem::Entry> entries(int folderFd, const QString &folder);
}  // namespace PlatformList

namespace PlatformSave {
/// Writes the new content for item.name in item.folder and puts it in place,
/// or leaves it waiting in pending; item.expected, when valid, must still be
/// what the name refers to. newFileMode applies to a file that does not exist yet.
void write(FileSystem::PendingSaves::Item item, const FileSystem::PieceSource &next,
           mode_t newFileMode, FileSystem::PendingSaves *pending);
/// Writes bytes as target (a path), replacing an older copy even when it was
/// read-only; mode (less the umask) applies to a new copy.
void copyInto(const QByteArray &bytes, mode_t mode, const QString &target);
}  // namespace PlatformSave
