#include "RunReplacement.h"

#include "DocumentBuffer.h"
#include "MainPort.h"
#include "Matcher.h"
#include "PreviewResult.h"
#include "Replacer.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunReport.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "SaveQueue.h"
#include "SearchMatcher.h"
#include "ViewerPort.h"
#include "platform/ContentKind.h"
#include "platform/LoadLimit.h"

#include <QLocale>

#include <memory>
#include <optional>
#include <utility>

namespace {

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

// What a replacement in this run may change and record: only the ticked
// matches in a Replace of ticked replacements, the changes for a preview.
ReplaceScope scopeFor(const RunState &s, QList<TextChange> *changes)
{
    ReplaceScope scope;
    scope.changes = changes;
    scope.textWanted = !s.previewSink || s.previewSink->wantsTexts();
    if (const TickedFile *ticked = s.tickedFile) {
        scope.accepts = [ticked](const TextMatch &m) {
            return ticked->positions.contains(m.position);
        };
    }
    return scope;
}

// The file's and the run's counts, status panel 1 and the viewer's position labels.
void tallyResult(RunContext &ctx, const ReplaceResult &result, bool fuzzy)
{
    RunState &s = ctx.state;
    s.fileReplacements = result.replacements;
    s.totalReplacements += result.changingReplacements;
    // A fuzzy replacement that found nothing leaves the status as it is.
    if (!fuzzy || result.replacements != 0 || result.tooLarge) {
        ctx.events->replacementsMade(s.totalReplacements);
    }
    if (fuzzy && !result.tooLarge) {
        // As the last, unsuccessful search leaves them.
        s.foundPosition = -1;
        ctx.events->positionShown(-1, result.text.size());
        ctx.events->searchStartMoved(0);
    }
}

// Notes a binary file as passed over, for the report.
bool passedOver(RunContext &ctx, const QString &path, bool binary)
{
    if (binary)
        ctx.state.passedOverFiles.append({path, QStringLiteral("binary file, left unchanged")});
    return binary;
}

// The replacement a read-ahead worker prepared, when it is the one asked for:
// the same text (still sharing its data, so unchanged), search and scope.
std::optional<PreparedReplacement> takePrepared(RunContext &ctx, const QString &text,
                                                const QString &keyword, const QString &with,
                                                const QList<TextChange> *changes)
{
    RunState &s = ctx.state;
    std::optional<PreparedReplacement> prepared = std::exchange(s.preparedReplacement, {});
    const RunRequest &r = ctx.request;
    if (!prepared || !changes || !s.previewSink || s.tickedFile || r.isFuzzy() || r.isRegex() ||
        keyword != r.findText() || with != r.replaceText() ||
        prepared->source.constData() != text.constData() || prepared->source.size() != text.size())
        return std::nullopt;
    return prepared;
}

// Replaces in text for the request and tallies the result in the run;
// changes, when given, receives where each replacement went.
ReplaceResult replaceForRun(RunContext &ctx, QString text, const QString &keyword,
                            const QString &with, QList<TextChange> *changes = nullptr)
{
    RunState &s = ctx.state;
    const RunRequest &r = ctx.request;
    s.fileReplacements = 0;
    const bool fuzzy = r.isFuzzy();
    if (fuzzy && stoppedBeforeFuzzyReplacement(ctx)) {
        ReplaceResult unchanged;
        unchanged.text = std::move(text);
        return unchanged;
    }
    ReplaceResult result;
    if (std::optional<PreparedReplacement> prepared =
            takePrepared(ctx, text, keyword, with, changes)) {
        result = std::move(prepared->result);
        *changes = std::move(prepared->changes);
    } else {
        const std::unique_ptr<Matcher> matcher = matcherFor(r, keyword);
        // A regular expression's long search lets the window answer, and a
        // stop leaves the file as it was. (Only then is the text held twice:
        // a plain one is rewritten where it lies.)
        QString original;
        if (r.isRegex() && !fuzzy) {
            original = text;
            matcher->setInterruption([&ctx] {
                ctx.main->yieldToEvents();
                return ctx.state.stopRequested;
            });
        }
        try {
            result = replaceAll(std::move(text), *matcher, with, scopeFor(s, changes));
        } catch (const SearchStopped &) {
            result = ReplaceResult();
            result.text = original;
            if (changes)
                changes->clear();
        }
    }
    tallyResult(ctx, result, fuzzy);
    return result;
}

// After the new text is placed: a text too large is reported, a changed one listed.
void endReplacement(RunContext &ctx, const ReplaceResult &result)
{
    const QString path = ctx.viewer->buffer().fileName();
    if (result.tooLarge)
        throw resultTooLarge(path);
    if (result.changed)
        ctx.events->fileChanged(path);
}

}  // namespace

QString replaceAndCount(RunContext &ctx, const QString &text, const QString &find,
                        const QString &replacement)
{
    ReplaceResult result = replaceForRun(ctx, text, find, replacement);
    endReplacement(ctx, result);
    return std::move(result.text);
}

