#include "ReplaceRun.h"

#include "BackupLocation.h"
#include "BytePrefilter.h"
#include "DocumentBuffer.h"
#include "MainPort.h"
#include "MatchPrimitives.h"
#include "Matcher.h"
#include "PatternDispatch.h"
#include "PreviewResult.h"
#include "Replacer.h"
#include "RunContext.h"
#include "RunSupport.h"
#include "SaveQueue.h"
#include "SearchMatcher.h"
#include "SearchRequest.h"
#include "TimeStamp.h"
#include "Validation.h"
#include "ViewerPort.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/LoadLimit.h"
#include "platform/Paths.h"
#include "platform/TreeWalk.h"
#include "settings/LogSources.h"

#include <QDir>
#include <QLocale>
#include <QScopeGuard>
#include <QStringList>

#include <memory>

using namespace RunSupport;

namespace {
const QString kSentence = QStringLiteral("An error occurred while trying to replace.");
const QString kSource = LogSource::replaceCommand;
const QString kScrivlane = QStringLiteral("Scrivlane");

bool trap(RunContext &ctx, const std::function<void()> &step)
{
    return trapped(ctx, kSentence, kSource, step);
}

FileTooLarge resultTooLarge(const QString &path)
{
    return FileTooLarge(
        QStringLiteral("The replaced text of \"%1\" would hold more than %2 characters, the "
                       "most this program holds for one file. The file was left unchanged.")
            .arg(path, QLocale::system().toString(LoadLimit::maxFileSize())));
}

// Lets pending events through and tells whether a stop was asked for, twice,
// as the search a fuzzy replacement once started with did.
bool stoppedBeforeFuzzyReplacement(RunContext &ctx)
{
    for (int i = 0; i < 2; ++i) {
        ctx.main->yieldToEvents();
        if (ctx.state.stopRequested)
            return true;
    }
    return false;
}

// Replaces in text for the request and tallies the result in the run: the
// file's and the run's counts, status panel 1 and the viewer's position labels.
ReplaceResult replaceForRun(RunContext &ctx, QString text, const QString &keyword,
                            const QString &with)
{
    RunState &s = ctx.state;
    const SearchRequest &r = *ctx.request;
    s.fileReplacements = 0;
    const bool fuzzy = r.isFuzzy();
    if (fuzzy && stoppedBeforeFuzzyReplacement(ctx)) {
        ReplaceResult unchanged;
        unchanged.text = std::move(text);
        return unchanged;
    }
    const std::unique_ptr<Matcher> matcher = matcherFor(r, keyword);
    ReplaceScope scope;
    scope.changes = s.previewChanges;
    scope.textWanted = !s.previewSink || s.previewSink->wantsTexts();
    if (const TickedFile *ticked = s.tickedFile) {
        scope.accepts = [ticked](const TextMatch &m) {
            return ticked->positions.contains(m.position);
        };
    }
    ReplaceResult result = replaceAll(std::move(text), *matcher, with, scope);
    s.fileReplacements = result.replacements;
    s.totalReplacements += result.changingReplacements;
    // A fuzzy replacement that found nothing leaves the status as it is.
    if (!fuzzy || result.replacements != 0 || result.tooLarge) {
        ctx.main->setStatusText(
            1, QStringLiteral("Replacements: ") + QString::number(s.totalReplacements));
    }
    if (fuzzy && !result.tooLarge) {
        // As the last, unsuccessful search leaves them.
        s.foundPosition = -1;
        ctx.viewer->setPosLabel(QStringLiteral("-1 of ") + QString::number(result.text.size()));
        ctx.viewer->setNewPos(QStringLiteral("0"));
    }
    return result;
}

// After the new text is placed: a text too large is reported, a changed one listed.
void endReplacement(RunContext &ctx, const ReplaceResult &result)
{
    const QString path = ctx.viewer->buffer().fileName();
    if (result.tooLarge)
        throw resultTooLarge(path);
    if (result.changed)
        ctx.viewer->addToList(path);
}

// The file's ticks in a Replace of ticked replacements; null in any other
// run. Such a run takes no file without ticks.
const TickedFile *tickedFileOf(const RunState &s, const QString &path)
{
    return s.tickedFiles ? s.tickedFiles->value(path) : nullptr;
}

bool skipsUnticked(const RunState &s, const QString &path)
{
    return s.tickedFiles && !s.tickedFiles->contains(path);
}

// In a Replace of ticked replacements: whether the file just loaded is still
// the one previewed. Another is passed over, never written with stale ticks.
bool stillAsPreviewed(RunContext &ctx, const TickedFile *ticked)
{
    if (!ticked || ctx.viewer->buffer().stamp() == ticked->stamp)
        return true;
    ctx.state.passedOverFiles.append(
        {ticked->path, QStringLiteral("changed since it was previewed, left unchanged")});
    return false;
}

// Replaces in the loaded file, only the ticked replacements when there are ticks.
bool replaceLoadedFileTicked(RunContext &ctx, const TickedFile *ticked)
{
    ctx.state.tickedFile = ticked;
    const auto reset = qScopeGuard([&] { ctx.state.tickedFile = nullptr; });
    return replaceLoadedFile(ctx, kSentence, kSource);
}

QString backupTreeRoot(RunContext &ctx)
{
    return BackupTree::treeRoot(ctx.backup->backupRoot());
}

// Without subdirectories: the copy is made before the file is loaded.
void backupSingleFile(RunContext &ctx, const QString &filePath, const QString &name)
{
    ctx.backup->commitChoice();
    const QString folder =
        BackupTree::makeMirror(ctx.backup->backupRoot(), ctx.request->folderPath());
    FileSystem::copyFile(filePath, folder + name);
    ctx.state.backupCopies.insert(ctx.state.currentPath, folder + name);
}

void replaceInSelectedFiles(RunContext &ctx)
{
    RunState &s = ctx.state;
    const SearchRequest &r = *ctx.request;
    const int count = r.fileCount();
    for (int i = 0; i < count; ++i) {
        if (s.stopRequested)
            return;
        takeFolderPath(ctx);
        if (!r.isFileSelected(i))
            continue;
        const QString name = r.fileName(i);
        s.currentPath += name;
        // A selected link and its selected target are one file, changed once.
        if (skipsUnticked(s, s.currentPath) || changedThisRun(ctx, s.currentPath))
            continue;
        const TickedFile *ticked = tickedFileOf(s, s.currentPath);
        // A file whose backup failed stays as it is: the user asked to keep the original.
        if (r.hasBackup() && !s.previewSink &&
            !trap(ctx, [&] { backupSingleFile(ctx, s.currentPath, name); }))
            continue;
        if (!trap(ctx, [&] { loadIntoViewer(ctx, s.currentPath); }) ||
            !stillAsPreviewed(ctx, ticked))
            continue;
        showSearching(ctx, s.currentPath);

        qint32 start = 0;
        const qint32 totalBefore = s.totalReplacements;
        const qint32 found = r.isFuzzy() ? findFuzzyInBuffer(ctx, start) : findInBuffer(ctx, start);
        if (found == -1 || s.stopRequested || !replaceLoadedFileTicked(ctx, ticked) ||
            s.previewSink)
            continue;
        const int last = ctx.viewer->listCount() - 1;
        if (last >= 0 && ctx.viewer->listItem(last) == s.currentPath) {
            const QString path = s.currentPath;
            trap(ctx, [&] {
                saveOrUnlist(ctx, path, totalBefore, [&] { saveReplacedFile(ctx, totalBefore); });
            });
        }
    }
}
}  // namespace

