#pragma once

#include "Matcher.h"
#include "settings/LogSources.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

namespace FileSystem {
struct Entry;
struct FileAt;
class FolderHandle;
}  // namespace FileSystem

struct RunContext;
class BytePrefilter;
struct PreRead;
class RunRequest;

/// currentPath from the folder list's path with exactly one trailing separator.
void takeFolderPath(RunContext &ctx);

/// Small rules shared by the Find, Replace and Undo runs.
namespace RunSupport {

/// The one rule by which a file pattern takes a name, for the file list, Find,
/// Replace and Undo alike: the whole name matches ("*" and "?"; "*.*" and an
/// empty pattern take every name; letter case as the platform's file names).
bool matchesWildcard(const QString &name, const QString &pattern);

/// The names selected in the file list, gathered once so that a walk over a large top
/// folder asks a set, not the whole list, about each file.
QSet<QString> selectedNames(const RunRequest &request);

/// The error-log source of entries a walk passes over.
inline const QString kWalkSource = LogSource::replaceWalk;

/// An entry the run could not list, read or write: logged under source with
/// description, counted in passedOverCount, and the run goes on without it.
void passOver(RunContext &ctx, const QString &source, const QString &description);

/// At the end of a run: when entries were passed over, says how many and
/// where the error log lists them (once, not per entry). Clears the count.
void tellPassedOver(RunContext &ctx);

/// Shows sentence + CR + "Exact error was: " + description with the error icon
/// and title " Error", and logs it under source.
void reportRunError(RunContext &ctx, const QString &sentence, const QString &source,
                    const QString &description);

/// Runs step; a Failure (or any exception) is reported as above and the caller
/// resumes with its next step. Returns whether the step completed.
bool trapped(RunContext &ctx, const QString &sentence, const QString &source,
             const std::function<void()> &step);

/// Runs save for a file that replaceAndCount has listed. When save fails, the
/// file is taken off the viewer's list again and its replacements out of totalReplacements
/// (back to totalBefore), so no report claims a change that never reached the
/// disk; the failure is rethrown.
void saveOrUnlist(RunContext &ctx, const QString &path, qint32 totalBefore,
                  const std::function<void()> &save);

/// Whether path is the last file the run listed (RunEvents::listed): it has
/// just listed it as changed.
bool isListedLast(const RunContext &ctx, const QString &path);

/// Status panel 2 while a file is searched: " Searching through document: " and its path.
void showSearching(RunContext &ctx, const QString &path);

/// Appends folder to a walk's subfolder table; the design counts subfolders in
/// 16 bits, so a 32,768th one ends the walk with an "Overflow" error.
void storeSubfolder(QStringList &table, const QString &folder);

/// Whether a walk may enter this entry: real folders, no links (WalkRules
/// decides on hidden ones).
bool walksInto(const FileSystem::Entry &entry);

/// Whether a walk may search this entry as a file (WalkRules decides on
/// hidden ones): a link only in the top folder, where the user selected it (below, a link could
/// lead out of the tree or to a file the walk reaches anyway).
bool walksFile(const FileSystem::Entry &entry, bool topFolder);

/// Whether this run has already changed the file path names, through any name.
bool changedThisRun(const RunContext &ctx, const QString &path);
/// The same for the file the buffer holds (the identity of what was read).
bool changedThisRun(const RunContext &ctx, const FileSystem::FileAt &file);

/// Notes that this run changed the file path names (called after the save).
void noteChanged(RunContext &ctx, const QString &path);

/// The error-log description of a file the pattern engine gave up on.
QString gaveUpDescription(const QString &path, const SearchGaveUp &gaveUp);

/// Runs search, a search of the file the buffer holds. When the pattern engine
/// gives up on the file (SearchGaveUp) it is a failure of the run, as a file
/// too large is: reported under sentence and source, named in a Replace's
/// report as left unchanged, and false returned; the run goes on with the next file.
bool unlessGaveUp(RunContext &ctx, const QString &sentence, const QString &source,
                  const std::function<void()> &search);

/// Runs load; a file too large to hold is reported under sentence and source
/// and passed over (false), so the run goes on with the next file; other
/// failures propagate as before.
bool unlessTooLarge(RunContext &ctx, const QString &sentence, const QString &source,
                    const std::function<void()> &load);

/// Loads path into the viewer's buffer the way every run does: the viewer is
/// told first to skip its reaction to the change, and its held copy receives
/// the text afterwards. The path's links are resolved once; a save goes back to
/// the file read.
void loadIntoViewer(RunContext &ctx, const QString &path);
/// The same for a file a walk reached.
void loadIntoViewer(RunContext &ctx, const FileSystem::FileAt &file);

/// The prefilter for a walk's files: the find text of a normal search, the text
/// every match of a regular expression holds; a fuzzy search gets one that
/// rules nothing out.
BytePrefilter prefilterFor(const RunRequest &request);
/// The buffer's search from the start for the request, for a read-ahead's
/// workers to run on each file; none for the searches that keep state.
FirstMatchSearch firstMatchSearchFor(const RunRequest &request);
/// Turns the prefilter off, so tests can hold the fast path against the ordinary one.
void setPrefilterEnabledForTesting(bool enabled);

/// loadIntoViewer for a file a walk has just listed as a regular file, unless
/// filter rules it out from its bytes: the buffer's search would then find
/// nothing in it, so it is not decoded, only remembered as skippedLoad.
/// Returns whether the file was loaded.
bool loadUnlessRuledOut(RunContext &ctx, const FileSystem::FileAt &file,
                        const BytePrefilter &filter);
/// loadUnlessRuledOut for a file whose bytes were read and filtered already.
bool loadPreRead(RunContext &ctx, const FileSystem::FileAt &file, PreRead read);

/// The file a walk found as entry of folder: reached through the folder, or,
/// for a link the user selected in the top folder, through its target.
FileSystem::FileAt walkedFile(FileSystem::FolderHandle &folder, const FileSystem::Entry &entry);

/// Loads the file a walk passed over last when no file was loaded after it,
/// with the labels a search that found nothing leaves, so that the buffer ends
/// a walk as if every file had been loaded.
void settleSkippedLoad(RunContext &ctx);

/// Loads path as the file the viewer shows: without the skip, so the viewer's
/// text-change reaction describes the file; the viewer's held copy receives the text.
void loadShownFile(RunContext &ctx, const QString &path);

}  // namespace RunSupport
