#include "ReplaceRun.h"

#include "BackupLocation.h"
#include "BytePrefilter.h"
#include "DocumentBuffer.h"
#include "MainPort.h"
#include "MatchPrimitives.h"
#include "PatternDispatch.h"
#include "ReplacementText.h"
#include "RunContext.h"
#include "RunSupport.h"
#include "SaveQueue.h"
#include "SearchRequest.h"
#include "TextSearch.h"
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

#include <QDir>
#include <QLocale>
#include <QScopeGuard>
#include <QStringList>

#include <cstring>
#include <vector>

using namespace RunSupport;

namespace {
const QString kSentence = QStringLiteral("An error occurred while trying to replace.");
const QString kSource = QStringLiteral("cmdReplace_Click-frmFind.frm");
const QString kScrivlane = QStringLiteral("Scrivlane");

bool trap(RunContext &ctx, const std::function<void()> &step)
{
    return trapped(ctx, kSentence, kSource, step);
}

// A replaced text would be larger than a file the program may load.
struct ResultTooLarge {};

// What a replacement did to a file's text.
struct Outcome {
    bool changed = false;
    /// Nothing was replaced: the result would have been too large to hold.
    bool tooLarge = false;
};

FileTooLarge resultTooLarge(const QString &path)
{
    return FileTooLarge(
        QStringLiteral("The replaced text of \"%1\" would hold more than %2 characters, the "
                       "most this program holds for one file. The file was left unchanged.")
            .arg(path, QLocale::system().toString(LoadLimit::maxFileSize())));
}

// Builds the replaced text in one pass and keeps track of whether the working
// text (what is built so far followed by the rest of the original) still equals
// the original. Text before the insertion point never changes again, so once a
// differing position has been seen the texts differ for good; until then they
// differ exactly when their lengths do.
class ReplacementBuilder {
public:
    /// keep false only follows the comparison, for a text rewritten in place later.
    explicit ReplacementBuilder(const QString &original, bool keep = true)
        : m_original(original), m_keep(keep), m_limit(LoadLimit::maxFileSize())
    {
        if (keep)
            m_out.reserve(original.size());
    }

    void appendOriginal(qsizetype from, qsizetype to)
    {
        append(QStringView(m_original).sliced(from, to - from));
    }
    /// Throws ResultTooLarge before the text grows past what a loaded file may hold.
    void append(QStringView piece)
    {
        if (m_size + piece.size() > m_limit)
            throw ResultTooLarge();
        if (!m_differs) {
            const qsizetype at = m_size;
            if (at + piece.size() > m_original.size() ||
                QStringView(m_original).sliced(at, piece.size()) != piece)
                m_differs = true;
        }
        m_size += piece.size();
        if (m_keep)
            m_out.append(piece);
    }

    /// Whether out + original[consumed..] differs from the original.
    bool workingDiffers(qsizetype consumed) const { return m_differs || m_size != consumed; }
    const QString &out() const { return m_out; }
    QString take() { return std::move(m_out); }

private:
    const QString &m_original;
    const bool m_keep;
    const qint64 m_limit;
    QString m_out;
    qsizetype m_size = 0;
    bool m_differs = false;
};

void noteReplacement(RunContext &ctx, bool differs)
{
    if (differs)
        ++ctx.state.TotalReplacements;
    ++ctx.state.FileReplacements;
}

// Rewrites text where it lies, given the positions of the occurrences, so that
// a large file is never held twice.
void rewriteInPlace(QString &text, const std::vector<qsizetype> &positions, qsizetype keyLength,
                    QStringView replacement)
{
    const qsizetype n = text.size();
    const qsizetype grow = replacement.size() - keyLength;
    auto move = [](char16_t *to, const char16_t *from, qsizetype count) {
        // An empty replacement's data may be null; memmove must not see it.
        if (count > 0)
            std::memmove(to, from, size_t(count) * sizeof(char16_t));
    };
    if (grow <= 0) {
        char16_t *d = reinterpret_cast<char16_t *>(text.data());
        qsizetype read = 0, write = 0;
        for (const qsizetype p : positions) {
            move(d + write, d + read, p - read);
            write += p - read;
            move(d + write, replacement.utf16(), replacement.size());
            write += replacement.size();
            read = p + keyLength;
        }
        move(d + write, d + read, n - read);
        text.truncate(write + n - read);
        return;
    }
    // Growing: lengthen once, then fill from the end so nothing unread is overwritten.
    text.resize(n + grow * qsizetype(positions.size()));
    char16_t *d = reinterpret_cast<char16_t *>(text.data());
    qsizetype readEnd = n, writeEnd = text.size();
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        const qsizetype tail = readEnd - (*it + keyLength);
        writeEnd -= tail;
        move(d + writeEnd, d + *it + keyLength, tail);
        writeEnd -= replacement.size();
        move(d + writeEnd, replacement.utf16(), replacement.size());
        readEnd = *it;
    }
}

