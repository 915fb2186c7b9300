#include "MatchPrimitives.h"

#include "DocumentBuffer.h"
#include "MainPort.h"
#include "Matcher.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "SearchMatcher.h"
#include "ViewerPort.h"
#include "settings/LogSources.h"

namespace {
void showPosition(RunContext &ctx, SearchEvents &shown)
{
    shown.positionShown(ctx.state.foundPosition, ctx.viewer->buffer().text().size());
}
}  // namespace

int findOptions(const RunRequest &request)
{
    int options = 0;
    if (request.isCaseSensitive())
        options |= DocumentBuffer::MatchCase;
    if (request.isWholeWord())
        options |= DocumentBuffer::WholeWord;
    return options;
}

namespace {
// The search of findInBuffer; a regular expression the engine gives up on
// throws SearchGaveUp, and one that a stop ends returns false.
bool searchBuffer(RunContext &ctx, const RunRequest &request, qint32 start)
{
    RunState &s = ctx.state;
    const QString &what = request.findText();
    DocumentBuffer &buffer = ctx.viewer->buffer();
    if (!request.isRegex() || what.isEmpty()) {
        s.foundPosition = buffer.find(what, start, findOptions(request));
        return true;
    }
    const std::unique_ptr<Matcher> matcher = matcherFor(request, what);
    // A long search lets the window answer, and a stop end it.
    matcher->setInterruption([&ctx] {
        ctx.main->yieldToEvents();
        return ctx.state.stopRequested;
    });
    try {
        s.foundPosition = buffer.findWith(*matcher, start);
    } catch (const SearchStopped &) {
        return false;
    }
    return true;
}

qint32 findInBufferFor(RunContext &ctx, const RunRequest &request, qint32 &start,
                       SearchEvents &shown, bool viewer)
{
    RunState &s = ctx.state;
    ctx.main->yieldToEvents();
    if (s.stopRequested)
        return 0;

    const bool regex = request.isRegex();
    DocumentBuffer &buffer = ctx.viewer->buffer();
    try {
        if (!searchBuffer(ctx, request, start))
            return 0;
    } catch (const SearchGaveUp &gaveUp) {
        if (!viewer)
            throw;
        // The viewer's own search: the file is reported, and no match shown.
        RunSupport::reportRunError(ctx, QStringLiteral("An error occurred while trying to search."),
                                   LogSource::inViewer(LogSource::viewerFindNext),
                                   RunSupport::gaveUpDescription(buffer.fileName(), gaveUp));
        s.foundPosition = -1;
    }
    showPosition(ctx, shown);
    // An empty match is passed over by the next search, which would find it again.
    const qint32 length = regex ? qMax(buffer.selectionLength(), 1) : buffer.selectionLength();
    start = s.foundPosition == -1 ? 0 : s.foundPosition + length;
    shown.searchStartMoved(start);

    ctx.main->yieldToEvents();
    if (s.stopRequested)
        return 0;
    return s.foundPosition;
}
}  // namespace

qint32 findInBuffer(RunContext &ctx, qint32 &start)
{
    return findInBufferFor(ctx, ctx.request, start, *ctx.events, false);
}

qint32 findInBuffer(RunContext &ctx, const RunRequest &request, qint32 &start, SearchEvents &shown)
{
    return findInBufferFor(ctx, request, start, shown, true);
}

qint32 findFuzzyInBuffer(RunContext &ctx, qint32 &start)
{
    return findFuzzyInBuffer(ctx, ctx.request, start, *ctx.events);
}

qint32 findFuzzyInBuffer(RunContext &ctx, const RunRequest &request, qint32 &start,
                         SearchEvents &shown)
{
    RunState &s = ctx.state;
    ctx.main->yieldToEvents();
    if (s.stopRequested)
        return 0;

    s.firstPart = request.firstPart();
    s.secondPart = request.secondPart();

    DocumentBuffer &buffer = ctx.viewer->buffer();
    s.foundPosition = buffer.find(s.firstPart, start, findOptions(request));
    if (s.foundPosition != -1) {
        // The second part always matches in any case and inside words.
        // Match lengths come from the buffer: a line break may match CR LF.
        const qint32 firstLength = buffer.selectionLength();
        const qint32 second = buffer.find(s.secondPart, s.foundPosition + firstLength, 0);
        if (second != -1) {
            const qint32 end = second + buffer.selectionLength();
            buffer.setSelectionStart(s.foundPosition);
            buffer.setSelectionLength(end - s.foundPosition);
        } else {
            s.foundPosition = -1;
        }
    }

    ctx.main->yieldToEvents();
    if (s.stopRequested)
        return 0;

    const qint32 result = s.foundPosition;
    showPosition(ctx, shown);
    start = s.foundPosition == -1 ? 0 : s.foundPosition + buffer.selectionLength();
    shown.searchStartMoved(start);
    return result;
}