QString reportEntry(qint32 number, const QString &path, qint32 replacements)
{
    const int blanks = number < 10 ? 11 : number < 100 ? 10 : number < 1000 ? 9 : 8;
    return QStringLiteral("\r\n") + QString(blanks, QLatin1Char(' ')) + QString::number(number) +
           QStringLiteral(")  ") + path + QStringLiteral("\r\n") +
           QStringLiteral("               Replacements made: ") + QString::number(replacements) +
           QStringLiteral("\r\n");
}

QString replaceAndCount(RunContext &ctx, const QString &pString, const QString &Keyword,
                        const QString &NewKeyWord)
{
    ReplaceResult result = replaceForRun(ctx, pString, Keyword, NewKeyWord);
    endReplacement(ctx, result);
    return std::move(result.text);
}

void replaceInBuffer(RunContext &ctx, const QString &Keyword, const QString &NewKeyWord)
{
    DocumentBuffer &buffer = ctx.viewer->buffer();
    if (ctx.state.previewSink) {
        previewBuffer(ctx, buffer, Keyword, NewKeyWord);
        return;
    }
    // A normal search rewrites the text where it lies, so the buffer hands it
    // over; a fuzzy one builds beside it and leaves the buffer as it is when
    // the result would be too large.
    const bool taken = !ctx.request->isFuzzy();
    ReplaceResult result =
        replaceForRun(ctx, taken ? buffer.takeText() : buffer.text(), Keyword, NewKeyWord);
    if (taken || !result.tooLarge)
        buffer.setText(result.text);
    endReplacement(ctx, result);
}