QString replaceNormal(RunContext &ctx, QString pString, const QString &Keyword,
                      const QString &NewKeyWord, Outcome &outcome)
{
    const bool matchCase = ctx.request->isCaseSensitive();
    // Whole words are told on the text as loaded, so an occurrence inside a
    // longer word stays as it is.
    const bool wholeWord = ctx.request->isWholeWord();
    auto next = [&](qsizetype from) {
        return TextSearch::find(pString, Keyword, from, matchCase, wholeWord);
    };
    // A text nobody else holds is rewritten where it lies once every
    // occurrence is known; otherwise the new text is built beside it. Line
    // breaks make matches and replacements vary in length: built beside.
    auto hasLineBreak = [](const QString &text) {
        return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    };
    const bool inPlace =
        pString.isDetached() && !hasLineBreak(Keyword) && !hasLineBreak(NewKeyWord);
    std::vector<qsizetype> positions;
    ReplacementText replacement(NewKeyWord, pString);
    ReplacementBuilder builder(pString, !inPlace);
    const qint32 totalBefore = ctx.state.TotalReplacements;
    qsizetype consumed = 0;
    try {
        TextSearch::Match match = next(0);
        while (match.position >= 0) {
            builder.appendOriginal(consumed, match.position);
            builder.append(
                replacement.forMatch(QStringView(pString).sliced(match.position, match.length)));
            if (inPlace)
                positions.push_back(match.position);
            consumed = match.position + match.length;
            // The rest of the working text is the original after the match, so the
            // next occurrence is found there; an inserted text is never searched again.
            match = next(consumed);
            noteReplacement(ctx, builder.workingDiffers(consumed));
        }
        if (ctx.state.FileReplacements != 0)
            builder.appendOriginal(consumed, pString.size());
    } catch (const ResultTooLarge &) {
        ctx.state.TotalReplacements = totalBefore;
        ctx.state.FileReplacements = 0;
        outcome.tooLarge = true;
    }
    ctx.main->setStatusText(
        1, QStringLiteral("Replacements: ") + QString::number(ctx.state.TotalReplacements));
    if (ctx.state.FileReplacements == 0)
        return pString;
    outcome.changed = builder.workingDiffers(pString.size());
    if (!inPlace)
        return builder.take();
    rewriteInPlace(pString, positions, Keyword.size(), NewKeyWord);
    return pString;
}

