#pragma once

#include "SearchEvents.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

/// What a run reports as it goes, its searches of the shown document among
/// them. The main window turns each event into its status texts, tool captions
/// and the viewer's list, labels and caption; tests and the command-line tool
/// record them.
class RunEvents : public SearchEvents {
public:
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
    /// Replace or Undo started at startTime.
    virtual void replaceStarted(const QString &startTime) = 0;
    /// Restore has started putting files back.
    virtual void restoreStarted() = 0;
    /// A folder removal is about to delete the file at path.
    virtual void deletingFile(const QString &path) = 0;
    /// A folder removal has deleted the folder at path.
    virtual void folderDeleted(const QString &path) = 0;

    // The list of files: kept here as the run reports it, so that the run
    // reads its own record rather than the viewer's list, and shown through
    // the three list hooks below.
    /// The run starts a new list of the files it finds or changes.
    void listCleared()
    {
        m_listed.clear();
        showListCleared();
    }
    /// Find found a match in the file at path.
    void fileMatched(const QString &path) { listFile(path); }
    /// Replace, Undo or Restore changed the file at path.
    void fileChanged(const QString &path) { listFile(path); }
    /// Files reported changed that could not be saved after all: the last
    /// listing of each goes.
    void filesUnlisted(const QStringList &paths)
    {
        for (const QString &path : paths) {
            const qsizetype at = m_listed.lastIndexOf(path);
            if (at >= 0)
                m_listed.removeAt(at);
        }
        showUnlisted(paths);
    }
    /// The files listed since the list was last cleared, in order.
    const QStringList &listed() const { return m_listed; }

    /// The first match of the document found is at position (-1: none); the
    /// viewer shows it beside the number of files listed.
    virtual void matchShown(qint32 position) = 0;
    /// The viewer's buffer holds a file as the run loaded it: the viewer keeps
    /// a copy, to tell later whether it was changed.
    virtual void documentLoaded() = 0;
    /// The viewer shows the file at path, the index-th of its list (0: its
    /// place is left as shown).
    virtual void documentShown(const QString &path, int index) = 0;

    /// Find through subfolders offers text to the viewer's own Find Next, in
    /// its find box.
    virtual void searchOfferedToViewer(const QString &text) = 0;
    /// Replace or Undo has ended: the viewer's find and replace boxes start empty.
    virtual void viewerSearchReset() = 0;
    /// The main window's find and replace boxes show find and replace: Undo
    /// shows the exchange it runs with, then the texts the user typed again.
    virtual void termsShown(const QString &find, const QString &replace) = 0;

protected:
    /// The list of files starts empty.
    virtual void showListCleared() = 0;
    /// path goes to the end of the list.
    virtual void showListed(const QString &path) = 0;
    /// The last listing of each of paths goes.
    virtual void showUnlisted(const QStringList &paths) = 0;

private:
    void listFile(const QString &path)
    {
        m_listed << path;
        showListed(path);
    }

    QStringList m_listed;
};