void previewBuffer(RunContext &ctx, const DocumentBuffer &buffer, const QString &keyword,
                   const QString &with)
{
    RunState &s = ctx.state;
    QList<TextChange> changes;
    s.previewChanges = &changes;
    const auto reset = qScopeGuard([&] { s.previewChanges = nullptr; });
    // The buffer keeps the old text: the new one is built beside it.
    const ReplaceResult result = replaceForRun(ctx, buffer.text(), keyword, with);
    if (result.tooLarge)
        throw resultTooLarge(buffer.fileName());
    if (!result.changed)
        return;
    const QStringView oldText(buffer.text());
    const QStringView newText =
        s.previewSink->wantsTexts() ? QStringView(result.text) : QStringView();
    s.previewSink->filePreviewed(
        {buffer.fileName(), buffer.stamp(), buffer.encoding(), oldText, newText, changes});
}

void saveReplacedFile(RunContext &ctx, qint32 totalBefore)
{
    RunState &s = ctx.state;
    DocumentBuffer &buffer = ctx.viewer->buffer();
    // Back into the file that was read, unless another program changed it meanwhile.
    if (buffer.hasSource() && buffer.fileName() == s.currentPath)
        buffer.saveChecked();
    else
        buffer.save(s.currentPath);
    noteChanged(ctx, s.currentPath);
    ctx.viewer->setTag(QStringLiteral("Stop"));
    const qint32 replacements = s.totalReplacements - totalBefore;
    appendReportEntry(ctx, s.currentPath, replacements);
    const QString copy = s.backupCopies.value(s.currentPath);
    if (!copy.isEmpty())
        SaveQueue::journal(ctx, {{s.currentPath, copy, replacements}});
}

void appendReportEntry(RunContext &ctx, const QString &path, qint32 replacements)
{
    RunState &s = ctx.state;
    ++s.modifiedFileCount;
    s.reportBody += reportEntry(s.modifiedFileCount, path, replacements);
}

void startRunTotals(RunContext &ctx)
{
    RunState &s = ctx.state;
    s.totalReplacements = 0;
    s.fileReplacements = 0;
    s.modifiedFileCount = 0;
    s.reportBody.clear();
    s.passedOverFiles.clear();
}

bool hasReportContent(const RunContext &ctx)
{
    return !ctx.state.reportBody.isEmpty() || !ctx.state.passedOverFiles.isEmpty();
}

bool isBinaryText(const DocumentBuffer &buffer)
{
    // The first block, as other tools test it; UTF-16 text holds NULs of its own.
    constexpr qsizetype kFirstBlock = 8000;
    if (buffer.encoding() == TextEncoding::Utf16LeBom ||
        buffer.encoding() == TextEncoding::Utf16BeBom)
        return false;
    const QString &text = buffer.text();
    return QStringView(text).first(qMin(text.size(), kFirstBlock)).contains(QChar(0));
}

bool passedOverAsBinary(RunContext &ctx)
{
    const DocumentBuffer &buffer = ctx.viewer->buffer();
    if (!isBinaryText(buffer))
        return false;
    ctx.state.passedOverFiles.append(
        {buffer.fileName(), QStringLiteral("binary file, left unchanged")});
    return true;
}

bool replaceLoadedFile(RunContext &ctx, const QString &sentence, const QString &source)
{
    if (passedOverAsBinary(ctx))
        return false;
    DocumentBuffer &buffer = ctx.viewer->buffer();
    const SearchRequest &r = *ctx.request;
    return unlessTooLarge(ctx, sentence, source, [&] {
        if (r.isFuzzy())
            replaceInBuffer(ctx, buffer.selectedText(), r.fuzzyReplace());
        else
            replaceInBuffer(ctx, r.findText(), r.replaceText());
    });
}

