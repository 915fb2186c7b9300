#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/// Where a version-control working tree keeps the ignore rules that lie
/// outside its folders: its own exclude file and the user's excludes file.
namespace GitRepository {

/// A working tree: its top folder and the repository folder shared by all its
/// checkouts (where "info/exclude" and "config" live).
struct Location {
    QString top;
    QString commonFolder;
};

/// The working tree whose top is folder itself (it holds ".git"), if any.
/// folderDescriptor, when not -1, is the open folder, so that the walk's own
/// handle is asked rather than the name.
std::optional<Location> at(const QString &folder, int folderDescriptor = -1);

/// The working tree that holds folder (a real path, links resolved): folder
/// itself or the nearest folder above it with ".git".
std::optional<Location> containing(const QString &folder);

/// The excludes file that applies in location: core.excludesFile from the
/// repository's, the user's or the system's configuration (the nearest one
/// wins), else $XDG_CONFIG_HOME/git/ignore or ~/.config/git/ignore.
QString excludesFile(const Location &location);

/// Whether version control ignores letter case in location's names:
/// core.ignorecase from the same configuration files, false when unset.
bool ignoresCase(const Location &location);

/// The content of an ignore file; empty when it is missing, not a regular file
/// or a link (as version control, the rules never follow a link), or unreadable.
QByteArray readIgnoreFile(const QString &path);
/// The same for the entry name of the open folder folderDescriptor.
QByteArray readIgnoreFileAt(int folderDescriptor, const char *name);

}  // namespace GitRepository
