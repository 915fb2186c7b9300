#pragma once

#include <QDateTime>
#include <QString>

/// Single-entry operations of the file and folder menus, and the facts the
/// properties dialog shows. Each operation that can fail throws Failure.
namespace FileSystem {

/// What the platform reports about one file (a symlink is followed).
struct FileDetails {
    bool found = false;
    qint64 size = 0;
    /// Last access in UTC; the start of 1601 when the file cannot be examined.
    QDateTime accessedUtc;
    /// Last change in local time; invalid when the file cannot be examined.
    QDateTime modified;
    /// The user may not write the file (or its owner write bit is clear).
    bool readOnly = false;
};

/// Facts about path; found stays false when it cannot be examined.
FileDetails fileDetails(const QString &path);

/// Moves from to to, never replacing an existing entry of that name.
void renameWithoutReplacing(const QString &from, const QString &to);

/// Renames the folder path to newName in its own parent. The parent is
/// resolved once and held open; the entry must be a folder of its own (no
/// link, no other mount) and still the very folder that was checked, and
/// neither the path as written nor the folder opened may be protected
/// (Paths::isProtectedFolder). An existing newName is never replaced.
void renameFolder(const QString &path, const QString &newName);

/// Creates one folder; throws when it exists or cannot be made.
void createFolder(const QString &path);

}  // namespace FileSystem
