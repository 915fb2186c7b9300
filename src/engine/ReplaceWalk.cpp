#include "ReplaceWalk.h"

#include "BackupLocation.h"
#include "BytePrefilter.h"
#include "ListedReplace.h"
#include "MainPort.h"
#include "ReadAhead.h"
#include "ReplaceSteps.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunReplacement.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "SaveQueue.h"
#include "WalkFileReplace.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/Paths.h"
#include "platform/TreeWalk.h"
#include "settings/LogSources.h"

#include <QDir>
#include <QStringList>

#include <functional>

using namespace ReplaceSteps;
using namespace RunSupport;

namespace {

// Better no change than a change without its backup: this ends the walk.
class BackupFailed : public Failure {
public:
    using Failure::Failure;
};

using Next = WalkFileReplace::Next;

bool makesBackups(const RunContext &ctx)
{
    return ctx.request.hasBackup() && !ctx.state.undoInProgress && !ctx.state.previewSink;
}

// One folder of the walk, replaced as soon as it is listed (with backups, each
// subfolder's mirror is made at its turn among the files). It reaches every
// entry through the open folder that listed it. A folder that cannot be
// listed is logged, counted and passed over; a backup copy that cannot be
// made still ends the walk before its file changes.
class FolderReplace {
public:
    FolderReplace(RunContext &ctx, FileSystem::FolderHandle &folder, bool isTopFolder,
                  const QString &pattern, WalkFileReplace &files, ReadAhead &ahead,
                  QStringList &subfolders)
        : m_ctx(ctx),
          m_s(ctx.state),
          m_folder(folder),
          m_isTopFolder(isTopFolder),
          m_pattern(pattern),
          m_files(files),
          m_ahead(ahead),
          m_subfolders(subfolders),
          m_prefix(folder.path()),
          m_backup(makesBackups(ctx))
    {
    }

    void run();

private:
    void enterSubfolder(const FileSystem::Entry &e);
    void readAhead(const QList<FileSystem::Entry> &entries);
    bool takesFile(const FileSystem::Entry &e, qsizetype i) const;
    void backUp(const FileSystem::FileAt &file, const QString &path, const QString &name);

    RunContext &m_ctx;
    RunState &m_s;
    FileSystem::FolderHandle &m_folder;
    const bool m_isTopFolder;
    const QString &m_pattern;
    WalkFileReplace &m_files;
    ReadAhead &m_ahead;
    QStringList &m_subfolders;
    const QString m_prefix;
    const bool m_backup;
    QString m_backupTree;
    /// For each entry, its place among the files read ahead, or -1.
    QList<qsizetype> m_aheadIndex;
    /// The files read ahead, as the walk reached them.
    QList<FileSystem::FileAt> m_aheadFiles;
    /// For each entry, whether the pattern and the walk's rules take its name.
    QList<bool> m_byPattern;
};

void FolderReplace::run()
{
    if (m_backup && m_isTopFolder)
        BackupTree::makeMirror(m_ctx.backup->backupRoot(), m_prefix);
    QList<FileSystem::Entry> entries;
    try {
        entries = m_folder.list();
    } catch (const Failure &failure) {
        passOver(m_ctx, kWalkSource, failure.description());
        return;
    }
    // Told apart by identity: resolving paths costs a step per folder of the
    // path, which grows with the depth of the tree.
    if (m_backup)
        m_backupTree = FileSystem::fileIdentity(backupTreeRoot(m_ctx));
    readAhead(entries);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const FileSystem::Entry &e = entries.at(i);
        m_ctx.main->yieldToEvents();
        if (m_s.stopRequested)
            return;
        if (walksInto(e)) {
            enterSubfolder(e);
            continue;
        }
        if (!walksFile(e, m_isTopFolder))
            continue;
        if (m_s.stopRequested)
            return;
        if (!takesFile(e, i))
            continue;
        const QString path = m_prefix + e.name;
        const qsizetype ahead = m_aheadIndex.at(i);
        WalkFileReplace::BackUp backUpFile;
        if (m_backup)
            backUpFile = [&](const FileSystem::FileAt &file) { backUp(file, path, e.name); };
        const WalkFileReplace::Turn turn{m_folder, e, path,
                                         ahead >= 0 ? &m_aheadFiles.at(ahead) : nullptr, ahead};
        if (m_files.replace(turn, backUpFile) == Next::Stop)
            return;
    }
}