// The fuzzy loop searches the original after each match, as the working text
// there is the same; only a whole-word test at the very start of the rest sees
// the last character written before it.
QString replaceFuzzy(RunContext &ctx, const QString &pString, const QString &NewKeyWord,
                     Outcome &outcome)
{
    RunState &s = ctx.state;
    qint32 start = 0;
    const qint32 first = Find_Fuzzy(ctx, start);
    if (first == -1 || s.StopRequested)
        return pString;

    const bool matchCase = ctx.request->isCaseSensitive();
    const bool wholeWord = ctx.request->isWholeWord();
    const QString firstPart = s.FirstPart;
    const QString secondPart = s.SecondPart;
    ReplacementText replacement(NewKeyWord, pString);
    ReplacementBuilder builder(pString);
    const qint32 totalBefore = s.TotalReplacements;
    qsizetype consumed = 0;
    qsizetype pos = first;
    qsizetype matchLength = ctx.viewer->rtbDefault().SelLength();
    try {
        while (pos >= 0) {
            builder.appendOriginal(consumed, pos);
            builder.append(replacement.forMatch(QStringView(pString).sliced(pos, matchLength)));
            consumed = pos + matchLength;

            const QStringView rest = QStringView(pString).sliced(consumed);
            const QChar before = builder.out().isEmpty() ? QChar() : builder.out().back();
            const TextSearch::Match f =
                TextSearch::find(rest, firstPart, 0, matchCase, wholeWord, before);
            pos = -1;
            if (f.position >= 0) {
                const TextSearch::Match second =
                    TextSearch::find(rest, secondPart, f.position + f.length, false, false, before);
                if (second.position >= 0) {
                    pos = consumed + f.position;
                    matchLength = second.position + second.length - f.position;
                }
            }
            noteReplacement(ctx, builder.workingDiffers(consumed));
            ctx.main->setStatusText(
                1, QStringLiteral("Replacements: ") + QString::number(s.TotalReplacements));
        }
        builder.appendOriginal(consumed, pString.size());
    } catch (const ResultTooLarge &) {
        s.TotalReplacements = totalBefore;
        s.FileReplacements = 0;
        outcome.tooLarge = true;
        ctx.main->setStatusText(
            1, QStringLiteral("Replacements: ") + QString::number(s.TotalReplacements));
        return pString;
    }
    outcome.changed = builder.workingDiffers(pString.size());
    const QString result = builder.take();
    // As the last, unsuccessful search leaves them.
    s.FoundPosition = -1;
    ctx.viewer->setPosLabel(QStringLiteral("-1 of ") + QString::number(result.size()));
    ctx.viewer->setNewPos(QStringLiteral("0"));
    return result;
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
}

