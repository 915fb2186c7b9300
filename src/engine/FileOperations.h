#pragma once

#include <QString>

class Dialogs;

/// The file and folder operations of the main window's pop-up menus, on names
/// the user typed. A name is one entry of the folder shown: one holding a path
/// separator is refused, so nothing lands outside that folder. Every operation
/// throws Failure with a description for the user and the error log.
namespace FileOperations {

/// folder + the typed name; throws when the name is empty, ".", ".." or holds
/// a separator or NUL.
QString childPath(const QString &folder, const QString &name);

/// Renames folder/oldName to folder/newName; an existing newName is never replaced.
void renameFile(const QString &folder, const QString &oldName, const QString &newName);

/// Asks whether path may be deleted for good ("Delete file?", No by default).
bool confirmFileDeletion(Dialogs &dialogs, const QString &path);

/// Deletes the file (not to the trash). Needs only the folder's permission.
void deleteFile(const QString &path);

/// Creates folder/name.
void createFolder(const QString &folder, const QString &name);

/// Renames the folder in its own parent and returns its new path. Protected
/// folders (Paths::isProtectedFolder) are refused, as is an existing name.
QString renameFolder(const QString &path, const QString &newName);

}  // namespace FileOperations
