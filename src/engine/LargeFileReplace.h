#pragma once

#include "platform/FolderHandle.h"

#include <functional>

struct RunContext;
class SaveQueue;

/// A Replace walk's steps for a large file and a plain search, taken a piece
/// at a time so that the file's text is never held whole: the same matches,
/// counts, list, report and bytes written as loading it, with a few pieces in
/// memory. The buffer is left naming the file without its text.
namespace LargeFileReplace {

/// Whether the run replaces file so: a plain search without a kept case whose
/// replacement holds no line break (it would take the file's most common line end), no preview
/// or ticked replacements, and a file of at least the threshold that may be loaded.
bool takes(const RunContext &ctx, const FileSystem::FileAt &file);

/// Finds the first match as the run's search would, passes a binary file
/// over, calls backUp (when set) before anything changes, replaces and writes
/// the file: into saves in a walk, where a failure is passed over; at once for
/// a selected file (saves null), where it is reported. False when the whole
/// text must be replaced instead (nothing was written; the run loads the file
/// as any other).
bool replace(RunContext &ctx, const FileSystem::FileAt &file, SaveQueue *saves,
             const std::function<void()> &backUp);

/// Tests: the size from which a file is taken, and the piece size (0: the usual).
void setSizesForTesting(qint64 threshold, qsizetype piece);

}  // namespace LargeFileReplace
