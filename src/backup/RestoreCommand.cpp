#include "RestoreCommand.h"

#include "ReportWriter.h"
#include "RestoreRun.h"
#include "engine/MainPort.h"
#include "engine/ReplaceJournal.h"
#include "engine/RunContext.h"
#include "engine/RunEvents.h"
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

void restoreLastReplace(RunContext &ctx)
{
    const QDateTime start = nowToTheSecond();
    ctx.events->restoreStarted();
    const RestoreRun::Result result =
        RestoreRun::restore(ReplaceJournal::defaultPath(), QString(), [&ctx] {
            // Lets a click on "Stop" in before the next file.
            ctx.main->yieldToEvents();
            return ctx.state.stopRequested;
        });
    if (!result.found) {
        ctx.events->idle();
        ctx.dialogs->message(QStringLiteral("There is no Replace with backups to restore."),
                             QStringLiteral(" Restore"), MessageButtons::Ok,
                             MessageIcon::Information);
        return;
    }
    ctx.events->listCleared();
    for (const ReplaceJournal::Entry &entry : result.restored) ctx.events->fileChanged(entry.path);
    writeAndShowReport(ctx, RestoreRun::reportText(result, start, nowToTheSecond()));
    ctx.main->refreshFileList();
    ctx.main->restoreWindow();
    ctx.events->idle();
    ctx.viewer->showReportLayout();
}
