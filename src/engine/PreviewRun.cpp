#include "PreviewRun.h"

#include "MainPort.h"
#include "PreviewResult.h"
#include "ReplaceRun.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunReport.h"
#include "RunSupport.h"
#include "Validation.h"

#include <QHash>
#include <QScopeGuard>

#include <optional>

bool PreviewRun::preview(RunContext &ctx, PreviewSink &sink)
{
    RunState &s = ctx.state;
    if (s.stopRequested)
        return true;
    ctx.takeRequest();
    sink.requestTaken(ctx.request);
    ctx.main->resetHints();
    if (validateRequest(ctx, RequestUse::Replace) == Verdict::Refused) {
        ctx.events->requestRefused();
        return false;
    }
    ctx.main->saveHistories();
    // Nothing is written, so there is nothing to confirm and nothing to report.
    s.changedIdentities.clear();
    startRunTotals(ctx);
    s.passedOverCount = 0;
    s.previewSink = &sink;
    const auto end = qScopeGuard([&] {
        s.previewSink = nullptr;
        RunSupport::tellPassedOver(ctx);
    });
    replaceOverRequest(ctx);
    return true;
}

void PreviewRun::replaceTicked(RunContext &ctx, const TickedReplacements &ticked)
{
    QHash<QString, const TickedFile *> byPath;
    byPath.reserve(ticked.files.size());
    for (const TickedFile &file : ticked.files) byPath.insert(file.path, &file);
    RunState &s = ctx.state;
    s.tickedFiles = &byPath;
    // The positions belong to the preview's texts and files: the run searches
    // for those, whatever the boxes say now. Backups and minimising are how it
    // writes, not what, and follow the window.
    std::optional<RunRequest> previewed = ticked.request;
    if (previewed && ctx.requestSource)
        previewed->takeWritingOptions(*ctx.requestSource);
    ctx.heldRequest = previewed ? &*previewed : nullptr;
    const auto end = qScopeGuard([&] {
        s.tickedFiles = nullptr;
        ctx.heldRequest = nullptr;
    });
    runReplace(ctx);
}
