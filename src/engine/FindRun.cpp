#include "FindRun.h"

#include "BytePrefilter.h"
#include "DocumentBuffer.h"
#include "MainPort.h"
#include "MatchPrimitives.h"
#include "PatternDispatch.h"
#include "ReadAhead.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "Validation.h"
#include "ViewerPort.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/Paths.h"
#include "platform/TreeWalk.h"
#include "settings/LogSources.h"

#include <QDir>
#include <QStringList>

#include <deque>

using namespace RunSupport;

namespace {
const QString kSentence = QStringLiteral("An error occurred while trying to search.");
const QString kSource = LogSource::findCommand;
const QString kFind = QStringLiteral("Find");

bool trap(RunContext &ctx, const std::function<void()> &step)
{
    return trapped(ctx, kSentence, kSource, step);
}

// findInBuffer for the run; a file the pattern engine gave up on is reported
// and has no match.
qint32 findReported(RunContext &ctx, qint32 &start)
{
    qint32 found = -1;
    unlessGaveUp(ctx, kSentence, kSource, [&] { found = findInBuffer(ctx, start); });
    return found;
}

void endRun(RunContext &ctx)
{
    ctx.events->findEnded();
    ctx.state.runInProgress = false;
}

// Opens the viewer's list on its first entry and shows that file: the selection
// uses up the skip, so the load's text-change reaction fills the file date and
// length. False (after reporting) when the file cannot be read.
bool showFirstEntry(RunContext &ctx, const QString &path)
{
    ctx.viewer->setSkipNextReaction(true);
    ctx.viewer->selectListItem(0);
    // Used up by the selection reaction, unless the entry was selected already.
    ctx.viewer->setSkipNextReaction(false);
    if (!trap(ctx, [&] { loadShownFile(ctx, path); }))
        return false;
    ctx.events->documentShown(path, 1);
    return true;
}

void nothingFound(RunContext &ctx)
{
    ctx.viewer->hideViewer();
    if (!ctx.state.stopRequested) {
        ctx.dialogs->message(QStringLiteral("Finished searching through all selected documents."),
                             QStringLiteral(" Search complete"), MessageButtons::Ok,
                             MessageIcon::Information);
    }
    endRun(ctx);
}

// The end of a run without subfolders (and of a fuzzy one): the viewer opens on
// the first file found with its first match selected, or the user hears that
// nothing was found.
void finishWithViewer(RunContext &ctx)
{
    if (ctx.events->listed().isEmpty()) {
        nothingFound(ctx);
        return;
    }
    ctx.events->idle();
    if (ctx.state.stopRequested) {
        endRun(ctx);
        return;
    }
    const QString path = ctx.events->listed().constFirst();
    ctx.viewer->showViewer();
    // A file that can no longer be read is reported; showing it would show the
    // text of the file loaded before it under its name.
    if (!showFirstEntry(ctx, path)) {
        ctx.viewer->hideViewer();
        endRun(ctx);
        return;
    }
    showSearching(ctx, path);
    qint32 start = 0;
    if (ctx.request.isFuzzy())
        findFuzzyInBuffer(ctx, start);
    else
        findReported(ctx, start);
    endRun(ctx);
}

void runNormal(RunContext &ctx)
{
    RunState &s = ctx.state;
    const RunRequest &r = ctx.request;

    if (r.findText().isEmpty()) {
        ctx.dialogs->message(QStringLiteral("You must enter something to search for."),
                             QStringLiteral(" Error"), MessageButtons::Ok,
                             MessageIcon::Information);
        ctx.events->idle();
        endRun(ctx);
        return;
    }
    if (r.selectionCount().startsWith(QLatin1String("0 of")) && !r.hasSubdirectories()) {
        ctx.events->idle();
        ctx.dialogs->message(QStringLiteral("Please select the files that you want to edit."),
                             QStringLiteral(" No files selected"), MessageButtons::Ok,
                             MessageIcon::Information);
        endRun(ctx);
        return;
    }

    if (r.hasSubdirectories()) {
        if (s.stopRequested)
            return;
        trap(ctx, [&] {
            bool rep = false;
            walkEachPattern(ctx, rep);
        });
        if (ctx.events->listed().isEmpty()) {
            nothingFound(ctx);
            return;
        }
        const QString path = ctx.events->listed().constFirst();
        if (!showFirstEntry(ctx, path)) {
            endRun(ctx);
            return;
        }
        ctx.events->searchOfferedToViewer(r.findText());
        qint32 start = 0;
        findReported(ctx, start);
        ctx.events->idle();
        showSearching(ctx, path);
        if (s.stopRequested) {
            s.runInProgress = false;
            return;
        }
        ctx.viewer->showViewer();
        endRun(ctx);
        return;
    }

    takeFolderPath(ctx);
    const int count = r.fileCount();
    for (int i = 0; i < count; ++i) {
        if (s.stopRequested) {
            s.runInProgress = false;
            return;
        }
        if (r.isFileSelected(i)) {
            const QString path = s.currentPath + r.fileName(i);
            if (trap(ctx, [&] { loadIntoViewer(ctx, path); })) {
                s.foundPosition = 0;
                qint32 start = 0;
                findReported(ctx, start);
                ctx.events->searchStartMoved(s.foundPosition);
                // A stop inside the search returns 0, which is no match.
                if (s.foundPosition != -1 && !s.stopRequested)
                    ctx.events->fileMatched(path);
            }
        }
        ctx.events->listedFileSearched(r.findText(), i + 1);
    }
    if (s.stopRequested) {
        endRun(ctx);
        return;
    }
    finishWithViewer(ctx);
}

void runFuzzy(RunContext &ctx)
{
    RunState &s = ctx.state;
    const RunRequest &r = ctx.request;

    takeFolderPath(ctx);
    if (r.hasSubdirectories()) {
        trap(ctx, [&] {
            bool rep = false;
            walkEachPattern(ctx, rep);
        });
    } else {
        const int count = r.fileCount();
        for (int i = 0; i < count; ++i) {
            if (s.stopRequested) {
                endRun(ctx);
                return;
            }
            if (!r.isFileSelected(i))
                continue;
            const QString path = s.currentPath + r.fileName(i);
            if (!trap(ctx, [&] { loadIntoViewer(ctx, path); }))
                continue;
            showSearching(ctx, path);
            qint32 start = 0;
            if (findFuzzyInBuffer(ctx, start) == -1)
                s.foundPosition = 0;
            else if (!s.stopRequested)
                ctx.events->fileMatched(ctx.viewer->buffer().fileName());
        }
    }

    finishWithViewer(ctx);
}
}  // namespace

