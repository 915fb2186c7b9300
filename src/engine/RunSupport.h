#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

struct RunContext;
class SearchRequest;

/// CurrentPath from Dir2's path with exactly one trailing separator.
void Get_Path(RunContext &ctx);

/// Small rules shared by the Find, Replace and Undo runs.
namespace RunSupport {

/// The platform's wildcard match of a file name ("*" and "?"; "*.*" and an
/// empty pattern take every name; letter case as the platform's file names).
bool matchesWildcard(const QString &name, const QString &pattern);

/// The Replace walk's rule: the text after the first "*" must occur in the name
/// exactly (".*" takes every name).
bool matchesReplacePattern(const QString &name, const QString &pattern);

/// Whether File2 lists this name and it is selected.
bool isSelectedInFileList(const SearchRequest &request, const QString &name);

/// Shows sentence + CR + "Exact error was: " + description with the error icon
/// and title " Error", and logs it under source.
void reportRunError(RunContext &ctx, const QString &sentence, const QString &source,
                    const QString &description);

/// Runs step; a Failure (or any exception) is reported as above and the caller
/// resumes with its next step. Returns whether the step completed.
bool trapped(RunContext &ctx, const QString &sentence, const QString &source,
             const std::function<void()> &step);

/// Runs save for a file that replaceString has listed. When save fails, the
/// file is taken off List1 again and its replacements out of TotalReplacements
/// (back to totalBefore), so no report claims a change that never reached the
/// disk; the failure is rethrown.
void saveOrUnlist(RunContext &ctx, const QString &path, qint32 totalBefore,
                  const std::function<void()> &save);

/// Status panel 2 while a file is searched: " Searching through document: " and its path.
void showSearching(RunContext &ctx, const QString &path);

/// Appends folder to a walk's subfolder table; the design counts subfolders in
/// 16 bits, so a 32,768th one ends the walk with an "Overflow" error.
void storeSubfolder(QStringList &table, const QString &folder);

/// Loads path into the viewer's buffer the way every run does: the viewer's
/// tag becomes "Stop" first and rtbHold receives the text afterwards.
void loadIntoViewer(RunContext &ctx, const QString &path);

/// Loads path as the file the viewer shows: without the "Stop" tag, so the
/// viewer's text-change reaction describes the file; rtbHold receives the text.
void loadShownFile(RunContext &ctx, const QString &path);

}  // namespace RunSupport
