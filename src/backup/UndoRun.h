#pragma once

struct RunContext;

/// The Undo command: replaces the replacement string by the find string in the
/// selected files (or the folder walk), the two boxes exchanged for the length
/// of the run and exchanged back afterwards, also after a stop or an error.
/// Refuses a fuzzy search. Never throws: an error is shown and logged.
void runUndo(RunContext &ctx);
