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

#include <deque>
#include <functional>

using namespace ReplaceSteps;
using namespace RunSupport;

namespace {

// Better no change than a change without its backup: this ends the walk.
class BackupFailed : public Failure {
public:
    using Failure::Failure;
};

enum class Next { Go, Stop };

bool makesBackups(const RunContext &ctx)
{
    return ctx.request.hasBackup() && !ctx.state.undoInProgress && !ctx.state.previewSink;
}

// Whether the user's selection and ticks leave the file path names to the run.
bool isChosen(const RunState &s, const FileSystem::Entry &e, const QString &path, bool isTopFolder)
{
    return !(isTopFolder && !s.selectedTopFiles.contains(e.name)) && !skipsUnticked(s, path);
}

// A file the walk takes, when its turn comes.
struct FileTurn {
    FileSystem::FolderHandle &folder;
    const FileSystem::Entry &entry;
    const QString &path;
    /// The file as built when it was read ahead; null: built now (a link).
    const FileSystem::FileAt *built;
    /// Its place among the files read ahead, or -1.
    qsizetype ahead;
};

// One file of the walk: saved only while it is still the file that was read.
// A file that cannot be read or written is logged, counted and passed over;
// a backup copy that cannot be made still ends the walk before its file changes.
class FileReplace {
public:
    using BackUp = std::function<void(const FileSystem::FileAt &file)>;

    FileReplace(RunContext &ctx, SaveQueue &saves, ReadAhead &ahead)
        : m_ctx(ctx), m_s(ctx.state), m_r(ctx.request), m_saves(saves), m_ahead(ahead)
    {
    }

    /// backUp, when set, is called before the file changes.
    Next replace(const FileTurn &turn, const BackUp &backUp);

private:
    enum class Load { Skipped, RuledOut, Loaded, Large };

    Load load(const FileTurn &turn, FileSystem::FileAt &file, bool large = true);
    PreRead takeRead(const FileSystem::FileAt &file, qsizetype ahead);
    Next findFirst(bool &found);
    void save(const QString &path, qint32 totalBefore);

