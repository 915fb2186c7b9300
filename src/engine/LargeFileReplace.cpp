#include "LargeFileReplace.h"

#include "DocumentBuffer.h"
#include "LineEnds.h"
#include "MainPort.h"
#include "MatchPrimitives.h"
#include "PieceReplacer.h"
#include "ReplaceSteps.h"
#include "Replacer.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunReplacement.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "SaveQueue.h"
#include "SearchMatcher.h"
#include "StreamedReplacement.h"
#include "ViewerPort.h"
#include "platform/LoadLimit.h"
#include "settings/LogSources.h"

namespace {

// From this size on a file's text, held whole, would cost twice its bytes.
constexpr qint64 kThreshold = qint64(32) << 20;
constexpr qsizetype kPiece = qsizetype(1) << 20;
// The first characters the binary check reads.
constexpr qsizetype kHead = 8000;

qint64 threshold = kThreshold;
qsizetype pieceSize = kPiece;

// The replaced text came out the same as the original: nothing is written.
struct Unchanged {};

// Reads file from its start a piece at a time; the first read sets stamp,
// and a file that is no longer what it was gives up the streamed replacement.
StreamedReplacement::ByteSource readerOf(const FileSystem::FileAt &file,
                                         FileSystem::FileStamp &stamp)
{
    return [&file, &stamp, offset = qint64(0)]() mutable {
        FileSystem::FileStamp now;
        QByteArray bytes = FileSystem::readFilePiece(file, offset, pieceSize, &now);
        if (offset == 0 && stamp.size < 0)
            stamp = now;
        else if (!(now == stamp))
            throw PieceReplacer::CannotStream();
        offset += bytes.size();
        return bytes;
    };
}

// As the walk's search leaves them: the found position, the viewer's labels.
void showFirstMatch(RunContext &ctx, const StreamedReplacement::Scan &scan)
{
    RunState &s = ctx.state;
    s.foundPosition = qint32(scan.first.position);
    ctx.events->positionShown(s.foundPosition, scan.textLength);
    const qint64 start = s.foundPosition == -1 ? 0 : s.foundPosition + scan.first.length;
    ctx.events->searchStartMoved(qint32(start));
}

// A failure as the run tells it: passed over in a walk, shown for a selected file.
void tellFailure(RunContext &ctx, bool walk, const Failure &failure)
{
    if (walk)
        RunSupport::passOver(ctx, RunSupport::kWalkSource, failure.description());
    else
        RunSupport::reportRunError(ctx, ReplaceSteps::kSentence, LogSource::replaceCommand,
                                   failure.description());
}

}  // namespace

bool LargeFileReplace::takes(const RunContext &ctx, const FileSystem::FileAt &file)
{
    const RunState &s = ctx.state;
    const RunRequest &r = ctx.request;
    // A kept case makes each replacement the match's own: the pieces write one text.
    if (s.previewSink || s.tickedFiles || r.isFuzzy() || r.isRegex() || r.keepsCase() ||
        r.findText().isEmpty() || LineEnds::hasLineBreak(r.replaceText()))
        return false;
    const qint64 size = file.stamp().size;
    return size >= threshold && size <= LoadLimit::maxFileSize();
}

bool LargeFileReplace::replace(RunContext &ctx, const FileSystem::FileAt &file, SaveQueue *saves,
                               const std::function<void()> &backUp)
{
    RunState &s = ctx.state;
    const RunRequest &r = ctx.request;
    const std::unique_ptr<Matcher> matcher = matcherFor(r, r.findText());
    // A line break in the search text may match CR LF: two characters for one.
    const qsizetype reach = 2 * r.findText().size();
    FileSystem::FileStamp stamp;
    StreamedReplacement::Scan scan;
    try {
        scan = StreamedReplacement::scan([&] { return readerOf(file, stamp); }, file.stamp().size,
                                         *matcher, reach, kHead);
    } catch (const PieceReplacer::CannotStream &) {
        return false;
    } catch (const Failure &failure) {
        tellFailure(ctx, saves, failure);
        return true;
    }
    DocumentBuffer &buffer = ctx.viewer->buffer();
    ctx.viewer->setSkipNextReaction(true);
    const auto hold = [&](TextMatch first) {
        buffer.holdUnloaded(file.path, scan.encoding,
                            {r.findText(), findOptions(r), first.position, first.length});
    };
    hold(scan.first);
    s.skippedLoad.clear();
    ctx.events->documentLoaded();
    if (!saves)
        RunSupport::showSearching(ctx, file.path);

    ctx.main->yieldToEvents();
    if (s.stopRequested)
        return true;
    showFirstMatch(ctx, scan);
    ctx.main->yieldToEvents();
    if (s.stopRequested || scan.first.position < 0 ||
        passedOverAsBinary(ctx, file.path, scan.head, scan.encoding))
        return true;
    if (backUp)
        backUp();

    const qint32 totalBefore = s.totalReplacements;
    StreamedReplacement::Outcome outcome;
    const FileSystem::PieceSource pieces = StreamedReplacement::replaced(
        readerOf(file, stamp), scan, stamp.size, *matcher, r.replaceText(), reach, outcome);
    ReplaceResult result;
    const auto tally = [&] {
        hold(outcome.firstInNew);
        result.replacements = outcome.replacements;
        result.changingReplacements = outcome.changingReplacements;
        result.changed = outcome.changed;
        tallyReplacement(ctx, result);
    };
    const FileSystem::PieceSource written = [&] {
        QByteArray bytes = pieces();
        if (bytes.isEmpty() && !outcome.changed)
            throw Unchanged();
        return bytes;
    };
    try {
        RunSupport::saveOrUnlist(ctx, file.path, totalBefore, [&] {
            if (!saves) {
                FileSystem::writeFileAtomic(file, stamp, written);
                tally();
                noteSavedFile(ctx, totalBefore);
                return;
            }
            saves->addWritten(ctx, file.path, totalBefore, file.identity(),
                              [&](FileSystem::PendingSaves &pending) {
                                  FileSystem::writeFileAtomic(file, stamp, written, &pending);
                                  tally();
                              });
        });
    } catch (const Unchanged &) {
        tally();
    } catch (const PieceReplacer::CannotStream &) {
        return false;
    } catch (const Failure &failure) {
        tellFailure(ctx, saves, failure);
    }
    if (saves && saves->isFull())
        saves->commit(ctx);
    return true;
}

void LargeFileReplace::setSizesForTesting(qint64 threshold_, qsizetype piece)
{
    threshold = threshold_ > 0 ? threshold_ : kThreshold;
    pieceSize = piece > 0 ? piece : kPiece;
}
