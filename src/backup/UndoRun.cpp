#include "UndoRun.h"

#include "engine/DocumentBuffer.h"
#include "engine/MainPort.h"
#include "engine/MatchPrimitives.h"
#include "engine/PatternDispatch.h"
#include "engine/RunContext.h"
#include "engine/RunEvents.h"
#include "engine/RunReplacement.h"
#include "engine/RunReport.h"
#include "engine/RunRequest.h"
#include "engine/RunSupport.h"
#include "engine/TimeStamp.h"
#include "engine/ViewerPort.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "settings/LogSources.h"

#include <QScopeGuard>
#include <QStringList>

#include <exception>

namespace {

const QString kSentence = QStringLiteral("An error occurred while trying to undo the operation.");
const QString kSource = LogSource::undoCommand;
const QString kError = QStringLiteral(" Error");

// The request checks before anything is saved or asked; false ends the command.
bool requestIsUndoable(RunContext &ctx)
{
    const RunRequest &r = ctx.request;
    Dialogs &dialogs = *ctx.dialogs;
    if (r.isFuzzy()) {
        dialogs.message(QStringLiteral("This program can't undo a 'Fuzzy Search'."), kError,
                        MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    if (r.isRegex()) {
        // What a regular expression wrote cannot be searched back into what it found.
        dialogs.message(QStringLiteral("This program can't undo a replacement made with a regular "
                                       "expression.\rRestore puts back the exact bytes of the "
                                       "files from their backup copies: scrivlane-cli restore "
                                       "FOLDER."),
                        kError, MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    if (r.selectionCount().startsWith(QLatin1Char('0')) && !r.hasSubdirectories()) {
        dialogs.message(QStringLiteral("Please select the files that you want to edit."),
                        QStringLiteral(" No files selected"), MessageButtons::Ok,
                        MessageIcon::Information);
        return false;
    }
    const QString &find = r.findText();
    const QString &replace = r.replaceText();
    if (find.isEmpty()) {
        ctx.events->idle();
        dialogs.message(QStringLiteral("You must enter something to search for."), kError,
                        MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    if (replace.isEmpty()) {
        ctx.events->idle();
        dialogs.message(QStringLiteral("You must enter something to replace with."), kError,
                        MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    if (find == replace) {
        ctx.events->idle();
        dialogs.message(QStringLiteral("Find and replace strings can't be the same."), kError,
                        MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    return true;
}

// One selected file of the file list, with the boxes already exchanged.
void undoInFile(RunContext &ctx, const QString &name)
{
    RunState &s = ctx.state;
    DocumentBuffer &buffer = ctx.viewer->buffer();

    takeFolderPath(ctx);
    s.currentPath += name;
    if (RunSupport::changedThisRun(ctx, s.currentPath))
        return;
    if (!RunSupport::unlessTooLarge(ctx, kSentence, kSource,
                                    [&] { RunSupport::loadIntoViewer(ctx, s.currentPath); }))
        return;
    RunSupport::showSearching(ctx, buffer.fileName());
    qint32 start = 0;
    const qint32 found = findInBuffer(ctx, start);
    if (s.stopRequested || found == -1)
        return;

    const qint32 totalBefore = s.totalReplacements;
    if (!replaceLoadedFile(ctx, kSentence, kSource))
        return;
    // Saved only when the text changed, as Replace does: replaceAndCount listed it then.
    if (RunSupport::isListedLast(ctx, s.currentPath)) {
        RunSupport::saveOrUnlist(ctx, s.currentPath, totalBefore,
                                 [&] { saveReplacedFile(ctx, totalBefore); });
    }
}

// A stopped run reports what it did until the stop.
bool stopped(RunContext &ctx)
{
    if (hasReportContent(ctx))
        ctx.main->writeReport();
    return false;
}

// Steps after the confirmation. Returns false when a stop ended the run.
bool undoConfirmed(RunContext &ctx)
{
    RunState &s = ctx.state;
    const RunRequest &r = ctx.request;

    // The list counts the files this run changed; the report reads its size.
    ctx.events->listCleared();
    startRunTotals(ctx);
    s.undoInProgress = true;
    const auto undoEnded = qScopeGuard([&s] { s.undoInProgress = false; });
    s.changedIdentities.clear();
    s.passedOverCount = 0;
    // Whatever way the run ends, the user hears of the entries it passed over.
    const auto tell = qScopeGuard([&] { RunSupport::tellPassedOver(ctx); });
    if (r.hasSubdirectories()) {
        // The walk covers the whole tree, whether or not the file list shows anything.
        ctx.main->yieldToEvents();
        if (s.stopRequested)
            return stopped(ctx);
        bool rep = true;
        walkEachPattern(ctx, rep);
    } else {
        const int count = r.fileCount();
        for (int i = 0; i < count; ++i) {
            ctx.main->yieldToEvents();
            if (s.stopRequested)
                return stopped(ctx);
            if (!r.isFileSelected(i))
                continue;
            undoInFile(ctx, r.fileName(i));
            takeFolderPath(ctx);
        }
    }
    if (s.stopRequested)
        return stopped(ctx);

    ctx.events->viewerSearchReset();
    ctx.main->restoreWindow();
    if (hasReportContent(ctx)) {
        ctx.main->writeReport();
    } else {
        ctx.events->idle();
        ctx.dialogs->message(QStringLiteral("Finished searching through all selected documents."),
                             QStringLiteral(" Search complete"), MessageButtons::Ok,
                             MessageIcon::Information);
    }
    return true;
}

}  // namespace

void runUndo(RunContext &ctx)
{
    RunState &s = ctx.state;
    s.modifiedFileCount = 0;
    if (s.stopRequested)
        return;
    ctx.takeRequest();
    if (!requestIsUndoable(ctx))
        return;

    const QString find = ctx.request.findText();
    const QString replace = ctx.request.replaceText();
    bool exchanged = false;
    try {
        ctx.main->saveHistories();
        const MessageAnswer answer = ctx.dialogs->message(
            QStringLiteral("Are you sure you want to undo the last operation?"),
            QStringLiteral(" Undo replacement"), MessageButtons::YesNo, MessageIcon::Question,
            MessageAnswer::Yes);
        if (answer != MessageAnswer::Yes)
            return;

        if (ctx.request.isMinimizeWhileReplacing())
            ctx.main->minimizeWindow();
        s.startTime = TimeStamp::generalDateTime(Clock::now());
        ctx.events->replaceStarted(s.startTime);

        // The run searches for the replacement and writes the find text back; the
        // window shows the exchange for the length of the run.
        ctx.events->termsShown(replace, find);
        ctx.request.exchangeFindAndReplace();
        exchanged = true;
        undoConfirmed(ctx);
        // The user gets back what they typed, also after a stop.
        ctx.events->termsShown(find, replace);
    } catch (...) {
        if (exchanged)
            ctx.events->termsShown(find, replace);
        ctx.main->restoreWindow();
        QString description;
        try {
            throw;
        } catch (const Failure &failure) {
            description = failure.description();
        } catch (const std::bad_alloc &) {
            description = QStringLiteral("Out of memory");
        } catch (const std::exception &e) {
            description = QString::fromLocal8Bit(e.what());
        } catch (...) {
            description = QStringLiteral("Unknown error");
        }
        RunSupport::reportRunError(ctx, kSentence, kSource, description);
    }
}
