#include "ReplaceRun.h"

#include "DocumentBuffer.h"
#include "KeptOriginals.h"
#include "MainPort.h"
#include "MatchPrimitives.h"
#include "PatternDispatch.h"
#include "ReplaceSelectedFiles.h"
#include "ReplaceSteps.h"
#include "RunContext.h"
#include "RunEvents.h"
#include "RunReport.h"
#include "RunRequest.h"
#include "RunStore.h"
#include "RunSupport.h"
#include "TimeStamp.h"
#include "Validation.h"
#include "ViewerPort.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "settings/LogSources.h"

#include <QScopeGuard>

using ReplaceSteps::trap;

namespace {

// Says what the Replace about to be confirmed will reach. With subfolders the
// walk takes only the selected files of the folder itself, every matching
// file below it.
QString replaceScope(const RunRequest &r)
{
    int selected = 0;
    for (int i = 0; i < r.fileCount(); ++i) selected += r.isFileSelected(i) ? 1 : 0;
    if (!r.hasSubdirectories())
        return selected == 1 ? QStringLiteral("1 selected file will be searched.")
                             : QStringLiteral("%1 selected files will be searched.").arg(selected);
    const QString below =
        QStringLiteral("every file matching %1 in the folders below it").arg(r.filters());
    const int listed = r.fileCount();
    const QString files =
        listed == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(listed);
    if (listed == 0)
        return QStringLiteral("No file in %1 itself; %2 will be searched.")
            .arg(r.folderPath(), below);
    if (selected == 0)
        return QStringLiteral("None of the %1 in %2 itself; %3 will be searched.")
            .arg(files, r.folderPath(), below);
    return QStringLiteral("%1 of %2 in %3, and %4, will be searched.")
        .arg(QString::number(selected), files, r.folderPath(), below);
}

// Validates the request and asks for confirmation; false when the run ends here.
bool readyToReplace(RunContext &ctx)
{
    RunState &s = ctx.state;
    ctx.main->resetHints();
    const Verdict verdict = validateRequest(ctx, RequestUse::Replace);
    s.modifiedFileCount = 0;
    if (verdict == Verdict::Refused) {
        ctx.events->requestRefused();
        ctx.main->restoreWindow();
        return false;
    }

    ctx.main->saveHistories();
    ctx.events->listCleared();
    // Replacing with nothing was confirmed already.
    if (verdict != Verdict::EmptyReplacementConfirmed) {
        const MessageAnswer answer = ctx.dialogs->message(
            QStringLiteral("Are you sure you want to make this replacement?\r") +
                replaceScope(ctx.request),
            QStringLiteral(" Make replacement"), MessageButtons::YesNo, MessageIcon::Question,
            MessageAnswer::Yes);
        if (answer != MessageAnswer::Yes)
            return false;
    }
    return true;
}

// Every Replace keeps the originals of the files it changes, so that Restore
// can bring it back exactly; false (nothing replaced) when it cannot.
bool startKeepingOriginals(RunContext &ctx)
{
    const RunRequest &r = ctx.request;
    const QDateTime now = Clock::now();
    RunJournal::Header header{
        RunStore::newRunId(now), now, r.folderPath(),
        r.isFuzzy() ? r.firstPart() + QStringLiteral(" … ") + r.secondPart() : r.findText(),
        r.isFuzzy() ? r.fuzzyReplace() : r.replaceText()};
    return trap(ctx, [&] { ctx.state.keptOriginals = std::make_shared<KeptOriginals>(header); });
}

// After a run that went through every file: the viewer shows the changed
// files and the report is written.
void showOutcome(RunContext &ctx)
{
    if (!hasReportContent(ctx)) {
        ctx.main->restoreWindow();
        ctx.dialogs->message(QStringLiteral("Finished searching through all selected documents."),
                             QStringLiteral(" Search complete"), MessageButtons::Ok,
                             MessageIcon::Information);
        return;
    }

    if (!ctx.events->listed().isEmpty()) {
        qint32 start = 0;
        qint32 found = -1;
        RunSupport::unlessGaveUp(ctx, ReplaceSteps::kSentence, LogSource::replaceCommand,
                                 [&] { found = findInBuffer(ctx, start); });
        ctx.events->matchShown(found);
        ctx.viewer->setSkipNextReaction(true);
        ctx.viewer->selectListItem(0);
        ctx.viewer->setSkipNextReaction(true);
        ctx.events->documentShown(ctx.viewer->buffer().fileName(), 0);
        ctx.viewer->showViewer();
    }
    ctx.events->viewerSearchReset();
    ctx.events->idle();
    trap(ctx, [&] { ctx.main->writeReport(); });
}
}  // namespace

void replaceOverRequest(RunContext &ctx)
{
    if (ctx.request.hasSubdirectories()) {
        trap(ctx, [&] {
            bool replacing = true;
            walkEachPattern(ctx, replacing);
        });
    } else {
        replaceInSelectedFiles(ctx);
    }
}

void runReplace(RunContext &ctx)
{
    RunState &s = ctx.state;
    if (s.stopRequested)
        return;
    ctx.takeRequest();
    if (!readyToReplace(ctx))
        return;

    if (!startKeepingOriginals(ctx)) {
        ctx.main->restoreWindow();
        return;
    }
    const auto kept = qScopeGuard([&] {
        trap(ctx, [&] { s.keptOriginals->finish(s.stopRequested); });
        s.keptOriginals.reset();
    });
    s.changedIdentities.clear();
    startRunTotals(ctx);
    s.passedOverCount = 0;
    // Whatever way the run ends, the user hears of the entries it passed over.
    const auto tell = qScopeGuard([&] { RunSupport::tellPassedOver(ctx); });

    if (ctx.request.isMinimizeWhileReplacing())
        ctx.main->minimizeWindow();
    s.startTime = TimeStamp::generalDateTime(Clock::now());
    ctx.events->replaceStarted(s.startTime);

    replaceOverRequest(ctx);

    // A stopped run still reports what it did until the stop.
    if (s.stopRequested) {
        if (hasReportContent(ctx))
            trap(ctx, [&] { ctx.main->writeReport(); });
        return;
    }
    showOutcome(ctx);
}
