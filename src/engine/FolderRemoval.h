#pragma once

#include <QString>

class MainPort;

/// Deletes the files of topFolder that match pattern, then, depth first, every
/// subfolder with its contents; the folder itself stays for the caller to
/// remove. Hidden entries are not listed, links are removed as links, and a
/// folder on another file system is not entered. Shows progress in status
/// panel 2 and yields between entries. The first failure (a Failure) ends the
/// whole call; what was deleted before it stays deleted.
void deleteFolderContents(MainPort &main, const QString &topFolder, const QString &pattern);

/// The guarded removal of a whole folder tree that the folder picker and the
/// main window's folder menu offer.
namespace FolderRemoval {

/// Throws Failure when folder is one that nothing may remove (the file-system
/// root, a folder directly below it, the home folder, the program's folders
/// and any folder holding one of these) or is not a real folder. Callers check
/// this before asking the user.
void refuseProtected(const QString &folder);

/// What follows the user's Yes: the check above, deleteFolderContents with "*.*",
/// then the folder itself.
void removeTree(MainPort &main, const QString &folder);

}  // namespace FolderRemoval
