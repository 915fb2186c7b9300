#pragma once

struct RunContext;

/// The Restore command: puts the files of the last Replace with backups back
/// from their copies, byte for byte, lists them in the viewer and writes and
/// shows the report as a Replace does. Says so when there is nothing to
/// restore. Failures reach the caller as Failure.
void restoreLastReplace(RunContext &ctx);
