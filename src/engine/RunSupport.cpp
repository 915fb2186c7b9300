#include "RunSupport.h"

#include "BytePrefilter.h"
#include "DocumentBuffer.h"
#include "MainPort.h"
#include "MatchPrimitives.h"
#include "ReadAhead.h"
#include "RegexLiteral.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunRequest.h"
#include "TextSearch.h"
#include "ViewerPort.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/LoadLimit.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"

#include <QStringList>

#include <exception>

namespace {
// Iterative glob with backtracking over the last "*": linear for the
// patterns people type, never exponential.
bool globMatch(QStringView name, QStringView pattern, Qt::CaseSensitivity cs)
{
    auto same = [cs](QChar a, QChar b) {
        return cs == Qt::CaseSensitive ? a == b : a.toCaseFolded() == b.toCaseFolded();
    };
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}
}  // namespace

void takeFolderPath(RunContext &ctx)
{
    ctx.state.currentPath = Paths::withTrailingSeparator(ctx.request.folderPath());
}

bool RunSupport::matchesWildcard(const QString &name, const QString &pattern)
{
    if (pattern.isEmpty() || pattern == QLatin1String("*.*") || pattern == QLatin1String("*"))
        return true;
#ifdef Q_OS_WIN
    return globMatch(name, pattern, Qt::CaseInsensitive);
#else
    return globMatch(name, pattern, Qt::CaseSensitive);
#endif
}

QSet<QString> RunSupport::selectedNames(const RunRequest &request)
{
    QSet<QString> names;
    const int count = request.fileCount();
    for (int i = 0; i < count; ++i) {
        if (request.isFileSelected(i))
            names.insert(request.fileName(i));
    }
    return names;
}

void RunSupport::passOver(RunContext &ctx, const QString &source, const QString &description)
{
    ErrorLog::logError(source, description, ctx.dialogs);
    ++ctx.state.passedOverCount;
}

void RunSupport::tellPassedOver(RunContext &ctx)
{
    const qint32 count = std::exchange(ctx.state.passedOverCount, 0);
    if (count == 0)
        return;
    ctx.dialogs->message(
        QStringLiteral("%1 %2 could not be read or written and %3 passed over. The error log "
                       "lists each one: %4")
            .arg(QString::number(count),
                 count == 1 ? QStringLiteral("entry") : QStringLiteral("entries"),
                 count == 1 ? QStringLiteral("was") : QStringLiteral("were"), ErrorLog::logPath()),
        QStringLiteral(" Entries passed over"), MessageButtons::Ok, MessageIcon::Information);
}

void RunSupport::reportRunError(RunContext &ctx, const QString &sentence, const QString &source,
                                const QString &description)
{
    ErrorLog::reportFailure(*ctx.dialogs, ErrorLog::exactErrorMessage(sentence, description),
                            QStringLiteral(" Error"), source, description);
}

