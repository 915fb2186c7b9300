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

void PreviewRun::preview(RunContext &ctx, PreviewSink &sink)
{
    RunState &s = ctx.state;
    if (s.stopRequested)
        return;
    ctx.takeRequest();
    ctx.main->resetHints();
    validateRequest(ctx);
    if (s.validationFailed) {
        ctx.events->requestRefused();
        return;
    }
    ctx.main->saveHistories();
    // Nothing is written, so there is nothing to confirm and nothing to report.
    s.emptyReplaceConfirmed = false;
    s.changedIdentities.clear();
    startRunTotals(ctx);
    s.passedOverCount = 0;
    s.previewSink = &sink;
    const auto end = qScopeGuard([&] {
        s.previewSink = nullptr;
        RunSupport::tellPassedOver(ctx);
    });
    replaceOverRequest(ctx);
}

void PreviewRun::replaceTicked(RunContext &ctx, const TickedReplacements &ticked)
{
    QHash<QString, const TickedFile *> byPath;
    byPath.reserve(ticked.files.size());
    for (const TickedFile &file : ticked.files) byPath.insert(file.path, &file);
    RunState &s = ctx.state;
    s.tickedFiles = &byPath;
    const auto end = qScopeGuard([&] { s.tickedFiles = nullptr; });
    runReplace(ctx);
}