QString countCaption(int selected, int listed)
{
    return QString::number(selected) + QStringLiteral(" of ") + QString::number(listed);
}

void startFind(RunContext &ctx)
{
    RunState &s = ctx.state;
    s.runInProgress = true;
    s.stopRequested = false;

    ctx.takeRequest();
    const Verdict verdict = validateRequest(ctx, RequestUse::Find);
    ctx.events->listCleared();
    ctx.viewer->hideViewer();
    s.modifiedFileCount = 0;

    if (verdict == Verdict::Refused) {
        ctx.events->findEnded();
        ctx.events->requestRefused();
        ctx.main->restoreWindow();
        s.runInProgress = false;
        return;
    }
    ctx.main->saveHistories();

    s.passedOverCount = 0;
    if (ctx.request.isFuzzy())
        runFuzzy(ctx);
    else
        runNormal(ctx);
    tellPassedOver(ctx);
}

namespace {
const QString kFindWalkSource = LogSource::findWalk;

// Stores the folder's subfolders for the walk; false when a stop came first.
bool storeSubfolders(RunContext &ctx, FileSystem::FolderHandle &folder,
                     const QList<FileSystem::Entry> &entries, QStringList &subfolders)
{
    for (const FileSystem::Entry &e : entries) {
        if (!walksInto(e) || !ctx.state.walkRules.entersFolder(folder, e))
            continue;
        storeSubfolder(subfolders, e.name);
        if (ctx.state.stopRequested)
            return false;
    }
    return true;
}

// The first match in the index-th file of ahead, -1 for none; read is false
// when the file could not be read.
qint32 firstMatchIn(RunContext &ctx, const FileSystem::FileAt &file, ReadAhead &ahead,
                    qsizetype index, bool &read)
{
    qint32 found = -1;
    bool loaded = false;
    read = false;
    try {
        read = unlessTooLarge(ctx, kSentence, kSource,
                              [&] { loaded = loadPreRead(ctx, file, ahead.take(index)); });
    } catch (const Failure &failure) {
        passOver(ctx, kFindWalkSource, failure.description());
    }
    if (!read)
        return found;
    if (loaded) {
        ctx.state.foundPosition = 0;
        qint32 start = 0;
        found = ctx.request.isFuzzy() ? findFuzzyInBuffer(ctx, start) : findReported(ctx, start);
    } else {
        ctx.state.foundPosition = -1;  // what the search would have found
    }
    return found;
}

void listFound(RunContext &ctx, const QString &path, qint32 found, bool isCurrentFolder)
{
    RunState &s = ctx.state;
    ctx.events->fileMatched(path);
    ++s.modifiedFileCount;
    ctx.events->matchShown(found);
    if (!isCurrentFolder) {
        ctx.events->filesFound(s.modifiedFileCount);
    }
}

// What the walk has listed and the run has yet to search, in the walk's
// order: the walk lists a few folders ahead so that the read-ahead never waits
// at the end of a folder. A failure met while listing waits its turn, so the
// log keeps the order of a walk that searched each folder as it listed it.
class ListedAhead {
public:
    explicit ListedAhead(ReadAhead &ahead) : m_ahead(ahead) {}

