#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class OpenDescriptor;

namespace FileSystem {
class OriginalKeeper;
}

/// The file system as the runs and windows need it. Every operation that can
/// fail throws Failure with a description fit for the user and the error log.
///
/// Paths are QStrings. On Unix a name byte that is not valid UTF-8 is carried as
/// the lone surrogate U+DC80+byte (as Python's surrogateescape does), so every
/// name a listing returns can be opened again; use nativePath() for system calls.
namespace FileSystem {

enum class EntryKind {
    File,        ///< regular file, or a symlink to one
    Folder,      ///< real folder (never a symlink)
    FolderLink,  ///< symlink to a folder: walks never descend into it
    Special,     ///< FIFO, socket, device, dangling link: never opened
};

struct Entry {
    QString name;
    EntryKind kind = EntryKind::File;
    bool isLink = false;    ///< a symbolic link; kind tells what it points to
    bool isHidden = false;  ///< hidden: on Unix, the name starts with "."
};

/// Every entry of the folder except "." and "..", in the platform's order,
/// without skipping any name. Throws when the folder cannot be listed.
QList<Entry> listFolder(const QString &folder);

/// The path as the operating system takes it (undoes the surrogate escape).
QByteArray nativePath(const QString &path);
/// The path as a QString, escaping bytes that are not valid UTF-8.
QString fromNativePath(QByteArrayView path);

/// Whole content of a regular file (follows a symlink). Throws for folders,
/// FIFOs, sockets and devices without blocking, and on any read error.
QByteArray readFile(const QString &path);

/// readFile for a file of at most limit bytes (any size when limit is
/// negative); nullopt, without reading, for a larger one. listedRegular: a
/// listing has just shown a regular file there, so no stat precedes the open.
std::optional<QByteArray> readFileUpTo(const QString &path, qint64 limit,
                                       bool listedRegular = false);

/// The same file given to piece() a piece at a time, so that a large file is
/// never held whole; piece() returns false to stop reading.
void readFileInPieces(const QString &path, qsizetype pieceSize,
                      const std::function<bool(QByteArrayView)> &piece);

/// Replaces the file's content atomically: an unnamed temporary file on the
/// target's file system (a named one where the system refuses that), every
/// write checked, flushed to disk, named only for the instant before it is
/// renamed over the file, so a kill at any moment leaves no stray file. Keeps the mode
/// and, where the process may, the owner. When path is a symlink its target is
/// written and the link stays. On any failure the original stays as it was.
void writeFileAtomic(const QString &path, const QByteArray &bytes);

/// How many files the process may hold open, raised towards wanted where the
/// system allows it (saves waiting for one flush each hold their file open).
qsizetype openFilesAllowed(qsizetype wanted);

/// What a save compares to be sure it replaces the very file that was read:
/// device, inode, size and modification time in nanoseconds.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    bool isValid() const { return size >= 0; }
    bool operator==(const FileStamp &) const = default;
};

/// Produces a file's content piece by piece; an empty piece ends it.
using PieceSource = std::function<QByteArray()>;

/// The same save with the content made while it is written, so a large file
/// needs no second full copy in memory. An exception from next() (or any
/// failure) leaves the original as it was.
void writeFileAtomic(const QString &path, const PieceSource &next);

/// Makes saves use a named temporary file, as where unnamed ones are refused (tests).
void forceNamedTemporaryForTesting(bool forced);

/// Saves that are written at once but flushed together and then put in place
/// in order, so that one flush of the file system serves many files. Until
/// commit() each file is an unnamed temporary file: a kill leaves the targets
/// as they were.
class PendingSaves {
public:
    PendingSaves() = default;
    PendingSaves(const PendingSaves &) = delete;
    PendingSaves &operator=(const PendingSaves &) = delete;
    /// Drops every save not committed; their targets stay as they were.
    ~PendingSaves();

    qsizetype size() const { return m_items.size(); }
    /// Descriptors the waiting saves hold open: each its temporary file, and
    /// the folders they are in (one per run of saves into the same folder).
    qsizetype descriptors() const { return m_items.size() + m_folders; }
    /// Flushes and renames each file over its target, in order. Returns one
    /// text per file: empty when it was put in place, else why not; a file
    /// that fails is left as it was and the others still go in place.
    /// pause, when given, is called while the flush waits for the disk and
    /// between two renames, so a window can answer meanwhile; the commit
    /// goes on to its end whatever pause does.
    QStringList commit(const std::function<void()> &pause = {});
    /// Has keeper keep each target's file just before the saves replace them;
    /// a save whose original cannot be kept is not put in place.
    void setKeeper(OriginalKeeper *keeper) { m_keeper = keeper; }

    struct Item {
        int fd = -1;
        QByteArray temp;  ///< a named temporary file's name in folder
        std::shared_ptr<const OpenDescriptor> folder;
        QByteArray name;  ///< the target's name in folder
        QString path;
        FileStamp expected;  ///< when valid, what name must still refer to
        qint32 count = 0;    ///< what the caller counts for this save (its replacements)
    };
    QList<Item> m_items;
    /// Adds a written save to wait for commit().
    void add(const Item &item);

private:
    qsizetype m_folders = 0;
    OriginalKeeper *m_keeper = nullptr;
};

/// Keeps the files a batch of saves is about to replace, so that they can be
/// put back later (Restore).
class OriginalKeeper {
public:
    virtual ~OriginalKeeper() = default;
    /// Called after the saves were flushed and before any is renamed into
    /// place; returns one text per save: empty when its target's file is kept
    /// (and recorded on disk), else why not.
    virtual QStringList keep(const QList<PendingSaves::Item> &items) = 0;
};

/// writeFileAtomic up to the flush: the file waits in pending for commit().
/// Failures while writing throw at once and leave nothing waiting.
void writeFileAtomic(const QString &path, const PieceSource &next, PendingSaves &pending);

/// The last step of a save (internal): flush unless done, rename into place.
void finishSave(PendingSaves::Item &item, bool flush);

/// A source that yields bytes once.
PieceSource onePiece(const QByteArray &bytes);

/// "Clear attributes": gives the owner write permission. Throws on failure.
void clearAttributes(const QString &path);

/// Copies a file's content to target, replacing an existing copy. Throws on failure.
void copyFile(const QString &source, const QString &target);

/// Creates one folder; returns false (no throw) when it cannot, e.g. because it exists.
bool makeFolder(const QString &path);

/// What tells files apart whatever name reaches them (links followed): device
/// and inode on Unix, the canonical path elsewhere. Empty when path names nothing.
QString fileIdentity(const QString &path);

bool isFolder(const QString &path);
bool exists(const QString &path);
qint64 fileSize(const QString &path);

}  // namespace FileSystem
