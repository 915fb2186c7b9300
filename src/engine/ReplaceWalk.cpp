#include "ReplaceWalk.h"

#include "BackupLocation.h"
#include "BytePrefilter.h"
#include "LargeFileReplace.h"
#include "MainPort.h"
#include "MatchPrimitives.h"
#include "ReadAhead.h"
#include "ReplaceSteps.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunReplacement.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "SaveQueue.h"
#include "ViewerPort.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/Paths.h"
#include "platform/TreeWalk.h"
#include "settings/LogSources.h"

#include <QDir>
#include <QStringList>

using namespace ReplaceSteps;
using namespace RunSupport;

namespace {

// Better no change than a change without its backup: this ends the walk.
class BackupFailed : public Failure {
public:
    using Failure::Failure;
};

// One folder of the walk. It reaches every entry through the open folder that
// listed it, and saves a file only while it is still the file that was read.
// An entry that cannot be listed, read or written is logged, counted and
// passed over; a backup copy that cannot be made still ends the walk before
// its file changes.
class FolderReplace {
public:
    FolderReplace(RunContext &ctx, FileSystem::FolderHandle &folder, bool isTopFolder,
                  const QString &pattern, SaveQueue &saves, ReadAhead &ahead,
                  QStringList &subfolders)
        : m_ctx(ctx),
          m_s(ctx.state),
          m_r(ctx.request),
          m_folder(folder),
          m_isTopFolder(isTopFolder),
          m_pattern(pattern),
          m_saves(saves),
          m_ahead(ahead),
          m_subfolders(subfolders),
          m_prefix(folder.path()),
          m_backup(m_r.hasBackup() && !m_s.undoInProgress && !m_s.previewSink)
    {
    }

    void run();

private:
    enum class Next { Go, Stop };
    enum class Load { Skipped, RuledOut, Loaded, Large };

    void enterSubfolder(const FileSystem::Entry &e);
    bool isChosen(const FileSystem::Entry &e) const;
    void readAhead(const QList<FileSystem::Entry> &entries);
    bool takesFile(const FileSystem::Entry &e, qsizetype i) const;
    Next replaceFile(const FileSystem::Entry &e, qsizetype ahead);
    Load load(const FileSystem::Entry &e, FileSystem::FileAt &file, qsizetype ahead,
              bool large = true);
    PreRead takeRead(const FileSystem::FileAt &file, qsizetype ahead);
    Next findFirst(bool &found);
    void backUp(const FileSystem::FileAt &file, const QString &path, const QString &name);
    void save(const QString &path, qint32 totalBefore);

    RunContext &m_ctx;
    RunState &m_s;
    const RunRequest &m_r;
    FileSystem::FolderHandle &m_folder;
    const bool m_isTopFolder;
    const QString &m_pattern;
    SaveQueue &m_saves;
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
        if (takesFile(e, i) && replaceFile(e, m_aheadIndex.at(i)) == Next::Stop)
            return;
    }
}

// Whether the user's selection and ticks leave the file to the run.
bool FolderReplace::isChosen(const FileSystem::Entry &e) const
{
    return !(m_isTopFolder && !m_s.selectedTopFiles.contains(e.name)) &&
           !skipsUnticked(m_s, m_prefix + e.name);
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
        if (e.isLink || !m_byPattern.at(i) || !isChosen(e))
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
    return isChosen(e);
}

FolderReplace::Next FolderReplace::replaceFile(const FileSystem::Entry &e, qsizetype ahead)
{
    const QString path = m_prefix + e.name;
    FileSystem::FileAt file;
    Load loaded = load(e, file, ahead);
    if (loaded == Load::Large) {
        // Replaced as it is read, unless only the whole text can tell.
        if (LargeFileReplace::replace(m_ctx, file, &m_saves, [&] { backUp(file, path, e.name); }))
            return m_s.stopRequested ? Next::Stop : Next::Go;
        loaded = load(e, file, ahead, false);
    }
    switch (loaded) {
    case Load::Large:
    case Load::Skipped:
        return Next::Go;
    case Load::RuledOut:
        // Nothing to replace, as the search would have found.
        m_s.foundPosition = -1;
        m_ctx.main->yieldToEvents();
        return m_s.stopRequested ? Next::Stop : Next::Go;
    case Load::Loaded:
        break;
    }
    bool found = false;
    if (findFirst(found) == Next::Stop)
        return Next::Stop;
    // A binary file is passed over before anything is copied.
    if (!found || passedOverAsBinary(m_ctx))
        return Next::Go;
    const TickedFile *ticked = tickedFileOf(m_s, path);
    if (!stillAsPreviewed(m_ctx, ticked))
        return Next::Go;
    backUp(file, path, e.name);
    const qint32 totalBefore = m_s.totalReplacements;
    if (replaceLoadedFileTicked(m_ctx, ticked) && !m_s.previewSink)
        save(path, totalBefore);
    return Next::Go;
}

