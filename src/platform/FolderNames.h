#pragma once

#include "FileSystem.h"

#include <QStringList>

#include <functional>

/// The names of one folder as the windows list them.
namespace FolderNames {

/// The names of folder's entries that keep takes, in case-insensitive order;
/// none when the folder cannot be read.
QStringList sorted(const QString &folder,
                   const std::function<bool(const FileSystem::Entry &)> &keep);

}  // namespace FolderNames
