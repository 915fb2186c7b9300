#pragma once

#include <QString>

class MainPort;
class RunEvents;

/// Deletes the files of topFolder that match pattern, then, depth first, every
/// subfolder with its contents; the folder itself stays for the caller to
/// remove. Hidden entries are not listed, links are removed as links, and a
/// folder on another file system is not entered. Reports each file and folder
/// to events and yields between entries. The first failure (a Failure) ends the
/// whole call; what was deleted before it stays deleted.
void deleteFolderContents(MainPort &main, RunEvents &events, const QString &topFolder,
                          const QString &pattern);

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
void removeTree(MainPort &main, RunEvents &events, const QString &folder);

}  // namespace FolderRemoval