// The file's bytes as read ahead; a file outside that list is read now.
PreRead FolderReplace::takeRead(const FileSystem::FileAt &file, qsizetype ahead)
{
    if (ahead < 0)
        return PreRead::of(file, m_ahead.filter());
    return m_ahead.take(ahead);
}

FolderReplace::Load FolderReplace::load(const FileSystem::Entry &e, FileSystem::FileAt &file,
                                        qsizetype ahead, bool large)
{
    bool loaded = false;
    bool read = false;
    try {
        file = ahead >= 0 ? m_aheadFiles.at(ahead) : walkedFile(m_folder, e);
        // Another name of a file this run changed (a link, a second pattern);
        // one still waiting to be saved is put in place first. Until the run
        // has saved something (a preview never does) there is nothing to ask.
        if (!m_saves.isEmpty() || !m_s.changedIdentities.isEmpty()) {
            QString identity = file.identity();
            if (m_saves.holds(identity)) {
                m_saves.commit(m_ctx);
                identity = file.identity();  // the save gave it a new one
            }
            if (!identity.isEmpty() && m_s.changedIdentities.contains(identity))
                return Load::Skipped;
        }
        if (large && LargeFileReplace::takes(m_ctx, file))
            return Load::Large;
        read = unlessTooLarge(m_ctx, kSentence, LogSource::replaceCommand,
                              [&] { loaded = loadPreRead(m_ctx, file, takeRead(file, ahead)); });
    } catch (const Failure &failure) {
        passOver(m_ctx, kWalkSource, failure.description());
    }
    if (!read)
        return Load::Skipped;
    return loaded ? Load::Loaded : Load::RuledOut;
}

FolderReplace::Next FolderReplace::findFirst(bool &found)
{
    qint32 start = 0;
    qint32 position;
    if (m_r.isFuzzy()) {
        if (m_r.firstPart().isEmpty())
            return Next::Stop;
        position = findFuzzyInBuffer(m_ctx, start);
    } else {
        position = findInBuffer(m_ctx, start);
    }
    if (m_s.stopRequested)
        return Next::Stop;
    found = position != -1;
    return Next::Go;
}

void FolderReplace::backUp(const FileSystem::FileAt &file, const QString &path, const QString &name)
{
    // A file whose save failed may be taken again by the next pattern; its
    // copy must stay the one taken before.
    if (!m_backup || m_s.backedUpThisRun.contains(path))
        return;
    const QString copyFolder = BackupTree::mirrorOf(m_ctx.backup->backupRoot(), m_prefix);
    FileSystem::makeFolder(copyFolder);
    try {
        FileSystem::copyFile(file, copyFolder + name);
    } catch (const Failure &failure) {
        throw BackupFailed(failure.description());
    }
    m_s.backedUpThisRun.insert(path);
    m_s.backupCopies.insert(path, copyFolder + name);
}

void FolderReplace::save(const QString &path, qint32 totalBefore)
{
    // Saved only when the text changed, as for selected files: a file whose
    // replacements left it identical has no entry, so entries add up to the total.
    if (!isListedLast(m_ctx, path))
        return;
    try {
        saveOrUnlist(m_ctx, path, totalBefore, [&] { m_saves.add(m_ctx, path, totalBefore); });
    } catch (const Failure &failure) {
        passOver(m_ctx, kWalkSource, failure.description());
    }
    if (m_saves.isFull())
        m_saves.commit(m_ctx);
}

}  // namespace

void replaceInTree(RunContext &ctx, QString &topFolder, QString &pattern)
{
    topFolder = Paths::withTrailingSeparator(topFolder);
    const FileSystem::Folder top = FileSystem::FolderHandle::open(topFolder);
    // Every save the walk wrote reaches the disk before the walk is over, even
    // when it ends on an error.
    SaveQueue saves;
    // The next files are read while the ones before them are replaced (and,
    // in a preview, their replacements worked out).
    ReadAhead ahead(prefilterFor(ctx.request), true, 0, firstMatchSearchFor(ctx.request),
                    previewReplacementFor(ctx));
    try {
        FileSystem::TreeWalk walk;
        walk.visit = [&](FileSystem::FolderHandle &folder, QStringList &subfolders) {
            FolderReplace(ctx, folder, &folder == top.get(), pattern, saves, ahead, subfolders)
                .run();
        };
        walk.isStopped = [&] { return ctx.state.stopRequested; };
        walk.passOver = [&](const Failure &failure) {
            if (dynamic_cast<const BackupFailed *>(&failure))
                return false;
            passOver(ctx, kWalkSource, failure.description());
            return true;
        };
        walk.run(top);
    } catch (...) {
        saves.commit(ctx);
        throw;
    }
    saves.commit(ctx);
}