namespace {
// Better no change than a change without its backup: this ends the walk.
class BackupFailed : public Failure {
public:
    using Failure::Failure;
};

// The walk reaches every entry through the open folder that listed it, and
// saves a file only while it is still the file that was read. An entry that
// cannot be listed, read or written is logged, counted and passed over; a
// backup copy that cannot be made still ends the walk before its file changes.
void walkAndReplace(RunContext &ctx, FileSystem::FolderHandle &folder, bool isCurrentFolder,
                    const QString &Ext, SaveQueue &saves, QStringList &subfolders)
{
    RunState &s = ctx.state;
    const SearchRequest &r = *ctx.request;
    const QString DrivePath = folder.path();

    const bool backup = r.hasBackup() && !s.undoInProgress && !s.previewSink;
    if (backup && isCurrentFolder)
        BackupTree::makeMirror(ctx.backup->backupRoot(), DrivePath);

    const BytePrefilter filter = prefilterFor(r);
    QList<FileSystem::Entry> entries;
    try {
        entries = folder.list();
    } catch (const Failure &failure) {
        passOver(ctx, kWalkSource, failure.description());
        return;
    }
    // Told apart by identity: resolving paths costs a step per folder of the
    // path, which grows with the depth of the tree.
    const QString backupTree = backup ? FileSystem::fileIdentity(backupTreeRoot(ctx)) : QString();
    for (const FileSystem::Entry &e : entries) {
        ctx.main->yieldToEvents();
        if (s.stopRequested)
            return;
        if (walksInto(e)) {
            if (!s.walkRules.entersFolder(folder, e))
                continue;
            const QString folderPath = DrivePath + e.name + QDir::separator();
            // The backups this run writes are never walked, or it would rewrite
            // them; with backups off such a folder is one like any other.
            if (!backupTree.isEmpty() && folder.entryIdentity(e.name) == backupTree)
                continue;
            storeSubfolder(subfolders, e.name);
            if (backup) {
                const QString copyFolder =
                    BackupTree::mirrorOf(ctx.backup->backupRoot(), folderPath);
                QString shown = copyFolder.mid(backupTreeRoot(ctx).size());
                shown.chop(1);
                ctx.main->setStatusText(2, QStringLiteral(" Creating folders: ") + shown);
                FileSystem::makeFolder(copyFolder);
            }
            continue;
        }
        if (!walksFile(e, isCurrentFolder))
            continue;
        if (s.stopRequested)
            return;
        // The file list's own rule, so a walk takes only names a list would show.
        if (!matchesWildcard(e.name, Ext) || !s.walkRules.takesFile(folder, e))
            continue;

        const QString path = DrivePath + e.name;
        showSearching(ctx, path);
        if ((isCurrentFolder && !s.selectedTopFiles.contains(e.name)) || skipsUnticked(s, path))
            continue;
        FileSystem::FileAt file;
        bool loaded = false;
        bool read = false;
        try {
            file = walkedFile(folder, e);
            // Another name of a file this run changed (a link, a second pattern);
            // one still waiting to be saved is put in place first.
            QString identity = file.identity();
            if (saves.holds(identity)) {
                saves.commit(ctx);
                identity = file.identity();  // the save gave it a new one
            }
            if (!identity.isEmpty() && s.changedIdentities.contains(identity))
                continue;
            read = unlessTooLarge(ctx, kSentence, kSource,
                                  [&] { loaded = loadUnlessRuledOut(ctx, file, filter); });
        } catch (const Failure &failure) {
            passOver(ctx, kWalkSource, failure.description());
        }
        if (!read)
            continue;
        if (!loaded) {
            // Nothing to replace, as the search would have found.
            s.foundPosition = -1;
            ctx.main->yieldToEvents();
            if (s.stopRequested)
                return;
            continue;
        }
        qint32 start = 0;
        qint32 found;
        if (r.isFuzzy()) {
            if (r.firstPart().isEmpty())
                return;
            found = findFuzzyInBuffer(ctx, start);
        } else {
            found = findInBuffer(ctx, start);
        }
        if (s.stopRequested)
            return;
        if (found == -1)
            continue;
        // A binary file is passed over before anything is copied.
        if (passedOverAsBinary(ctx))
            continue;
        const TickedFile *ticked = tickedFileOf(s, path);
        if (!stillAsPreviewed(ctx, ticked))
            continue;

        // A file whose save failed may be taken again by the next pattern; its
        // copy must stay the one taken before.
        if (backup && !s.backedUpThisRun.contains(path)) {
            const QString copyFolder = BackupTree::mirrorOf(ctx.backup->backupRoot(), DrivePath);
            FileSystem::makeFolder(copyFolder);
            try {
                FileSystem::copyFile(file, copyFolder + e.name);
            } catch (const Failure &failure) {
                throw BackupFailed(failure.description());
            }
            s.backedUpThisRun.insert(path);
            s.backupCopies.insert(path, copyFolder + e.name);
        }
        const qint32 totalBefore = s.totalReplacements;
        if (!replaceLoadedFileTicked(ctx, ticked) || s.previewSink)
            continue;

        // Saved only when the text changed, as for selected files: a file whose
        // replacements left it identical has no entry, so entries add up to the total.
        const int last = ctx.viewer->listCount() - 1;
        if (last >= 0 && ctx.viewer->listItem(last) == path) {
            try {
                saveOrUnlist(ctx, path, totalBefore, [&] { saves.add(ctx, path, totalBefore); });
            } catch (const Failure &failure) {
                passOver(ctx, kWalkSource, failure.description());
            }
            if (saves.isFull())
                saves.commit(ctx);
        }
    }
}
}  // namespace