bool RunSupport::trapped(RunContext &ctx, const QString &sentence, const QString &source,
                         const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const Failure &failure) {
        reportRunError(ctx, sentence, source, failure.description());
    } catch (const std::bad_alloc &) {
        reportRunError(ctx, sentence, source, QStringLiteral("Out of memory"));
    } catch (const std::exception &e) {
        reportRunError(ctx, sentence, source, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void RunSupport::saveOrUnlist(RunContext &ctx, const QString &path, qint32 totalBefore,
                              const std::function<void()> &save)
{
    try {
        save();
    } catch (...) {
        if (isListedLast(ctx, path))
            ctx.events->filesUnlisted({path});
        ctx.state.totalReplacements = totalBefore;
        throw;
    }
}

bool RunSupport::isListedLast(const RunContext &ctx, const QString &path)
{
    const QStringList &listed = ctx.events->listed();
    return !listed.isEmpty() && listed.constLast() == path;
}

void RunSupport::showSearching(RunContext &ctx, const QString &path)
{
    ctx.events->fileSearched(path);
}

void RunSupport::storeSubfolder(QStringList &table, const QString &folder)
{
    constexpr int kMaxSubfolders = 32767;
    if (table.size() >= kMaxSubfolders)
        throw Failure(QStringLiteral("Overflow"));
    table << folder;
}

namespace {
bool prefilterEnabled = true;

// Without the skip: a caller that wants no text-change reaction asks for it first.
void load(RunContext &ctx, const std::function<void(DocumentBuffer &)> &into)
{
    DocumentBuffer &buffer = ctx.viewer->buffer();
    ctx.state.preparedReplacement.reset();
    into(buffer);
    ctx.state.skippedLoad.clear();
    ctx.events->documentLoaded();
}
}  // namespace

void RunSupport::loadIntoViewer(RunContext &ctx, const QString &path)
{
    loadIntoViewer(ctx, FileSystem::FileAt::resolve(path));
}

void RunSupport::loadIntoViewer(RunContext &ctx, const FileSystem::FileAt &file)
{
    ctx.viewer->setSkipNextReaction(true);
    load(ctx, [&](DocumentBuffer &buffer) { buffer.loadFrom(file); });
}

FileSystem::FileAt RunSupport::walkedFile(FileSystem::FolderHandle &folder,
                                          const FileSystem::Entry &entry)
{
    // One allocation: a QString sum copies the folder's path, then grows it.
    QString path;
    path.reserve(folder.path().size() + entry.name.size());
    path.append(folder.path()).append(entry.name);
    if (entry.isLink)
        return FileSystem::FileAt::resolve(path);
    return FileSystem::FileAt{folder.shared_from_this(), entry.name, path, folder.held()};
}

void RunSupport::loadShownFile(RunContext &ctx, const QString &path)
{
    load(ctx, [&](DocumentBuffer &buffer) { buffer.load(path); });
}

void RunSupport::setPrefilterEnabledForTesting(bool enabled)
{
    prefilterEnabled = enabled;
}

BytePrefilter RunSupport::prefilterFor(const RunRequest &request)
{
    if (request.isFuzzy() || !prefilterEnabled)
        return BytePrefilter(QString(), false);
    const bool matchCase = request.isCaseSensitive();
    if (!request.isRegex())
        return BytePrefilter(request.findText(), matchCase);
    QString literal = RegexLiteral::required(request.findText());
    // PCRE2 also takes the Kelvin sign for a k in any case; the byte filter does not.
    if (!matchCase && literal.contains(QLatin1Char('k'), Qt::CaseInsensitive))
        literal.clear();
    return BytePrefilter(literal, matchCase);
}

FirstMatchSearch RunSupport::firstMatchSearchFor(const RunRequest &request)
{
    if (request.isRegex() || request.isFuzzy())
        return {};
    return [what = request.findText(), matchCase = request.isCaseSensitive(),
            wholeWord = request.isWholeWord()](QStringView text) {
        const TextSearch::Match match = TextSearch::find(text, what, 0, matchCase, wholeWord);
        return TextMatch{match.position, match.length};
    };
}

bool RunSupport::loadUnlessRuledOut(RunContext &ctx, const FileSystem::FileAt &file,
                                    const BytePrefilter &filter)
{
    return loadPreRead(ctx, file, PreRead::of(file, filter));
}

bool RunSupport::loadPreRead(RunContext &ctx, const FileSystem::FileAt &file, PreRead read)
{
    if (!read.bytes) {
        loadIntoViewer(ctx, file);
        return true;
    }
    // Ruled out from its bytes, or searched already and holding no match.
    if (!read.mayMatch || (read.firstMatch && read.firstMatch->position < 0)) {
        ctx.state.skippedLoad = file.path;
        return false;
    }
    ctx.viewer->setSkipNextReaction(true);
    load(ctx, [&](DocumentBuffer &buffer) {
        if (read.decoded) {
            buffer.loadDecoded(file, read.size, std::move(*read.decoded), read.stamp);
            if (read.firstMatch)
                buffer.knowFirstMatch({ctx.request.findText(), findOptions(ctx.request),
                                       read.firstMatch->position, read.firstMatch->length});
            if (read.binaryHead)
                buffer.knowBinaryHead(*read.binaryHead);
        } else
            buffer.loadBytes(file, *read.bytes, read.stamp);
    });
    ctx.state.preparedReplacement = std::move(read.prepared);
    return true;
}

void RunSupport::settleSkippedLoad(RunContext &ctx)
{
    const QString path = ctx.state.skippedLoad;
    if (path.isEmpty())
        return;
    try {
        loadIntoViewer(ctx, path);
    } catch (...) {
        // Gone since the walk read it: the buffer keeps what it holds.
        ctx.state.skippedLoad.clear();
        return;
    }
    ctx.state.foundPosition = -1;
    ctx.events->positionShown(-1, ctx.viewer->buffer().text().size());
    ctx.events->searchStartMoved(0);
}

bool RunSupport::walksInto(const FileSystem::Entry &entry)
{
    return entry.kind == FileSystem::EntryKind::Folder;
}

bool RunSupport::walksFile(const FileSystem::Entry &entry, bool topFolder)
{
    return entry.kind == FileSystem::EntryKind::File && (!entry.isLink || topFolder);
}

bool RunSupport::changedThisRun(const RunContext &ctx, const QString &path)
{
    const QString id = FileSystem::fileIdentity(path);
    return !id.isEmpty() && ctx.state.changedIdentities.contains(id);
}

bool RunSupport::changedThisRun(const RunContext &ctx, const FileSystem::FileAt &file)
{
    const QString id = file.identity();
    return !id.isEmpty() && ctx.state.changedIdentities.contains(id);
}

void RunSupport::noteChanged(RunContext &ctx, const QString &path)
{
    // The identity after the save: a save gives the file a new one, so another
    // hard link to the old content is still its own file.
    const QString id = FileSystem::fileIdentity(path);
    if (!id.isEmpty())
        ctx.state.changedIdentities.insert(id);
}

QString RunSupport::gaveUpDescription(const QString &path, const SearchGaveUp &gaveUp)
{
    return QStringLiteral(
               "The regular expression gave up on \"%1\" (%2): it could not be searched to its "
               "end and was left as it is.")
        .arg(path, gaveUp.description());
}

bool RunSupport::unlessGaveUp(RunContext &ctx, const QString &sentence, const QString &source,
                              const std::function<void()> &search)
{
    try {
        search();
    } catch (const SearchGaveUp &gaveUp) {
        const QString path = ctx.viewer->buffer().fileName();
        ctx.state.foundPosition = -1;
        ctx.state.passedOverFiles.append(
            {path, QStringLiteral("the regular expression gave up on it, left unchanged")});
        reportRunError(ctx, sentence, source, gaveUpDescription(path, gaveUp));
        return false;
    }
    return true;
}

bool RunSupport::unlessTooLarge(RunContext &ctx, const QString &sentence, const QString &source,
                                const std::function<void()> &load)
{
    try {
        load();
    } catch (const FileTooLarge &tooLarge) {
        reportRunError(ctx, sentence, source, tooLarge.description());
        return false;
    }
    return true;
}
