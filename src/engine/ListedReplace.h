#pragma once

#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>

struct RunContext;
struct RunState;
class ReadAhead;
class WalkFileReplace;

/// What the Replace walk has listed and the run has yet to replace, in the
/// walk's order: the walk lists a few folders ahead so that the read-ahead
/// never waits at the end of a folder. A failure met while listing waits its
/// turn, and so do the yields of a walk that replaced each folder as it listed
/// it (one per entry), so the log and where a stop lands stay what that walk
/// gives. Only without backups: those put mirror folders and their events
/// between the files.
class ListedReplace {
public:
    /// How many files the walk lists ahead of the one replaced.
    static constexpr qsizetype kListedAhead = 512;
    /// How many folders it holds open ahead: each keeps a descriptor, beside
    /// those of the saves waiting for their flush.
    static constexpr qsizetype kFoldersAhead = 16;

    ListedReplace(RunContext &ctx, const QString &pattern, WalkFileReplace &files,
                  ReadAhead &ahead);

    /// Lists folder, hands its subfolders to the walk and queues its files.
    /// Throws, as a walk that replaced the folder at once would have, without
    /// queueing a file that walk would not have reached.
    void list(FileSystem::FolderHandle &folder, bool isTopFolder, QStringList &subfolders);
    /// A failure of the walk itself, told at its turn.
    void addFailure(const QString &description);

    /// Replaces the files listed until at most keep are left, in at most
    /// kFoldersAhead folders; false when a stop came first.
    bool replaceUntil(qsizetype keep);
    /// Everything left, to the walk's last entry; false when a stop came first.
    bool finish();

private:
    struct Item {
        FileSystem::Folder folder;  // null for a failure
        FileSystem::Entry entry;
        FileSystem::FileAt built;  // when read ahead
        qsizetype ahead = -1;
        bool isChosen = false;
        QString failure;
        /// The entries yielded at before its turn, its own included.
        qsizetype yields = 0;
        bool isLastOfFolder = false;
    };

    void queue(QList<Item> &items, qsizetype count);
    bool yield(qsizetype count);
    bool takeNext();
    bool take(const Item &item);

    RunContext &m_ctx;
    RunState &m_s;
    const QString &m_pattern;
    WalkFileReplace &m_files;
    ReadAhead &m_ahead;
    std::deque<Item> m_items;
    qsizetype m_fileCount = 0;
    qsizetype m_folderCount = 0;
    /// Entries listed since the last item queued.
    qsizetype m_yields = 0;
};
