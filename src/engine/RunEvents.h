#pragma once

#include <QString>

/// What a run reports as it goes. The main window turns each event into its
/// status texts and tool captions; tests and the command-line tool record them.
class RunEvents {
public:
    virtual ~RunEvents() = default;

    /// Nothing is under way to show: at a run's end, or before it refuses.
    virtual void idle() = 0;
    /// The request was refused before any file was read.
    virtual void requestRefused() = 0;
    /// Find has ended; its tool offers a new Find.
    virtual void findEnded() = 0;
    /// The run is searching the file at path.
    virtual void fileSearched(const QString &path) = 0;
    /// Find through the file list has searched its number-th file for text.
    virtual void listedFileSearched(const QString &text, int number) = 0;
    /// Find has found matches in count files so far.
    virtual void filesFound(int count) = 0;
    /// Replace or Undo has made total replacements so far.
    virtual void replacementsMade(int total) = 0;
    /// Replace made the backup tree's folder (shown without its root) for its copies.
    virtual void backupFolderMade(const QString &folder) = 0;
    /// Restore has started putting files back.
    virtual void restoreStarted() = 0;
};
