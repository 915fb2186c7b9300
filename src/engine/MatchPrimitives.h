#pragma once

#include <QtGlobal>

struct RunContext;
class RunRequest;
class SearchEvents;

/// The buffer's Find options for the request's case and whole-word boxes (0 = left out).
int findOptions(const RunRequest &request);

/// Normal and Large search in the viewer's buffer from start. Returns the match
/// position, -1 when none, or 0 when a stop was requested (test stopRequested
/// right after). start becomes the position after the match, or 0. The
/// position found and the new start are reported to the run's events. A
/// regular expression the engine gives up on throws SearchGaveUp: the run
/// reports the file (RunSupport::unlessGaveUp).
qint32 findInBuffer(RunContext &ctx, qint32 &start);
/// The same for request rather than the run's, reported to shown: the viewer's
/// own searches, which report a file the engine gave up on themselves (-1).
qint32 findInBuffer(RunContext &ctx, const RunRequest &request, qint32 &start, SearchEvents &shown);

/// Fuzzy search: first part (with the request's options) up to the nearest second
/// part (no options) after it; selects the whole match. Same results as findInBuffer.
qint32 findFuzzyInBuffer(RunContext &ctx, qint32 &start);
qint32 findFuzzyInBuffer(RunContext &ctx, const RunRequest &request, qint32 &start,
                         SearchEvents &shown);
