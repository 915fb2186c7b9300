#include "ReplaceSteps.h"

#include "BackupLocation.h"
#include "DocumentBuffer.h"
#include "PreviewResult.h"
#include "RunContext.h"
#include "RunReplacement.h"
#include "RunSupport.h"
#include "ViewerPort.h"
#include "settings/LogSources.h"

#include <QScopeGuard>

namespace ReplaceSteps {

bool trap(RunContext &ctx, const std::function<void()> &step)
{
    return RunSupport::trapped(ctx, kSentence, LogSource::replaceCommand, step);
}

const TickedFile *tickedFileOf(const RunState &s, const QString &path)
{
    return s.tickedFiles ? s.tickedFiles->value(path) : nullptr;
}

bool skipsUnticked(const RunState &s, const QString &path)
{
    return s.tickedFiles && !s.tickedFiles->contains(path);
}

bool stillAsPreviewed(RunContext &ctx, const TickedFile *ticked)
{
    if (!ticked || ctx.viewer->buffer().stamp() == ticked->stamp)
        return true;
    ctx.state.passedOverFiles.append(
        {ticked->path, QStringLiteral("changed since it was previewed, left unchanged")});
    return false;
}

bool replaceLoadedFileTicked(RunContext &ctx, const TickedFile *ticked)
{
    ctx.state.tickedFile = ticked;
    const auto reset = qScopeGuard([&] { ctx.state.tickedFile = nullptr; });
    return replaceLoadedText(ctx, kSentence, LogSource::replaceCommand);
}

QString backupTreeRoot(RunContext &ctx)
{
    return BackupTree::treeRoot(ctx.backup->backupRoot());
}

}  // namespace ReplaceSteps
