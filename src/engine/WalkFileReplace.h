#pragma once

#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"

#include <QString>

#include <functional>

struct PreRead;
struct RunContext;
struct RunState;
class RunRequest;
class ReadAhead;
class SaveQueue;

/// One file of the Replace walk when its turn comes: loaded (from its bytes
/// read ahead when there are any), replaced and queued for saving, only while
/// it is still the file that was read. A file that cannot be read or written
/// is logged, counted and passed over.
class WalkFileReplace {
public:
    /// A file the walk takes.
    struct Turn {
        FileSystem::FolderHandle &folder;
        const FileSystem::Entry &entry;
        const QString &path;
        /// The file as built when it was read ahead; null: built now (a link).
        const FileSystem::FileAt *built;
        /// Its place among the files read ahead, or -1.
        qsizetype ahead;
    };
    enum class Next { Go, Stop };
    /// Called before the file changes; it throws to end the walk.
    using BackUp = std::function<void(const FileSystem::FileAt &file)>;

    WalkFileReplace(RunContext &ctx, SaveQueue &saves, ReadAhead &ahead);

    /// Whether the user's selection and ticks leave the file entry of the
    /// folder at folderPath to the run.
    static bool isChosen(const RunState &s, const QString &folderPath,
                         const FileSystem::Entry &entry, bool isTopFolder);

    /// Replaces the file, calling backUp (when set) before it changes; Stop
    /// when a stop came meanwhile.
    Next replace(const Turn &turn, const BackUp &backUp);

private:
    enum class Load { Skipped, RuledOut, Loaded, Large };

    Load load(const Turn &turn, FileSystem::FileAt &file, bool large = true);
    PreRead takeRead(const FileSystem::FileAt &file, qsizetype ahead);
    Next findFirst(bool &found);
    void save(const QString &path, qint32 totalBefore);

    RunContext &m_ctx;
    RunState &m_s;
    const RunRequest &m_r;
    SaveQueue &m_saves;
    ReadAhead &m_ahead;
};
