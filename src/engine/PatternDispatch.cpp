#include "PatternDispatch.h"

#include "FileNameFilter.h"
#include "FindRun.h"
#include "ReplaceWalk.h"
#include "RunContext.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "platform/Failure.h"

void walkEachPattern(RunContext &ctx, bool &replacing)
{
    // Eleven pieces fit the design's table; a twelfth is an error after eleven walks.
    constexpr int kPieces = 11;
    if (replacing) {
        ctx.state.backedUpThisRun.clear();
        ctx.state.backupCopies.clear();
        ctx.state.journalStarted = false;
    }
    ctx.state.selectedTopFiles = RunSupport::selectedNames(ctx.request);
    ctx.state.walkRules =
        WalkRules(ctx.request.filters(), ctx.request.skipsIgnored(), ctx.request.includesHidden());
    // However the walks end, the buffer ends up holding the last file they looked at.
    struct Settle {
        RunContext &ctx;
        ~Settle() { RunSupport::settleSkippedLoad(ctx); }
    } settle{ctx};
    const auto walk = [&ctx, replacing](QString &piece) {
        QString folder = ctx.request.folderPath();
        if (replacing)
            replaceInTree(ctx, folder, piece);
        else
            findInTree(ctx, folder, piece);
    };
    bool walked = false;
    QString remaining = ctx.request.filters();
    const qsizetype length = remaining.size();
    for (qsizetype k = 0; length >= k; ++k) {
        const qsizetype semicolon = remaining.indexOf(QLatin1Char(';'));
        QString piece = semicolon < 0 ? remaining : remaining.left(semicolon);
        if (k >= kPieces)
            throw Failure(QStringLiteral("Subscript out of range"));
        // An exclusion holds for every walk and starts none of its own.
        if (!FileNameFilter::isExclusion(piece)) {
            walk(piece);
            walked = true;
        }
        if (semicolon < 0)
            break;
        remaining.remove(0, semicolon + 1);
    }
    // Exclusions alone leave out some files of all.
    if (!walked) {
        QString every;
        walk(every);
    }
}
