#pragma once

struct RunContext;

#include <QString>

/// The Restore command: puts the files of a recent Replace (runId, or the
/// last one when empty) back as they were, byte for byte, lists them in the
/// viewer and writes and shows the report as a Replace does. Says so when
/// there is nothing to restore. Failures reach the caller as Failure.
void restoreReplace(RunContext &ctx, const QString &runId = QString());