// Decides, once per entry, which files the loop below takes, and reads them
// ahead; links are read when their turn comes.
void FolderReplace::readAhead(const QList<FileSystem::Entry> &entries)
{
    m_aheadFiles.clear();
    m_aheadIndex.fill(-1, entries.size());
    m_byPattern.fill(false, entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const FileSystem::Entry &e = entries.at(i);
        if (walksInto(e) || !walksFile(e, m_isTopFolder))
            continue;
        // The file list's own rule, so a walk takes only names a list would show.
        m_byPattern[i] = matchesWildcard(e.name, m_pattern) && m_s.walkRules.takesFile(m_folder, e);
        if (e.isLink || !m_byPattern.at(i) ||
            !WalkFileReplace::isChosen(m_s, m_prefix, e, m_isTopFolder))
            continue;
        m_aheadIndex[i] = m_aheadFiles.size();
        m_aheadFiles.append(walkedFile(m_folder, e));
    }
    m_ahead.begin(m_aheadFiles);
}

void FolderReplace::enterSubfolder(const FileSystem::Entry &e)
{
    if (!m_s.walkRules.entersFolder(m_folder, e))
        return;
    const QString folderPath = m_prefix + e.name + QDir::separator();
    // The backups this run writes are never walked, or it would rewrite
    // them; with backups off such a folder is one like any other.
    if (!m_backupTree.isEmpty() && m_folder.entryIdentity(e.name) == m_backupTree)
        return;
    storeSubfolder(m_subfolders, e.name);
    if (!m_backup)
        return;
    const QString copyFolder = BackupTree::mirrorOf(m_ctx.backup->backupRoot(), folderPath);
    QString shown = copyFolder.mid(backupTreeRoot(m_ctx).size());
    shown.chop(1);
    m_ctx.events->backupFolderMade(shown);
    FileSystem::makeFolder(copyFolder);
}

bool FolderReplace::takesFile(const FileSystem::Entry &e, qsizetype i) const
{
    if (!m_byPattern.at(i))
        return false;
    showSearching(m_ctx, m_prefix + e.name);
    return WalkFileReplace::isChosen(m_s, m_prefix, e, m_isTopFolder);
}

void FolderReplace::backUp(const FileSystem::FileAt &file, const QString &path, const QString &name)
{
    // A file whose save failed may be taken again by the next pattern; its
    // copy must stay the one taken before.
    if (m_s.backedUpThisRun.contains(path))
        return;
    const QString copyFolder = BackupTree::mirrorOf(m_ctx.backup->backupRoot(), m_prefix);
    FileSystem::makeFolder(copyFolder);
    try {
        FileSystem::copyFile(file, copyFolder + name);
    } catch (const Failure &failure) {
        throw BackupFailed(failure.description());
    }
    m_s.backedUpThisRun.insert(path);
}

}  // namespace

void replaceInTree(RunContext &ctx, QString &topFolder, QString &pattern)
{
    topFolder = Paths::withTrailingSeparator(topFolder);
    const FileSystem::Folder top = FileSystem::FolderHandle::open(topFolder);
    // Every save the walk wrote reaches the disk before the walk is over, even
    // when it ends on an error.
    SaveQueue saves;
    // The next files are read, searched and told binary or not while the ones
    // before them are replaced (and, in a preview, their replacements worked out).
    ReadAhead ahead(prefilterFor(ctx.request), true, 0,
                    {firstMatchSearchFor(ctx.request), true, previewReplacementFor(ctx)});
    WalkFileReplace files(ctx, saves, ahead);
    // Without workers there is nothing to gain from listing ahead.
    const bool listsAhead = !makesBackups(ctx) && ahead.filter().isActive();
    ListedReplace listed(ctx, pattern, files, ahead);
    bool going = true;
    try {
        FileSystem::TreeWalk walk;
        walk.visit = [&](FileSystem::FolderHandle &folder, QStringList &subfolders) {
            const bool isTop = &folder == top.get();
            if (!listsAhead) {
                FolderReplace(ctx, folder, isTop, pattern, files, ahead, subfolders).run();
                return;
            }
            try {
                listed.list(folder, isTop, subfolders);
            } catch (const Failure &) {
                // Below the top, the walk passes the folder over; at the top it
                // ends, after the files before the failure (unless a stop comes first).
                if (isTop)
                    going = listed.finish();
                if (going)
                    throw;
                return;
            }
            going = listed.replaceUntil(ListedReplace::kListedAhead);
        };
        walk.isStopped = [&] { return !going || ctx.state.stopRequested; };
        walk.passOver = [&](const Failure &failure) {
            if (dynamic_cast<const BackupFailed *>(&failure))
                return false;
            if (listsAhead)
                listed.addFailure(failure.description());
            else
                passOver(ctx, kWalkSource, failure.description());
            return true;
        };
        walk.run(top);
        if (going)
            listed.finish();
    } catch (...) {
        saves.commit(ctx);
        throw;
    }
    saves.commit(ctx);
}
