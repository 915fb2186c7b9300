#include "WalkFileReplace.h"

#include "LargeFileReplace.h"
#include "MainPort.h"
#include "MatchPrimitives.h"
#include "ReadAhead.h"
#include "ReplaceSteps.h"
#include "RunContext.h"
#include "RunReplacement.h"
#include "RunRequest.h"
#include "RunSupport.h"
#include "SaveQueue.h"
#include "platform/Failure.h"
#include "settings/LogSources.h"

using namespace ReplaceSteps;
using namespace RunSupport;

WalkFileReplace::WalkFileReplace(RunContext &ctx, SaveQueue &saves, ReadAhead &ahead)
    : m_ctx(ctx), m_s(ctx.state), m_r(ctx.request), m_saves(saves), m_ahead(ahead)
{
}

bool WalkFileReplace::isChosen(const RunState &s, const QString &folderPath,
                               const FileSystem::Entry &entry, bool isTopFolder)
{
    if (isTopFolder && !s.selectedTopFiles.contains(entry.name))
        return false;
    // The path only for a Replace of ticked replacements.
    return !s.tickedFiles || !skipsUnticked(s, folderPath + entry.name);
}

WalkFileReplace::Next WalkFileReplace::replace(const Turn &turn, const BackUp &backUp)
{
    const QString &path = turn.path;
    FileSystem::FileAt file;
    Load loaded = load(turn, file);
    if (loaded == Load::Large) {
        // Replaced as it is read, unless only the whole text can tell.
        std::function<void()> backUpFile;
        if (backUp)
            backUpFile = [&] { backUp(file); };
        if (LargeFileReplace::replace(m_ctx, file, &m_saves, backUpFile))
            return m_s.stopRequested ? Next::Stop : Next::Go;
        loaded = load(turn, file, false);
    }
    switch (loaded) {
    case Load::Large:
    case Load::Skipped:
        return Next::Go;
    case Load::RuledOut:
        // Nothing to replace, as the search would have found.
        m_s.foundPosition = -1;
        m_ctx.main->yieldToEvents();
        return m_s.stopRequested ? Next::Stop : Next::Go;
    case Load::Loaded:
        break;
    }
    bool found = false;
    if (findFirst(found) == Next::Stop)
        return Next::Stop;
    // A binary file is passed over before anything is copied.
    if (!found || passedOverAsBinary(m_ctx))
        return Next::Go;
    const TickedFile *ticked = tickedFileOf(m_s, path);
    if (!stillAsPreviewed(m_ctx, ticked))
        return Next::Go;
    if (backUp)
        backUp(file);
    const qint32 totalBefore = m_s.totalReplacements;
    if (replaceLoadedFileTicked(m_ctx, ticked) && !m_s.previewSink)
        save(path, totalBefore);
    return Next::Go;
}

// The file's bytes as read ahead; a file outside that list is read now.
PreRead WalkFileReplace::takeRead(const FileSystem::FileAt &file, qsizetype ahead)
{
    if (ahead < 0)
        return PreRead::of(file, m_ahead.filter());
    return m_ahead.take(ahead);
}

WalkFileReplace::Load WalkFileReplace::load(const Turn &turn, FileSystem::FileAt &file, bool large)
{
    bool loaded = false;
    bool read = false;
    try {
        file = turn.built ? *turn.built : walkedFile(turn.folder, turn.entry);
        // Another name of a file this run changed (a link, a second pattern);
        // one still waiting to be saved is put in place first. Until the run
        // has saved something (a preview never does) there is nothing to ask.
        if (!m_saves.isEmpty() || !m_s.changedIdentities.isEmpty()) {
            QString identity = file.identity();
            if (m_saves.holds(identity)) {
                m_saves.commit(m_ctx);
                identity = file.identity();  // the save gave it a new one
            }
            if (!identity.isEmpty() && m_s.changedIdentities.contains(identity))
                return Load::Skipped;
        }
        if (large && LargeFileReplace::takes(m_ctx, file))
            return Load::Large;
        read = unlessTooLarge(m_ctx, kSentence, LogSource::replaceCommand, [&] {
            loaded = loadPreRead(m_ctx, file, takeRead(file, turn.ahead));
        });
    } catch (const Failure &failure) {
        passOver(m_ctx, kWalkSource, failure.description());
    }
    if (!read)
        return Load::Skipped;
    return loaded ? Load::Loaded : Load::RuledOut;
}

WalkFileReplace::Next WalkFileReplace::findFirst(bool &found)
{
    qint32 start = 0;
    qint32 position;
    if (m_r.isFuzzy()) {
        if (m_r.firstPart().isEmpty())
            return Next::Stop;
        position = findFuzzyInBuffer(m_ctx, start);
    } else {
        position = -1;
        unlessGaveUp(m_ctx, kSentence, LogSource::replaceCommand,
                     [&] { position = findInBuffer(m_ctx, start); });
    }
    if (m_s.stopRequested)
        return Next::Stop;
    found = position != -1;
    return Next::Go;
}

void WalkFileReplace::save(const QString &path, qint32 totalBefore)
{
    // Saved only when the text changed, as for selected files: a file whose
    // replacements left it identical has no entry, so entries add up to the total.
    if (!isListedLast(m_ctx, path))
        return;
    try {
        saveOrUnlist(m_ctx, path, totalBefore, [&] { m_saves.add(m_ctx, path, totalBefore); });
    } catch (const Failure &failure) {
        passOver(m_ctx, kWalkSource, failure.description());
    }
    if (m_saves.isFull())
        m_saves.commit(m_ctx);
}
