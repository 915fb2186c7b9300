#include "ReplaceSelectedFiles.h"

#include "BackupLocation.h"
#include "LargeFileReplace.h"
#include "MatchPrimitives.h"
#include "ReplaceSteps.h"
#include "RunContext.h"
#include "RunReplacement.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "ViewerPort.h"
#include "platform/FileSystem.h"
#include "settings/LogSources.h"

using namespace ReplaceSteps;
using namespace RunSupport;

namespace {

// Without subdirectories: the copy is made before the file is loaded.
void backupSingleFile(RunContext &ctx, const QString &filePath, const QString &name)
{
    ctx.backup->commitChoice();
    const QString folder =
        BackupTree::makeMirror(ctx.backup->backupRoot(), ctx.request.folderPath());
    FileSystem::copyFile(filePath, folder + name);
}

// Loads the selected file at currentPath, backed up first when asked; false
// when it is left alone, or was replaced as it was read (LargeFileReplace).
bool loadSelectedFile(RunContext &ctx, const QString &name, const TickedFile *ticked)
{
    RunState &s = ctx.state;
    // A file whose backup failed stays as it is: the user asked to keep the original.
    if (ctx.request.hasBackup() && !s.previewSink &&
        !trap(ctx, [&] { backupSingleFile(ctx, s.currentPath, name); }))
        return false;
    bool streamed = false;
    const bool loaded = trap(ctx, [&] {
        const FileSystem::FileAt file = FileSystem::FileAt::resolve(s.currentPath);
        streamed = LargeFileReplace::takes(ctx, file) &&
                   LargeFileReplace::replace(ctx, file, nullptr, nullptr);
        if (!streamed)
            loadIntoViewer(ctx, file);
    });
    return loaded && !streamed && stillAsPreviewed(ctx, ticked);
}

// Replaces in the loaded file and saves it when the replacement changed it.
void replaceSelectedFile(RunContext &ctx, const TickedFile *ticked)
{
    RunState &s = ctx.state;
    qint32 start = 0;
    const qint32 totalBefore = s.totalReplacements;
    qint32 found = -1;
    if (ctx.request.isFuzzy())
        found = findFuzzyInBuffer(ctx, start);
    else
        unlessGaveUp(ctx, kSentence, LogSource::replaceCommand,
                     [&] { found = findInBuffer(ctx, start); });
    if (found == -1 || s.stopRequested || passedOverAsBinary(ctx) ||
        !replaceLoadedFileTicked(ctx, ticked) || s.previewSink)
        return;
    if (isListedLast(ctx, s.currentPath)) {
        const QString path = s.currentPath;
        trap(ctx, [&] {
            saveOrUnlist(ctx, path, totalBefore, [&] { saveReplacedFile(ctx, totalBefore); });
        });
    }
}

}  // namespace

void replaceInSelectedFiles(RunContext &ctx)
{
    RunState &s = ctx.state;
    const RunRequest &r = ctx.request;
    const int count = r.fileCount();
    for (int i = 0; i < count; ++i) {
        if (s.stopRequested)
            return;
        takeFolderPath(ctx);
        if (!r.isFileSelected(i))
            continue;
        const QString name = r.fileName(i);
        s.currentPath += name;
        // A selected link and its selected target are one file, changed once.
        if (skipsUnticked(s, s.currentPath) || changedThisRun(ctx, s.currentPath))
            continue;
        const TickedFile *ticked = tickedFileOf(s, s.currentPath);
        if (!loadSelectedFile(ctx, name, ticked))
            continue;
        showSearching(ctx, s.currentPath);
        replaceSelectedFile(ctx, ticked);
    }
}
