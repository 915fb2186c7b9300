#pragma once

#include <QString>

/// Where the program keeps its own files, and path helpers shared by every layer.
namespace Paths {

/// The executable's folder, or the per-user data folder when that one is not
/// writable (an installed program). Report, error log and default backups live here.
QString applicationFolder();

/// Overrides the application folder (tests).
void setApplicationFolderForTesting(const QString &folder);

/// The path with exactly one trailing separator (a root keeps its own).
QString withTrailingSeparator(const QString &path);

/// True for the folders that no delete or rename may touch: the file system root,
/// every folder directly below it, and the user's home folder.
bool isProtectedFolder(const QString &path);

}  // namespace Paths