    void addFiles(const QList<FileSystem::FileAt> &files, bool isCurrentFolder)
    {
        qsizetype index = m_ahead.append(files);
        for (const FileSystem::FileAt &file : files)
            m_items.push_back({file, {}, index++, isCurrentFolder});
        m_files += files.size();
    }
    void addFailure(const QString &description) { m_items.push_back({{}, description, -1, false}); }

    // Searches the files listed until at most keep are left; false when a
    // stop came first.
    bool searchUntil(RunContext &ctx, qsizetype keep)
    {
        while (m_files > keep && !m_items.empty()) {
            const Item item = std::move(m_items.front());
            m_items.pop_front();
            if (item.aheadIndex < 0) {
                passOver(ctx, kFindWalkSource, item.failure);
                continue;
            }
            --m_files;
            if (!search(ctx, item))
                return false;
        }
        return true;
    }

    // Failures listed after the last file.
    void tellFailuresLeft(RunContext &ctx)
    {
        for (const Item &item : m_items) passOver(ctx, kFindWalkSource, item.failure);
        m_items.clear();
    }

private:
    struct Item {
        FileSystem::FileAt file;
        QString failure;
        qsizetype aheadIndex;
        bool isCurrentFolder;
    };

    bool search(RunContext &ctx, const Item &item)
    {
        ctx.main->yieldToEvents();
        if (ctx.state.stopRequested)
            return false;
        bool read = false;
        const qint32 found = firstMatchIn(ctx, item.file, m_ahead, item.aheadIndex, read);
        if (!read)
            return true;
        ctx.main->yieldToEvents();
        if (ctx.state.stopRequested)
            return false;
        showSearching(ctx, item.file.path);
        if (found != -1)
            listFound(ctx, item.file.path, found, item.isCurrentFolder);
        return true;
    }

    ReadAhead &m_ahead;
    std::deque<Item> m_items;
    qsizetype m_files = 0;
};

// The folder's files the pattern and the walk's rules take (in the top folder,
// only the selected ones).
QList<FileSystem::FileAt> filesToSearch(RunContext &ctx, FileSystem::FolderHandle &folder,
                                        const QList<FileSystem::Entry> &entries,
                                        bool isCurrentFolder, const QString &pattern,
                                        ListedAhead &listed)
{
    const RunState &s = ctx.state;
    QList<FileSystem::FileAt> files;
    for (const FileSystem::Entry &e : entries) {
        if (walksFile(e, isCurrentFolder) && matchesWildcard(e.name, pattern) &&
            s.walkRules.takesFile(folder, e) &&
            (!isCurrentFolder || s.selectedTopFiles.contains(e.name))) {
            try {
                files.append(walkedFile(folder, e));
            } catch (const Failure &failure) {
                listed.addFailure(failure.description());
            }
        }
    }
    return files;
}

// How many files the walk lists ahead of the one searched.
constexpr qsizetype kListedAhead = 512;

// Every entry is reached through the open folder that listed it: a subfolder
// or file swapped for a link meanwhile is passed over, never followed. An
// entry that cannot be listed or read is logged and counted, and the walk goes on.
void listFolder(RunContext &ctx, FileSystem::FolderHandle &folder, bool isCurrentFolder,
                const QString &pattern, ListedAhead &listed, QStringList &subfolders)
{
    if (ctx.state.stopRequested)
        return;
    QList<FileSystem::Entry> entries;
    try {
        entries = folder.list();
    } catch (const Failure &failure) {
        listed.addFailure(failure.description());
        return;
    }
    if (!storeSubfolders(ctx, folder, entries, subfolders))
        return;
    listed.addFiles(filesToSearch(ctx, folder, entries, isCurrentFolder, pattern, listed),
                    isCurrentFolder);
}
}  // namespace

void findInTree(RunContext &ctx, QString &folderPath, QString &pattern)
{
    folderPath = Paths::withTrailingSeparator(folderPath);
    const FileSystem::Folder top = FileSystem::FolderHandle::open(folderPath);
    // The next files are read, and searched for their first match, while the
    // ones before them are reported.
    ReadAhead ahead(prefilterFor(ctx.request), true, 0,
                    {firstMatchSearchFor(ctx.request), false, {}});
    ListedAhead listed(ahead);
    bool going = true;
    FileSystem::TreeWalk walk;
    walk.visit = [&](FileSystem::FolderHandle &folder, QStringList &subfolders) {
        listFolder(ctx, folder, &folder == top.get(), pattern, listed, subfolders);
        going = listed.searchUntil(ctx, kListedAhead);
    };
    walk.isStopped = [&] { return !going || ctx.state.stopRequested; };
    walk.passOver = [&](const Failure &failure) {
        listed.addFailure(failure.description());
        return true;
    };
    walk.run(top);
    if (going && listed.searchUntil(ctx, 0))
        listed.tellFailuresLeft(ctx);
}
