#pragma once

#include "BytePrefilter.h"
#include "Matcher.h"
#include "Replacer.h"
#include "platform/FolderHandle.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QList>

#include <memory>
#include <optional>
#include <thread>
#include <vector>

/// What the workers do with a decoded text besides decoding it.
struct AheadWork {
    /// The first match, so the run only reports.
    FirstMatchSearch search;
    /// Whether the head of a text that may match holds a NUL (a Replace
    /// passes such a file over).
    bool binaryHead = false;
    /// A preview's replacement of each text the search matched.
    PrepareReplacement prepare;
};

/// What a walk learns of a file from its bytes before it is decoded.
struct PreRead {
    /// The whole file; nullopt when the filter is off or the file is too large
    /// to read whole (it is decoded as it is read instead).
    std::optional<QByteArray> bytes;
    /// False only when the filter ruled the file out (bytes are then dropped).
    bool mayMatch = true;
    /// The file as it was when bytes were read, for the save's check.
    FileSystem::FileStamp stamp;
    /// bytes decoded, when asked for and the filter let them through; the
    /// bytes are then dropped and only their count kept.
    std::optional<TextCodec::Decoded> decoded;
    /// The first match in decoded, when a search was given.
    std::optional<TextMatch> firstMatch;
    /// Whether decoded's head holds a NUL, when asked for and it may match.
    std::optional<bool> binaryHead;
    /// The replacement in decoded, when asked for and there is a first match.
    std::optional<PreparedReplacement> prepared;
    qint64 size = 0;

    /// Reads file, which the walk has just listed as regular, through its
    /// folder without following a link, and filters it (and decodes it, when
    /// decode is set, and does work on the text). Throws what reading throws.
    static PreRead of(const FileSystem::FileAt &file, const BytePrefilter &filter,
                      bool decode = false, const AheadWork &work = {});
};

/// Reads and filters the next files of a folder on worker threads while the
/// run searches the files before them, so a Find keeps every core busy. Files
/// are taken in the walk's order, whichever worker read them; a file nobody has
/// started yet is read by the taking thread itself rather than waited for.
/// What was never taken is dropped. With an inactive filter nothing is read ahead.
class ReadAhead {
public:
    /// workers 0: one per core. With decode, the workers also decode the
    /// files the filter lets through, and do work on each text, so the run
    /// only reports.
    explicit ReadAhead(const BytePrefilter &filter, bool decode = false, int workers = 0,
                       AheadWork textWork = {});
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    /// How many workers a ReadAhead of 0 workers runs; 0 (the default): one per core.
    static void setWorkersForTesting(int workers);

    /// The filter every file read ahead goes through.
    const BytePrefilter &filter() const;

    /// Starts on a folder's files; what is left of the files before is dropped.
    void begin(const QList<FileSystem::FileAt> &files);
    /// Adds files after those given before (another folder's, so the workers
    /// need not wait at the end of a folder); returns the index of the first.
    qsizetype append(const QList<FileSystem::FileAt> &files);
    /// PreRead::of of the index-th file given since begin(); indexes go up, and
    /// the files passed over are dropped unread or unused. Rethrows the
    /// failure of that file's read.
    PreRead take(qsizetype index);

private:
    struct Shared;
    void work();
    std::unique_ptr<Shared> d;
    std::vector<std::thread> m_threads;
};