void replaceInSelectedFiles(RunContext &ctx)
{
    RunState &s = ctx.state;
    const SearchRequest &r = *ctx.request;
    const int count = r.fileCount();
    for (int i = 0; i < count; ++i) {
        if (s.StopRequested)
            return;
        Get_Path(ctx);
        if (!r.isFileSelected(i))
            continue;
        const QString name = r.fileName(i);
        s.CurrentPath += name;
        // A selected link and its selected target are one file, changed once.
        if (changedThisRun(ctx, s.CurrentPath))
            continue;
        // A file whose backup failed stays as it is: the user asked to keep the original.
        if (r.hasBackup() && !trap(ctx, [&] { backupSingleFile(ctx, s.CurrentPath, name); }))
            continue;
        if (!trap(ctx, [&] { loadIntoViewer(ctx, s.CurrentPath); }))
            continue;
        showSearching(ctx, s.CurrentPath);

        qint32 start = 0;
        const qint32 totalBefore = s.TotalReplacements;
        const qint32 found = r.isFuzzy() ? Find_Fuzzy(ctx, start) : Find_Normal(ctx, start);
        if (found == -1 || s.StopRequested || !replaceLoadedFile(ctx, kSentence, kSource))
            continue;
        const int last = ctx.viewer->listCount() - 1;
        if (last >= 0 && ctx.viewer->listItem(last) == s.CurrentPath) {
            const QString path = s.CurrentPath;
            trap(ctx, [&] { saveOrUnlist(ctx, path, totalBefore, [&] { AddToList(ctx); }); });
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

QString replaceString(RunContext &ctx, const QString &pString, const QString &Keyword,
                      const QString &NewKeyWord)
{
    ctx.state.FileReplacements = 0;
    Outcome outcome;
    QString result = ctx.request->isFuzzy()
                         ? replaceFuzzy(ctx, pString, NewKeyWord, outcome)
                         : replaceNormal(ctx, pString, Keyword, NewKeyWord, outcome);
    if (outcome.tooLarge)
        throw resultTooLarge(ctx.viewer->rtbDefault().FileName());
    if (outcome.changed)
        ctx.viewer->addToList(ctx.viewer->rtbDefault().FileName());
    return result;
}

void replaceInBuffer(RunContext &ctx, const QString &Keyword, const QString &NewKeyWord)
{
    DocumentBuffer &buffer = ctx.viewer->rtbDefault();
    if (ctx.request->isFuzzy()) {
        buffer.setText(replaceString(ctx, buffer.Text(), Keyword, NewKeyWord));
        return;
    }
    ctx.state.FileReplacements = 0;
    Outcome outcome;
    buffer.setText(replaceNormal(ctx, buffer.takeText(), Keyword, NewKeyWord, outcome));
    if (outcome.tooLarge)
        throw resultTooLarge(buffer.FileName());
    if (outcome.changed)
        ctx.viewer->addToList(buffer.FileName());
}

void AddToList(RunContext &ctx)
{
    RunState &s = ctx.state;
    DocumentBuffer &buffer = ctx.viewer->rtbDefault();
    // Back into the file that was read, unless another program changed it meanwhile.
    if (buffer.hasSource() && buffer.FileName() == s.CurrentPath)
        buffer.saveChecked();
    else
        buffer.SaveFile(s.CurrentPath);
    noteChanged(ctx, s.CurrentPath);
    ctx.viewer->setTag(QStringLiteral("Stop"));
    appendReportEntry(ctx, s.CurrentPath, s.FileReplacements);
}

void appendReportEntry(RunContext &ctx, const QString &path, qint32 replacements)
{
    RunState &s = ctx.state;
    ++s.ModifiedFileCount;
    s.ReportBody += reportEntry(s.ModifiedFileCount, path, replacements);
}

void startRunTotals(RunContext &ctx)
{
    RunState &s = ctx.state;
    s.TotalReplacements = 0;
    s.FileReplacements = 0;
    s.ModifiedFileCount = 0;
    s.ReportBody.clear();
    s.PassedOverFiles.clear();
}

bool hasReportContent(const RunContext &ctx)
{
    return !ctx.state.ReportBody.isEmpty() || !ctx.state.PassedOverFiles.isEmpty();
}

bool isBinaryText(const DocumentBuffer &buffer)
{
    // The first block, as other tools test it; UTF-16 text holds NULs of its own.
    constexpr qsizetype kFirstBlock = 8000;
    if (buffer.encoding() == TextEncoding::Utf16LeBom ||
        buffer.encoding() == TextEncoding::Utf16BeBom)
        return false;
    const QString &text = buffer.Text();
    return QStringView(text).first(qMin(text.size(), kFirstBlock)).contains(QChar(0));
}

bool passedOverAsBinary(RunContext &ctx)
{
    const DocumentBuffer &buffer = ctx.viewer->rtbDefault();
    if (!isBinaryText(buffer))
        return false;
    ctx.state.PassedOverFiles.append(
        {buffer.FileName(), QStringLiteral("binary file, left unchanged")});
    return true;
}

bool replaceLoadedFile(RunContext &ctx, const QString &sentence, const QString &source)
{
    if (passedOverAsBinary(ctx))
        return false;
    DocumentBuffer &buffer = ctx.viewer->rtbDefault();
    const SearchRequest &r = *ctx.request;
    return unlessTooLarge(ctx, sentence, source, [&] {
        if (r.isFuzzy())
            buffer.setText(replaceString(ctx, buffer.Text(), buffer.SelText(), r.fuzzyReplace()));
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
                    const QString &Ext, SaveQueue &saves)
{
    RunState &s = ctx.state;
    const SearchRequest &r = *ctx.request;
    const QString DrivePath = folder.path();

    const bool backup = r.hasBackup() && !s.UndoInProgress;
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
    QStringList subfolders;
    for (const FileSystem::Entry &e : entries) {
        ctx.main->yieldToEvents();
        if (s.StopRequested)
            return;
        if (walksInto(e)) {
            if (!s.Walk.entersFolder(folder, e))
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
        if (s.StopRequested)
            return;
        // The file list's own rule, so a walk takes only names a list would show.
        if (!matchesWildcard(e.name, Ext) || !s.Walk.takesFile(folder, e))
            continue;

        const QString path = DrivePath + e.name;
        showSearching(ctx, path);
        if (isCurrentFolder && !s.SelectedTopFiles.contains(e.name))
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
            if (!identity.isEmpty() && s.ChangedThisRun.contains(identity))
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
            s.FoundPosition = -1;
            ctx.main->yieldToEvents();
            if (s.StopRequested)
                return;
            continue;
        }
        qint32 start = 0;
        qint32 found;
        if (r.isFuzzy()) {
            if (r.firstPart().isEmpty())
                return;
            found = Find_Fuzzy(ctx, start);
        } else {
            found = Find_Normal(ctx, start);
        }
        if (s.StopRequested)
            return;
        if (found == -1)
            continue;
        // A binary file is passed over before anything is copied.
        if (passedOverAsBinary(ctx))
            continue;

        // A file whose save failed may be taken again by the next pattern; its
        // copy must stay the one taken before.
        if (backup && !s.BackedUpThisRun.contains(path)) {
            const QString copyFolder = BackupTree::mirrorOf(ctx.backup->backupRoot(), DrivePath);
            FileSystem::makeFolder(copyFolder);
            try {
                FileSystem::copyFile(file, copyFolder + e.name);
            } catch (const Failure &failure) {
                throw BackupFailed(failure.description());
            }
            s.BackedUpThisRun.insert(path);
        }
        const qint32 totalBefore = s.TotalReplacements;
        if (!replaceLoadedFile(ctx, kSentence, kSource))
            continue;

        if (s.FileReplacements != 0) {
            try {
                saveOrUnlist(ctx, path, totalBefore, [&] { saves.add(ctx, path, totalBefore); });
            } catch (const Failure &failure) {
                passOver(ctx, kWalkSource, failure.description());
            }
            if (saves.isFull())
                saves.commit(ctx);
        }
    }

    for (const QString &name : std::as_const(subfolders)) {
        try {
            folder.enter(name, [&](const FileSystem::Folder &child) {
                walkAndReplace(ctx, *child, false, Ext, saves);
            });
        } catch (const BackupFailed &) {
            throw;
        } catch (const Failure &failure) {
            passOver(ctx, kWalkSource, failure.description());
        }
    }
}
}  // namespace

void FilesSearch(RunContext &ctx, QString &DrivePath, QString &Ext)
{
    DrivePath = Paths::withTrailingSeparator(DrivePath);
    const FileSystem::Folder top = FileSystem::FolderHandle::open(DrivePath);
    // Every save the walk wrote reaches the disk before the walk is over, even
    // when it ends on an error.
    SaveQueue saves;
    try {
        walkAndReplace(ctx, *top, true, Ext, saves);
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

void cmdReplace_Click(RunContext &ctx)
{
    RunState &s = ctx.state;
    const SearchRequest &r = *ctx.request;
    if (s.StopRequested)
        return;

    ctx.main->resetHints();
    Error_Trapping(ctx);
    s.ModifiedFileCount = 0;
    if (s.ValidationFailed) {
        ctx.main->setStatusText(2, QString());
        ctx.main->setStatusText(1, kScrivlane);
        ctx.main->restoreWindow();
        return;
    }

    ctx.main->saveHistories();
    ctx.viewer->clearList();
    if (!s.EmptyReplaceConfirmed) {
        const MessageAnswer answer = ctx.dialogs->message(
            QStringLiteral("Are you sure you want to make this replacement?\r") + replaceScope(r),
            QStringLiteral(" Make replacement"), MessageButtons::YesNo, MessageIcon::Question,
            MessageAnswer::Yes);
        if (answer != MessageAnswer::Yes)
            return;
    }
    s.EmptyReplaceConfirmed = false;
    s.ChangedThisRun.clear();
    startRunTotals(ctx);
    s.PassedOver = 0;
    // Whatever way the run ends, the user hears of the entries it passed over.
    const auto tell = qScopeGuard([&] { tellPassedOver(ctx); });

    if (r.isMinimizeWhileReplacing())
        ctx.main->minimizeWindow();
    ctx.main->setTimeStart(TimeStamp::generalDateTime(Clock::now()));

    if (r.hasSubdirectories()) {
        trap(ctx, [&] {
            bool rep = true;
            Check_Filters(ctx, rep);
        });
    } else {
        replaceInSelectedFiles(ctx);
    }

    // A stopped run still reports what it did until the stop.
    if (s.StopRequested) {
        if (hasReportContent(ctx))
            trap(ctx, [&] { ctx.main->OutputData(); });
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
        const qint32 found = Find_Normal(ctx, start);
        ctx.viewer->setCountLabel(QString::number(ctx.viewer->listCount()));
        ctx.viewer->setPosLabel(QString::number(found));
        ctx.viewer->setTag(QStringLiteral("Stop"));
        ctx.viewer->selectListItem(0);
        ctx.viewer->setTag(QStringLiteral("Stop"));
        ctx.viewer->setCaption(QStringLiteral("Viewing document: ") +
                               ctx.viewer->rtbDefault().FileName());
        ctx.viewer->showViewer();
    }
    ctx.viewer->setFindText(QString());
    ctx.viewer->setReplaceText(QString());
    ctx.main->setStatusText(1, kScrivlane);
    trap(ctx, [&] { ctx.main->OutputData(); });
}