void replaceInBuffer(RunContext &ctx, const QString &find, const QString &replacement)
{
    DocumentBuffer &buffer = ctx.viewer->buffer();
    if (ctx.state.previewSink) {
        previewBuffer(ctx, buffer, find, replacement);
        return;
    }
    // A normal search rewrites the text where it lies, so the buffer hands it
    // over; a fuzzy one builds beside it and leaves the buffer as it is when
    // the result would be too large, a regular expression when it gives up.
    const bool taken = !ctx.request.isFuzzy() && !ctx.request.isRegex();
    ReplaceResult result =
        replaceForRun(ctx, taken ? buffer.takeText() : buffer.text(), find, replacement);
    if (taken || !result.tooLarge)
        buffer.setText(result.text);
    endReplacement(ctx, result);
}

void previewBuffer(RunContext &ctx, const DocumentBuffer &buffer, const QString &keyword,
                   const QString &with)
{
    RunState &s = ctx.state;
    QList<TextChange> changes;
    // The buffer keeps the old text: the new one is built beside it.
    const ReplaceResult result = replaceForRun(ctx, buffer.text(), keyword, with, &changes);
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

PrepareReplacement previewReplacementFor(const RunContext &ctx)
{
    const RunRequest &r = ctx.request;
    const RunState &s = ctx.state;
    // A plain matcher keeps no state, so the workers share one.
    if (!s.previewSink || s.tickedFiles || r.isFuzzy() || r.isRegex())
        return {};
    std::shared_ptr<const Matcher> matcher = matcherFor(r, r.findText());
    return [matcher, with = r.replaceText(),
            textWanted = s.previewSink->wantsTexts()](const QString &text) {
        PreparedReplacement prepared;
        prepared.source = text;
        ReplaceScope scope;
        scope.changes = &prepared.changes;
        scope.textWanted = textWanted;
        prepared.result = replaceAll(text, *matcher, with, scope);
        return prepared;
    };
}

void saveReplacedFile(RunContext &ctx, qint32 totalBefore)
{
    RunState &s = ctx.state;
    DocumentBuffer &buffer = ctx.viewer->buffer();
    SaveQueue::saveNow(ctx, totalBefore, [&](FileSystem::PendingSaves &pending) {
        // Back into the file that was read, unless another program changed it meanwhile.
        if (buffer.hasSource() && buffer.fileName() == s.currentPath)
            buffer.saveChecked(&pending);
        else
            buffer.save(s.currentPath, &pending);
    });
    noteSavedFile(ctx, totalBefore);
}

void noteSavedFile(RunContext &ctx, qint32 totalBefore)
{
    RunState &s = ctx.state;
    RunSupport::noteChanged(ctx, s.currentPath);
    ctx.viewer->setSkipNextReaction(true);
    const qint32 replacements = s.totalReplacements - totalBefore;
    appendReportEntry(ctx, s.currentPath, replacements);
}

namespace {
// The first block as other tools test it, a little shorter than the viewer's.
constexpr qsizetype kFirstBlock = 8000;
}  // namespace

bool isBinaryText(const DocumentBuffer &buffer)
{
    if (const std::optional<bool> known = buffer.knownBinaryHead())
        return *known;
    return ContentKind::isBinaryText(buffer.text(), buffer.encoding(), kFirstBlock);
}

bool passedOverAsBinary(RunContext &ctx)
{
    const DocumentBuffer &buffer = ctx.viewer->buffer();
    return passedOver(ctx, buffer.fileName(), isBinaryText(buffer));
}

bool passedOverAsBinary(RunContext &ctx, const QString &path, QStringView head,
                        TextEncoding encoding)
{
    return passedOver(ctx, path, ContentKind::isBinaryText(head, encoding, kFirstBlock));
}

void tallyReplacement(RunContext &ctx, const ReplaceResult &result)
{
    ctx.state.fileReplacements = 0;
    tallyResult(ctx, result, false);
    endReplacement(ctx, result);
}

bool replaceLoadedFile(RunContext &ctx, const QString &sentence, const QString &source)
{
    return !passedOverAsBinary(ctx) && replaceLoadedText(ctx, sentence, source);
}

bool replaceLoadedText(RunContext &ctx, const QString &sentence, const QString &source)
{
    DocumentBuffer &buffer = ctx.viewer->buffer();
    const RunRequest &r = ctx.request;
    bool replaced = false;
    return RunSupport::unlessTooLarge(
               ctx, sentence, source,
               [&] {
                   replaced = RunSupport::unlessGaveUp(ctx, sentence, source, [&] {
                       if (r.isFuzzy())
                           replaceInBuffer(ctx, buffer.selectedText(), r.fuzzyReplace());
                       else
                           replaceInBuffer(ctx, r.findText(), r.replaceText());
                   });
               }) &&
           replaced;
}
