#pragma once

#include "Failure.h"
#include "FileSystem.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

/// Walking a folder tree by handle, the way rm -r and find do: every entry is
/// reached relative to the open folder that listed it, never by its name from
/// the root again, so nothing swapped in meanwhile (a link, another mount) can
/// lead a walk, a save or a removal out of the tree.
namespace FileSystem {

/// A folder entry that a walk passes over because it is not what it was
/// listed as (a link or another mount now) or cannot be opened.
class PassedOver : public Failure {
public:
    using Failure::Failure;
};

class FolderHandle;
using Folder = std::shared_ptr<FolderHandle>;

/// One entry of a held folder.
struct FileAt {
    Folder folder;
    QString name;
    QString path;  ///< as shown to the user and listed
    /// The folder's descriptor, taken on the walk's thread, so that another
    /// thread reading the file never touches the handle. Optional.
    std::shared_ptr<const OpenDescriptor> held;
    bool isValid() const { return bool(folder); }
    /// The folder's descriptor to reach the file through.
    int folderDescriptor() const;

    /// The file path names, every link in the path resolved once (a link the
    /// user selected leads to its target); later steps go through that folder.
    static FileAt resolve(const QString &path);
    /// The entry as it stands now (a link is not followed); invalid when gone.
    FileStamp stamp() const;
    /// Device and inode of the entry (not followed), as FileSystem::fileIdentity gives them.
    QString identity() const;
};

/// An open folder of a walk. Holds its descriptor while it is walked; deep
/// below, the descriptors of folders far up are closed and opened again on
/// the way back (from the child's "..", identity checked), so any depth
/// works with a bounded number of descriptors.
class FolderHandle : public std::enable_shared_from_this<FolderHandle> {
public:
    ~FolderHandle();
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    /// Opens a folder the user chose (links in the path resolved once; with
    /// followLink false a link as the last name is refused). Throws Failure
    /// when it is not a folder or cannot be opened.
    static Folder open(const QString &path, bool followLink = true);
    /// Where the open folder lies now, every link resolved; empty when unknown.
    QString realPath() const;

    /// The path given to open() with the names below it, with a trailing separator.
    const QString &path() const { return m_path; }
    /// Device and inode, as FileSystem::fileIdentity gives them.
    QString identity() const;
    /// Whether folder (a path) names this very folder now.
    bool isSameAs(const QString &folder) const;

    /// Device and inode of the entry name (a link not followed); empty when gone.
    QString entryIdentity(const QString &name);

    /// Every entry except "." and "..", as FileSystem::listFolder gives them.
    QList<Entry> list();

    /// Opens the subfolder name without following a link and without leaving
    /// this mount (bind mounts included). Throws PassedOver when name is no
    /// longer a folder of this mount, Failure when it cannot be opened.
    Folder openChild(const QString &name);

    /// Removes the entry name (a file, a link as a link, a FIFO...).
    void removeFile(const QString &name);
    /// Removes the empty subfolder name.
    void removeFolder(const QString &name);
    /// Renames the entry name to newName in this folder, never replacing an
    /// existing entry, and only while name is still the entry expectedIdentity
    /// (as identity() gives it) names; otherwise throws and nothing changes.
    void renameEntry(const QString &name, const QString &newName, const QString &expectedIdentity);

    /// The open descriptor (opened again when it was set aside). Internal.
    int descriptor();
    /// The same, shared, for a save or a read that may outlive the walk's stay. Internal.
    std::shared_ptr<const OpenDescriptor> held();

private:
    friend struct TreeWalk;  // restores a folder's descriptor on the way back up

    FolderHandle() = default;
    void setAside();
    void reopenFrom(FolderHandle &child);

    std::shared_ptr<const OpenDescriptor> m_fd;
    Folder m_parent;
    QByteArray m_name;
    QString m_path;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    quint64 m_mount = 0;
    int m_depth = 0;
};

/// The whole content of a regular file reached without following a link,
/// when it is at most limit bytes (any size when negative); nullopt for a
/// larger one. stamp, when given, receives what was read.
std::optional<QByteArray> readFileUpTo(const FileAt &file, qint64 limit,
                                       FileStamp *stamp = nullptr);
/// readFileUpTo into bytes, reusing the room they have, so that reading many
/// files in turn needs no allocation each; false (bytes untouched) for a file
/// larger than limit.
bool readFileInto(const FileAt &file, qint64 limit, QByteArray &bytes, FileStamp *stamp = nullptr);

/// readFileInPieces for a file reached without following a link.
void readFileInPieces(const FileAt &file, qsizetype pieceSize,
                      const std::function<bool(QByteArrayView)> &piece, FileStamp *stamp = nullptr);

/// Up to size bytes of a file reached without following a link, from offset
/// on (fewer only at its end), for a reader that asks for each piece in turn;
/// stamp receives what the file is now.
QByteArray readFilePiece(const FileAt &file, qint64 offset, qsizetype size,
                         FileStamp *stamp = nullptr);

/// writeFileAtomic into the folder that was read: the temporary file is made
/// in that folder and renamed in relative to it, only while the name still
/// refers to the file expected (same device, inode, size and time); otherwise
/// Failure "... was changed by another program ..." and the file is left as
/// it is. With pending, the file waits for commit(), which checks again.
void writeFileAtomic(const FileAt &file, const FileStamp &expected, const PieceSource &next,
                     PendingSaves *pending = nullptr);

/// clearAttributes for a file reached without following a link.
void clearAttributes(const FileAt &file);

/// copyFile from a file reached without following a link.
void copyFile(const FileAt &source, const QString &target);

/// Calls hook with each path a walk is about to open (tests make their races here).
void setBeforeOpenHookForTesting(std::function<void(const QString &path)> hook);

}  // namespace FileSystem