void replaceInTree(RunContext &ctx, QString &DrivePath, QString &Ext)
{
    DrivePath = Paths::withTrailingSeparator(DrivePath);
    const FileSystem::Folder top = FileSystem::FolderHandle::open(DrivePath);
    // Every save the walk wrote reaches the disk before the walk is over, even
    // when it ends on an error.
    SaveQueue saves;
    try {
        FileSystem::TreeWalk walk;
        walk.visit = [&](FileSystem::FolderHandle &folder, QStringList &subfolders) {
            walkAndReplace(ctx, folder, &folder == top.get(), Ext, saves, subfolders);
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

namespace {
// Says what the Replace about to be confirmed will reach.
QString replaceScope(const SearchRequest &r)
{
    if (r.hasSubdirectories())
        return QStringLiteral(
                   "Every file matching %1 in %2 and in every folder below it will "
                   "be searched.")
            .arg(r.filters(), r.folderPath());
    int selected = 0;
    for (int i = 0; i < r.fileCount(); ++i) selected += r.isFileSelected(i) ? 1 : 0;
    return selected == 1 ? QStringLiteral("1 selected file will be searched.")
                         : QStringLiteral("%1 selected files will be searched.").arg(selected);
}
}  // namespace

void replaceOverRequest(RunContext &ctx)
{
    if (ctx.request->hasSubdirectories()) {
        trap(ctx, [&] {
            bool rep = true;
            walkEachPattern(ctx, rep);
        });
    } else {
        replaceInSelectedFiles(ctx);
    }
}

void runReplace(RunContext &ctx)
{
    RunState &s = ctx.state;
    const SearchRequest &r = *ctx.request;
    if (s.stopRequested)
        return;

    ctx.main->resetHints();
    validateRequest(ctx);
    s.modifiedFileCount = 0;
    if (s.validationFailed) {
        ctx.main->setStatusText(2, QString());
        ctx.main->setStatusText(1, kScrivlane);
        ctx.main->restoreWindow();
        return;
    }

    ctx.main->saveHistories();
    ctx.viewer->clearList();
    if (!s.emptyReplaceConfirmed) {
        const MessageAnswer answer = ctx.dialogs->message(
            QStringLiteral("Are you sure you want to make this replacement?\r") + replaceScope(r),
            QStringLiteral(" Make replacement"), MessageButtons::YesNo, MessageIcon::Question,
            MessageAnswer::Yes);
        if (answer != MessageAnswer::Yes)
            return;
    }
    s.emptyReplaceConfirmed = false;
    s.changedIdentities.clear();
    startRunTotals(ctx);
    s.passedOverCount = 0;
    // Whatever way the run ends, the user hears of the entries it passed over.
    const auto tell = qScopeGuard([&] { tellPassedOver(ctx); });

    if (r.isMinimizeWhileReplacing())
        ctx.main->minimizeWindow();
    ctx.main->setTimeStart(TimeStamp::generalDateTime(Clock::now()));

    replaceOverRequest(ctx);

    // A stopped run still reports what it did until the stop.
    if (s.stopRequested) {
        if (hasReportContent(ctx))
            trap(ctx, [&] { ctx.main->writeReport(); });
        return;
    }
    if (!hasReportContent(ctx)) {
        ctx.main->restoreWindow();
        ctx.dialogs->message(QStringLiteral("Finished searching through all selected documents."),
                             QStringLiteral(" Search complete"), MessageButtons::Ok,
                             MessageIcon::Information);
        return;
    }

    if (ctx.viewer->listCount() > 0) {
        qint32 start = 0;
        const qint32 found = findInBuffer(ctx, start);
        ctx.viewer->setCountLabel(QString::number(ctx.viewer->listCount()));
        ctx.viewer->setPosLabel(QString::number(found));
        ctx.viewer->setTag(QStringLiteral("Stop"));
        ctx.viewer->selectListItem(0);
        ctx.viewer->setTag(QStringLiteral("Stop"));
        ctx.viewer->setCaption(QStringLiteral("Viewing document: ") +
                               ctx.viewer->buffer().fileName());
        ctx.viewer->showViewer();
    }
    ctx.viewer->setFindText(QString());
    ctx.viewer->setReplaceText(QString());
    ctx.main->setStatusText(1, kScrivlane);
    trap(ctx, [&] { ctx.main->writeReport(); });
}
