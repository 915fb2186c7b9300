#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

/// The deleting half of the file system, kept apart from reading and saving.
/// Nothing here follows a symbolic link: a link is removed as a link.
namespace FileSystem {

/// Deletes a file, a symbolic link (never its target) or another non-folder
/// entry. Throws Failure naming the entry when it cannot.
void removeFile(const QString &path);

/// Removes an empty folder. Throws Failure naming the folder when it cannot
/// (for instance because it still holds a hidden file).
void removeEmptyFolder(const QString &path);

/// The file system (device) a real folder lives on; nothing when path is not a
/// folder or is a symbolic link to one. A trailing separator is ignored.
std::optional<quint64> folderDevice(const QString &path);

}  // namespace FileSystem
