#include "RestoreCommand.h"

#include "ReportWriter.h"
#include "RestoreRun.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "engine/RunEvents.h"
#include "engine/RunStore.h"
#include "engine/ViewerPort.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

namespace {
// Kept to the second, as a Replace's report keeps its times.
QDateTime nowToTheSecond()
{
    QDateTime now = Clock::now();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    return now;
}
}  // namespace

void restoreReplace(RunContext &ctx, const QString &runId)
{
    const QDateTime start = nowToTheSecond();
    ctx.events->restoreStarted();
    const QList<RunStore::RunInfo> runs = RunStore::list();
    const QString id = runId.isEmpty() && !runs.isEmpty() ? runs.constFirst().id : runId;
    if (id.isEmpty()) {
        ctx.events->idle();
        ctx.dialogs->message(QStringLiteral("There is no Replace to restore."),
                             QStringLiteral(" Restore"), MessageButtons::Ok,
                             MessageIcon::Information);
        return;
    }
    const RestoreRun::Result result = RestoreRun::restore(id, [&ctx] {
        // Lets a click on "Stop" in before the next file.
        ctx.main->yieldToEvents();
        return ctx.state.stopRequested;
    });
    ctx.events->listCleared();
    for (const RestoreRun::RestoredFile &file : result.restored) ctx.events->fileChanged(file.path);
    writeAndShowReport(ctx, RestoreRun::reportText(result, start, nowToTheSecond()));
    ctx.main->refreshFileList();
    ctx.main->restoreWindow();
    ctx.events->idle();
    ctx.viewer->showReportLayout();
}
