#pragma once

#include "Replacer.h"
#include "platform/TextCodec.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

class DocumentBuffer;
struct RunContext;

// The replacement in the file a Replace or Undo has loaded, and its save.

/// Every occurrence of find in text replaced by replacement, left to right,
/// without overlaps; updates fileReplacements, totalReplacements, status
/// panel 1 and (when the text changed) the viewer's list. Linear in the text.
QString replaceAndCount(RunContext &ctx, const QString &text, const QString &find,
                        const QString &replacement);

/// The buffer's text through replaceAndCount with the buffer as its text; a
/// normal search rewrites the text where it lies, so a large file is not held twice.
void replaceInBuffer(RunContext &ctx, const QString &find, const QString &replacement);

/// In a preview: the buffer's replacements, handed to the run's preview sink
/// with the old text and the new; nothing is written, the buffer keeps its text.
void previewBuffer(RunContext &ctx, const DocumentBuffer &buffer, const QString &keyword,
                   const QString &with);

/// In a preview of a normal search: the replacement of a file's text as
/// previewBuffer works it out, for the read-ahead's workers to prepare while
/// the run reports the files before; none in other runs.
PrepareReplacement previewReplacementFor(const RunContext &ctx);

/// Saves the buffer to currentPath and appends its report entry, with the
/// replacements the file added to totalReplacements since totalBefore.
void saveReplacedFile(RunContext &ctx, qint32 totalBefore);
/// What follows saveReplacedFile's write: the file noted as changed, its
/// report entry and journal entry.
void noteSavedFile(RunContext &ctx, qint32 totalBefore);

/// Whether the loaded file is binary: not read as UTF-16 and holding a NUL
/// among its first characters. Replace and Undo pass such files over.
bool isBinaryText(const DocumentBuffer &buffer);

/// Notes the loaded file as passed over when it is binary; returns whether it is.
bool passedOverAsBinary(RunContext &ctx);
/// passedOverAsBinary for the file at path, of which head holds the first characters.
bool passedOverAsBinary(RunContext &ctx, const QString &path, QStringView head,
                        TextEncoding encoding);

/// The counts of a replacement made outside the buffer (a large file replaced
/// as it was read), tallied and listed as replaceInBuffer does its own.
void tallyReplacement(RunContext &ctx, const ReplaceResult &result);

/// For a file a Replace or Undo has loaded and found a match in: passes a
/// binary file over (noted for the report), else replaces every match in the
/// buffer (a fuzzy search from the buffer's selected match). False when
/// nothing was replaced; a result past the load limit, or a regular
/// expression the engine gave up on, is then reported under sentence and
/// source, and the file stays as it is.
bool replaceLoadedFile(RunContext &ctx, const QString &sentence, const QString &source);

/// replaceLoadedFile for a file already known not to be binary: the check
/// reads the file's first block, which a walk has just done.
bool replaceLoadedText(RunContext &ctx, const QString &sentence, const QString &source);
