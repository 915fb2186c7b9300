#pragma once

#include <QtGlobal>

struct RunContext;
class SearchRequest;

/// The buffer's Find options for the request's case and whole-word boxes (0 = left out).
int findOptions(const SearchRequest &request);

/// Normal and Large search in the viewer's buffer from start. Returns the match
/// position, -1 when none, or 0 when a stop was requested (test StopRequested
/// right after). start becomes the position after the match, or 0.
qint32 Find_Normal(RunContext &ctx, qint32 &start);

/// Fuzzy search: first part (with the request's options) up to the nearest second
/// part (no options) after it; selects the whole match. Same results as Find_Normal.
/// Takes the parts from the viewer when PartsSource is "Template"; empties PartsSource.
qint32 Find_Fuzzy(RunContext &ctx, qint32 &start);
