#pragma once

struct RunContext;
class PreviewSink;
struct TickedReplacements;

/// Preview and "Replace ticked": Replace's own run, one writing nothing and
/// one writing only what the user ticked.
namespace PreviewRun {

/// Runs Replace's search for the request (its validation, its choice and
/// order of files) without writing anything: no file, backup, report or
/// journal. Every file Replace would change goes to sink with its
/// replacements. Stops like a run (RunState's stop request). False when the
/// request was refused.
bool preview(RunContext &ctx, PreviewSink &sink);

/// Replace of exactly the ticked replacements, through Replace's own path
/// (backups, report, totals, the viewer's list). A file that is no longer
/// what was previewed is passed over and named in the report.
void replaceTicked(RunContext &ctx, const TickedReplacements &ticked);

}  // namespace PreviewRun
