#pragma once

#include "Failure.h"
#include "FolderHandle.h"

#include <QStringList>

#include <functional>

namespace FileSystem {

/// A depth-first walk of a folder tree by handle. The folders being walked
/// are kept on an explicit stack, so a tree of any depth costs no call stack,
/// and each folder is entered through its parent's handle (see FolderHandle).
struct TreeWalk {
    /// Called on each folder reached, the top first; appends the names of the
    /// subfolders to enter, in the order they are to be walked.
    std::function<void(FolderHandle &folder, QStringList &subfolders)> visit;
    /// Asked before each subfolder is entered: true ends the whole walk.
    std::function<bool()> isStopped;
    /// A subfolder could not be entered, visited or left (a failure below it
    /// that its own folder did not handle lands here too). True passes it over
    /// and the walk goes on; false, or no handler, ends the walk with failure.
    std::function<bool(const Failure &failure)> passOver;
    /// Everything below parent's subfolder name was walked; parent is open again.
    std::function<void(FolderHandle &parent, const QString &name)> left;

    /// Walks the tree below top, visiting top itself first.
    void run(const Folder &top) const;
};

}  // namespace FileSystem
