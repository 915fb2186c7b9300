#pragma once

#include "FileSystem.h"
#include "FolderHandle.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

/// The originals a Replace keeps so that Restore can put them back: private
/// folders of the user's, and the file operations on them. A kept file is the
/// replaced file's own inode, hard-linked just before the save's rename, where
/// the store shares the file's file system (no byte copied); elsewhere a clone
/// (reflink) or, failing that, a copy.
namespace KeptFiles {

/// An open private folder: the user's own real folder, no access for others.
struct Store {
    std::shared_ptr<const OpenDescriptor> fd;
    QString path;
    quint64 device = 0;
    bool isValid() const { return bool(fd); }
};

/// The folder name inside parent (a path) when it is private, created 0700
/// when create and missing; an invalid Store when it is a link, another
/// user's, open to others, not a folder, or cannot be made.
Store openPrivate(const QString &parent, const QString &name, bool create);
/// The same inside an open store.
Store openPrivate(const Store &parent, const QString &name, bool create);

/// The top of the mount that holds folder (where a per-mount store lives).
QString mountTop(const QString &folder);
/// "<name>-<uid>", the per-mount store's name for this user.
QString perMountName(const QString &name);

/// How a file was kept.
enum class KeptAs { Link, Clone, Copy };

struct Kept {
    KeptAs how = KeptAs::Link;
    FileSystem::FileStamp stamp;  ///< the kept file (for a link, the original itself)
    qint64 originalModifiedNs = 0;
};

/// The device of the file a pending save is about to replace.
quint64 deviceOf(const FileSystem::PendingSaves::Item &item);
/// Where the file of a pending save lies now, every link resolved.
QString realFolderOf(const FileSystem::PendingSaves::Item &item);
/// The stamp of the file a pending save has written (size, time and inode of the new file).
FileSystem::FileStamp writtenStamp(const FileSystem::PendingSaves::Item &item);

/// Keeps the file a pending save is about to replace as keptName in store:
/// a hard link when store is on its file system, else a clone or a copy
/// (time kept, flushed). Throws Failure when it cannot, or when the file is no
/// longer the one the save expects.
Kept keep(const FileSystem::PendingSaves::Item &item, const Store &store,
          const QByteArray &keptName);

/// Puts the kept file keptName of store back as file, only while file is still
/// what expected says: the kept file itself where it shares the folder's file
/// system (mode, owner and time as they were), else its bytes through an
/// atomic save that keeps the file's mode, with the kept file's time. The
/// kept file must still be what keptStamp says. Throws Failure.
void putBack(const Store &store, const QByteArray &keptName, const FileSystem::FileStamp &keptStamp,
             const FileSystem::FileAt &file, const FileSystem::FileStamp &expected);

/// The stamp of keptName in store (not followed); invalid when gone.
FileSystem::FileStamp stampIn(const Store &store, const QByteArray &keptName);

/// Removes the folder name of store with the files in it (a flat folder).
void removeFolder(const Store &store, const QString &name);
/// The names of the entries of store.
QList<QByteArray> namesIn(const Store &store);

/// Creates the private file name in store (0600, never an existing one). Throws Failure.
std::shared_ptr<const OpenDescriptor> createFile(const Store &store, const QString &name);
/// Appends bytes to a file createFile made, on disk before it returns. Throws Failure.
void append(const OpenDescriptor &file, const QByteArray &bytes, const QString &path);
/// The bytes of the file name in store when it is a private regular file of
/// the user's (a link, a FIFO or another's file is refused without being
/// opened for long or followed); else nullopt and why.
std::optional<QByteArray> readPrivate(const Store &store, const QString &name, QString &why);
/// Removes the file name of store.
void removeFile(const Store &store, const QString &name);
/// The stamp of a regular file (not followed); invalid for anything else or when gone.
FileSystem::FileStamp regularStamp(const FileSystem::FileAt &file);

/// Whether folder, entered as name, is a store of originals: one at a
/// mount's top, or a private folder this process opened under that name.
bool isStore(const QString &name, FileSystem::FolderHandle &folder);

/// Whether the process pid still runs.
bool processAlive(qint64 pid);

/// Makes keep() copy instead of linking or cloning (tests of other file systems).
void forceCopiesForTesting(bool forced);

}  // namespace KeptFiles
