#pragma once

#include <QString>

struct RunContext;

/// The Replace command.
void cmdReplace_Click(RunContext &ctx);

/// Every occurrence of Keyword in pString replaced by NewKeyWord, left to right,
/// without overlaps; updates the buffer, FileReplacements, TotalReplacements,
/// status panel 1 and (when the text changed) List1. Linear in the text.
QString replaceString(RunContext &ctx, const QString &pString, const QString &Keyword,
                      const QString &NewKeyWord);

/// The buffer's text through replaceString with the buffer as its text; a
/// normal search rewrites the text where it lies, so a large file is not held twice.
void replaceInBuffer(RunContext &ctx, const QString &Keyword, const QString &NewKeyWord);

/// Saves the buffer to CurrentPath and appends its report entry.
void AddToList(RunContext &ctx);

/// The Replace walk with backups over one folder tree and one pattern.
void FilesSearch(RunContext &ctx, QString &DrivePath, QString &Ext);

/// The report entry for a saved file (CR LF, padded number, ")  ", path, count).
QString reportEntry(qint32 number, const QString &path, qint32 replacements);
