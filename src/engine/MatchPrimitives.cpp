#include "MatchPrimitives.h"

#include "DocumentBuffer.h"
#include "MainPort.h"
#include "Matcher.h"
#include "RunContext.h"
#include "SearchMatcher.h"
#include "SearchRequest.h"
#include "ViewerPort.h"

namespace {
void showPosition(RunContext &ctx)
{
    ctx.viewer->setPosLabel(QString::number(ctx.state.FoundPosition) + QStringLiteral(" of ") +
                            QString::number(ctx.viewer->rtbDefault().Text().size()));
}
}  // namespace

int findOptions(const SearchRequest &request)
{
    int options = 0;
    if (request.isCaseSensitive())
        options |= DocumentBuffer::MatchCase;
    if (request.isWholeWord())
        options |= DocumentBuffer::WholeWord;
    return options;
}

qint32 Find_Normal(RunContext &ctx, qint32 &start)
{
    RunState &s = ctx.state;
    ctx.main->yieldToEvents();
    if (s.StopRequested)
        return 0;

    const QString what = ctx.request->findText();
    DocumentBuffer &buffer = ctx.viewer->rtbDefault();
    const bool regex = ctx.request->isRegex();
    if (regex && !what.isEmpty())
        s.FoundPosition = buffer.findWith(*matcherFor(*ctx.request, what), start);
    else
        s.FoundPosition = buffer.Find(what, start, findOptions(*ctx.request));
    showPosition(ctx);
    // An empty match is passed over by the next search, which would find it again.
    const qint32 length = regex ? qMax(buffer.SelLength(), 1) : buffer.SelLength();
    start = s.FoundPosition == -1 ? 0 : s.FoundPosition + length;
    ctx.viewer->setNewPos(QString::number(start));

    ctx.main->yieldToEvents();
    if (s.StopRequested)
        return 0;
    return s.FoundPosition;
}

qint32 Find_Fuzzy(RunContext &ctx, qint32 &start)
{
    RunState &s = ctx.state;
    // The viewer's parts serve exactly one search, even one that a stop cut short.
    const bool fromViewer = s.PartsSource == QLatin1String("Template");
    s.PartsSource.clear();

    ctx.main->yieldToEvents();
    if (s.StopRequested)
        return 0;

    if (fromViewer) {
        s.FirstPart = ctx.viewer->findText();
        s.SecondPart = ctx.viewer->findText2();
    } else {
        s.FirstPart = ctx.request->firstPart();
        s.SecondPart = ctx.request->secondPart();
    }

    DocumentBuffer &buffer = ctx.viewer->rtbDefault();
    s.FoundPosition = buffer.Find(s.FirstPart, start, findOptions(*ctx.request));
    if (s.FoundPosition != -1) {
        // The second part always matches in any case and inside words.
        // Match lengths come from the buffer: a line break may match CR LF.
        const qint32 firstLength = buffer.SelLength();
        const qint32 second = buffer.Find(s.SecondPart, s.FoundPosition + firstLength, 0);
        if (second != -1) {
            const qint32 end = second + buffer.SelLength();
            buffer.setSelStart(s.FoundPosition);
            buffer.setSelLength(end - s.FoundPosition);
        } else {
            s.FoundPosition = -1;
        }
    }

    ctx.main->yieldToEvents();
    if (s.StopRequested)
        return 0;

    const qint32 result = s.FoundPosition;
    showPosition(ctx);
    start = s.FoundPosition == -1 ? 0 : s.FoundPosition + buffer.SelLength();
    ctx.viewer->setNewPos(QString::number(start));
    return result;
}