    RunContext &m_ctx;
    RunState &m_s;
    const RunRequest &m_r;
    SaveQueue &m_saves;
    ReadAhead &m_ahead;
};

Next FileReplace::replace(const FileTurn &turn, const BackUp &backUp)
{
    const QString &path = turn.path;
    FileSystem::FileAt file;
    Load loaded = load(turn, file);
    if (loaded == Load::Large) {
        // Replaced as it is read, unless only the whole text can tell.
        std::function<void()> backUpFile;
        if (backUp)
            backUpFile = [&] { backUp(file); };
        if (LargeFileReplace::replace(m_ctx, file, &m_saves, backUpFile))
            return m_s.stopRequested ? Next::Stop : Next::Go;
        loaded = load(turn, file, false);
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
    if (backUp)
        backUp(file);
    const qint32 totalBefore = m_s.totalReplacements;
    if (replaceLoadedFileTicked(m_ctx, ticked) && !m_s.previewSink)
        save(path, totalBefore);
    return Next::Go;
}

// The file's bytes as read ahead; a file outside that list is read now.
PreRead FileReplace::takeRead(const FileSystem::FileAt &file, qsizetype ahead)
{
    if (ahead < 0)
        return PreRead::of(file, m_ahead.filter());
    return m_ahead.take(ahead);
}

FileReplace::Load FileReplace::load(const FileTurn &turn, FileSystem::FileAt &file, bool large)
{
    bool loaded = false;
    bool read = false;
    try {
        file = turn.built ? *turn.built : walkedFile(turn.folder, turn.entry);
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
        read = unlessTooLarge(m_ctx, kSentence, LogSource::replaceCommand, [&] {
            loaded = loadPreRead(m_ctx, file, takeRead(file, turn.ahead));
        });
    } catch (const Failure &failure) {
        passOver(m_ctx, kWalkSource, failure.description());
    }
    if (!read)
        return Load::Skipped;
    return loaded ? Load::Loaded : Load::RuledOut;
}

Next FileReplace::findFirst(bool &found)
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

void FileReplace::save(const QString &path, qint32 totalBefore)
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

// One folder of the walk, replaced as soon as it is listed. It reaches every
// entry through the open folder that listed it. An entry that cannot be
// listed is logged, counted and passed over. With backups, each subfolder's
// mirror is made at its turn among the files.
class FolderReplace {
public:
    FolderReplace(RunContext &ctx, FileSystem::FolderHandle &folder, bool isTopFolder,
                  const QString &pattern, FileReplace &files, ReadAhead &ahead,
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
    FileReplace &m_files;
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
        FileReplace::BackUp backUpFile;
        if (m_backup)
            backUpFile = [&](const FileSystem::FileAt &file) { backUp(file, path, e.name); };
        const FileTurn turn{m_folder, e, path, ahead >= 0 ? &m_aheadFiles.at(ahead) : nullptr,
                            ahead};
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
        if (e.isLink || !m_byPattern.at(i) || !isChosen(m_s, e, m_prefix + e.name, m_isTopFolder))
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
    return isChosen(m_s, e, m_prefix + e.name, m_isTopFolder);
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
    m_s.backupCopies.insert(path, copyFolder + name);
}

// How many files the walk lists ahead of the one replaced.
constexpr qsizetype kListedAhead = 512;

// What the walk has listed and the run has yet to replace, in the walk's
// order: the walk lists a few folders ahead so that the read-ahead never waits
// at the end of a folder. A failure met while listing waits its turn, so the
// log keeps the order of a walk that replaced each folder as it listed it.
// Only without backups: those put mirror folders and their events between files.
class ListedReplace {
public:
    ListedReplace(RunContext &ctx, const QString &pattern, FileReplace &files, ReadAhead &ahead)
        : m_ctx(ctx), m_s(ctx.state), m_pattern(pattern), m_files(files), m_ahead(ahead)
    {
    }

    /// Lists folder, hands its subfolders to the walk and queues its files.
    /// Throws, as a walk of that folder alone would have, before queueing any
    /// file that walk would not have reached.
    void list(FileSystem::FolderHandle &folder, bool isTopFolder, QStringList &subfolders);
    void addFailure(const QString &description)
    {
        m_items.push_back({{}, {}, {}, -1, false, description});
    }

    /// Replaces the files listed until at most keep are left; false when a
    /// stop came first.
    bool replaceUntil(qsizetype keep);
    /// Failures listed after the last file.
    void tellFailuresLeft();

private:
    struct Item {
        FileSystem::Folder folder;  // null for a failure
        FileSystem::Entry entry;
        FileSystem::FileAt built;  // when read ahead
        qsizetype ahead = -1;
        bool isChosen = false;
        QString failure;
    };

    void queue(QList<Item> &items, qsizetype count);
    bool replace(const Item &item);

    RunContext &m_ctx;
    RunState &m_s;
    const QString &m_pattern;
    FileReplace &m_files;
    ReadAhead &m_ahead;
    std::deque<Item> m_items;
    qsizetype m_fileCount = 0;
};

void ListedReplace::list(FileSystem::FolderHandle &folder, bool isTopFolder,
                         QStringList &subfolders)
{
    QList<FileSystem::Entry> entries;
    try {
        entries = folder.list();
    } catch (const Failure &failure) {
        addFailure(failure.description());
        return;
    }
    const FileSystem::Folder held = folder.shared_from_this();
    // Each file with the entry it was listed at; links are reached at their turn.
    QList<Item> items;
    QList<qsizetype> at;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const FileSystem::Entry &e = entries.at(i);
        // The file list's own rule, so a walk takes only names a list would show.
        if (walksInto(e) || !walksFile(e, isTopFolder) || !matchesWildcard(e.name, m_pattern) ||
            !m_s.walkRules.takesFile(folder, e))
            continue;
        Item item{held, e, {}, -1, isChosen(m_s, e, folder.path() + e.name, isTopFolder), {}};
        if (item.isChosen && !e.isLink)
            item.built = walkedFile(folder, e);
        items.append(item);
        at.append(i);
    }
    qsizetype queued = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const FileSystem::Entry &e = entries.at(i);
        if (!walksInto(e) || !m_s.walkRules.entersFolder(folder, e))
            continue;
        try {
            storeSubfolder(subfolders, e.name);
        } catch (const Failure &) {
            // That walk gave the folder up there, after the files before it.
            while (queued < at.size() && at.at(queued) < i) ++queued;
            queue(items, queued);
            throw;
        }
    }
    queue(items, items.size());
}

void ListedReplace::queue(QList<Item> &items, qsizetype count)
{
    QList<FileSystem::FileAt> files;
    for (qsizetype i = 0; i < count; ++i) {
        if (items.at(i).built.isValid())
            files.append(items.at(i).built);
    }
    qsizetype index = m_ahead.append(files);
    for (qsizetype i = 0; i < count; ++i) {
        Item &item = items[i];
        if (item.built.isValid())
            item.ahead = index++;
        m_items.push_back(std::move(item));
    }
    m_fileCount += count;
}

bool ListedReplace::replaceUntil(qsizetype keep)
{
    while (m_fileCount > keep && !m_items.empty()) {
        const Item item = std::move(m_items.front());
        m_items.pop_front();
        if (!item.folder) {
            passOver(m_ctx, kWalkSource, item.failure);
            continue;
        }
        --m_fileCount;
        if (!replace(item))
            return false;
    }
    return true;
}

bool ListedReplace::replace(const Item &item)
{
    m_ctx.main->yieldToEvents();
    if (m_s.stopRequested)
        return false;
    const QString path = item.folder->path() + item.entry.name;
    showSearching(m_ctx, path);
    if (!item.isChosen)
        return true;
    const FileTurn turn{*item.folder, item.entry, path,
                        item.built.isValid() ? &item.built : nullptr, item.ahead};
    return m_files.replace(turn, {}) == Next::Go;
}

void ListedReplace::tellFailuresLeft()
{
    for (const Item &item : m_items) passOver(m_ctx, kWalkSource, item.failure);
    m_items.clear();
}

}  // namespace

void replaceInTree(RunContext &ctx, QString &topFolder, QString &pattern)
{
    topFolder = Paths::withTrailingSeparator(topFolder);
    const FileSystem::Folder top = FileSystem::FolderHandle::open(topFolder);
    // Every save the walk wrote reaches the disk before the walk is over, even
    // when it ends on an error.
    SaveQueue saves;
    // The next files are read while the ones before them are replaced.
    ReadAhead ahead(prefilterFor(ctx.request), true, 0, firstMatchSearchFor(ctx.request));
    FileReplace files(ctx, saves, ahead);
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
                    going = listed.replaceUntil(0);
                if (going)
                    throw;
                return;
            }
            going = listed.replaceUntil(kListedAhead);
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
        if (going && listed.replaceUntil(0))
            listed.tellFailuresLeft();
    } catch (...) {
        saves.commit(ctx);
        throw;
    }
    saves.commit(ctx);
}
