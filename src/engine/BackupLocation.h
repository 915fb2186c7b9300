#pragma once

#include <QString>

/// The backup root chosen in the backup-location dialog.
class BackupLocation {
public:
    virtual ~BackupLocation() = default;
    /// R: the specified folder when "Specify location" is chosen, else the application folder.
    virtual QString backupRoot() = 0;
    /// Whether "Specify location" is chosen (the report names the folder then).
    virtual bool isSpecified() = 0;
    /// The dialog's OK action: stores the choice.
    virtual void commitChoice() = 0;
};

/// Where the copies of a folder's files go: below root's "Backup" folder, the
/// folder's whole path mirrored, so that two folders of the same name never
/// share copies, while a later run over the same folder replaces the earlier copy.
namespace BackupTree {

/// Why root cannot hold a backup tree: it is empty or not a full path (a
/// relative root would put the copies wherever the program happens to run).
/// Empty when it can.
QString rootProblem(const QString &root);

/// root followed by "Backup" and a separator.
QString treeRoot(const QString &root);

/// The folder holding the copies of folder's files, with a trailing separator:
/// treeRoot(root) followed by folder's absolute path (a drive letter or a
/// network host becomes a folder of its own).
QString mirrorOf(const QString &root, const QString &folder);

/// Creates mirrorOf(root, folder) level by level, ignoring failures (a level
/// usually exists); a copy into a folder that could not be made fails on its own.
QString makeMirror(const QString &root, const QString &folder);

}  // namespace BackupTree
