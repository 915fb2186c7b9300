#pragma once

#include <QString>

#include <functional>

struct RunContext;
struct RunState;
struct TickedFile;

/// Steps the Replace walk and the selected-files loop share.
namespace ReplaceSteps {

/// What a failed step of a Replace tells the user.
inline const QString kSentence = QStringLiteral("An error occurred while trying to replace.");

/// Runs step; a failure is shown and logged as a Replace's, and false returned.
bool trap(RunContext &ctx, const std::function<void()> &step);

/// The file's ticks in a Replace of ticked replacements; null in any other run.
const TickedFile *tickedFileOf(const RunState &s, const QString &path);

/// Whether a Replace of ticked replacements leaves this file alone: it has no ticks.
bool skipsUnticked(const RunState &s, const QString &path);

/// In a Replace of ticked replacements: whether the file just loaded is still
/// the one previewed. Another is passed over, never written with stale ticks.
bool stillAsPreviewed(RunContext &ctx, const TickedFile *ticked);

/// Replaces in the loaded file, which the caller has found not to be binary;
/// only the ticked replacements when there are ticks.
bool replaceLoadedFileTicked(RunContext &ctx, const TickedFile *ticked);

/// The folder that holds this run's backup copies.
QString backupTreeRoot(RunContext &ctx);

}  // namespace ReplaceSteps
