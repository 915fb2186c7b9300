#pragma once

#include <QString>

class DocumentBuffer;
struct RunContext;

/// The Replace command.
void runReplace(RunContext &ctx);

/// The Replace's files, walked or selected as the request says, each replaced
/// and saved (or, in a preview, handed to its sink).
void replaceOverRequest(RunContext &ctx);

/// Every occurrence of Keyword in pString replaced by NewKeyWord, left to right,
/// without overlaps; updates the buffer, fileReplacements, totalReplacements,
/// status panel 1 and (when the text changed) the viewer's list. Linear in the text.
QString replaceAndCount(RunContext &ctx, const QString &pString, const QString &Keyword,
                        const QString &NewKeyWord);

/// The buffer's text through replaceAndCount with the buffer as its text; a
/// normal search rewrites the text where it lies, so a large file is not held twice.
void replaceInBuffer(RunContext &ctx, const QString &Keyword, const QString &NewKeyWord);

/// In a preview: the buffer's replacements, handed to the run's preview sink
/// with the old text and the new; nothing is written, the buffer keeps its text.
void previewBuffer(RunContext &ctx, const DocumentBuffer &buffer, const QString &keyword,
                   const QString &with);

/// Saves the buffer to currentPath and appends its report entry, with the
/// replacements the file added to totalReplacements since totalBefore.
void saveReplacedFile(RunContext &ctx, qint32 totalBefore);

/// The Replace walk with backups over one folder tree and one pattern.
void replaceInTree(RunContext &ctx, QString &DrivePath, QString &Ext);

/// The report entry for a saved file (CR LF, padded number, ")  ", path, count).
QString reportEntry(qint32 number, const QString &path, qint32 replacements);

/// Counts a saved file and appends its report entry, numbered on from the last.
void appendReportEntry(RunContext &ctx, const QString &path, qint32 replacements);

/// Starts a Replace's or Undo's totals, report entries and passed-over files
/// afresh, so that a report holds its own run only.
void startRunTotals(RunContext &ctx);

/// Whether the run has something to report: a saved file or a file passed over.
bool hasReportContent(const RunContext &ctx);

/// Whether the loaded file is binary: not read as UTF-16 and holding a NUL
/// among its first characters. Replace and Undo pass such files over.
bool isBinaryText(const DocumentBuffer &buffer);

/// Notes the loaded file as passed over when it is binary; returns whether it is.
bool passedOverAsBinary(RunContext &ctx);

/// For a file a Replace or Undo has loaded and found a match in: passes a
/// binary file over (noted for the report), else replaces every match in the
/// buffer (a fuzzy search from the buffer's selected match). False when
/// nothing was replaced; a result past the load limit is then reported under
/// sentence and source, and the file stays as it is.
bool replaceLoadedFile(RunContext &ctx, const QString &sentence, const QString &source);
