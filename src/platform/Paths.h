#pragma once

#include <QString>

/// Where the program keeps its own files, and path helpers shared by every layer.
namespace Paths {

/// Where the program writes its own files (report, error log, default backup
/// tree). On Linux the per-user data folder, never the executable's folder; on
/// Windows the executable's folder while it is writable, else the data folder.
QString applicationFolder();

/// The folder a fresh user's folder lists open on: the home folder on Linux,
/// the application folder on Windows.
QString startFolder();

/// Overrides the application folder (tests).
void setApplicationFolderForTesting(const QString &folder);

/// The path with exactly one trailing separator (a root keeps its own).
QString withTrailingSeparator(const QString &path);

/// Whether path is folder or lies below it (paths compared as written, cleaned).
bool isSameOrInside(const QString &path, const QString &folder);

/// True for the folders that no delete or rename may touch: the file system root,
/// every folder directly below it, the user's home folder, the folders holding
/// the program's own files (application folder, executable's folder, help file's folder), and any
/// folder that holds one of these.
bool isProtectedFolder(const QString &path);

}  // namespace Paths
