#pragma once

#include <QString>
#include <QtGlobal>

struct RunContext;

// The report's counts and entries as a Replace or Undo gathers them.

/// The report entry for a saved file (CR LF, padded number, ")  ", path, count).
QString reportEntry(qint32 number, const QString &path, qint32 replacements);

/// Counts a saved file and appends its report entry, numbered on from the last.
void appendReportEntry(RunContext &ctx, const QString &path, qint32 replacements);

/// Starts a Replace's or Undo's totals, report entries and passed-over files
/// afresh, so that a report holds its own run only.
void startRunTotals(RunContext &ctx);

/// Whether the run has something to report: a saved file or a file passed over.
bool hasReportContent(const RunContext &ctx);
