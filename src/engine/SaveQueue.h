#pragma once

#include "platform/FileSystem.h"

#include <QList>
#include <QSet>
#include <QString>

#include <functional>

struct RunContext;

/// The Replace walk's saves, flushed in batches so that one flush of the file
/// system serves many files. A file counts as modified, gets its report entry
/// and keeps its entry in the viewer's list only once it is on disk, so nothing claims a
/// change that never got there.
class SaveQueue {
public:
    /// Writes the buffer's text for path; the file waits for the next commit.
    /// totalBefore is totalReplacements before the file's replacements.
    void add(RunContext &ctx, const QString &path, qint32 totalBefore);
    /// add for a file whose new bytes write() puts in the pending saves itself
    /// (a file replaced as it is read, its replacements tallied meanwhile);
    /// identity: the file's before the save.
    void addWritten(RunContext &ctx, const QString &path, qint32 totalBefore,
                    const QString &identity,
                    const std::function<void(FileSystem::PendingSaves &)> &write);
    bool isEmpty() const { return m_records.isEmpty(); }
    /// Whether the waiting saves hold as many descriptors as a batch may: a
    /// tree of one-file folders holds two per file.
    bool isFull() const { return m_pending.descriptors() >= batchSize(); }
    /// Whether a waiting file has this identity (FileSystem::fileIdentity).
    bool holds(const QString &identity) const
    {
        return !identity.isEmpty() && m_identities.contains(identity);
    }
    /// Puts the waiting files in place, in order, each adding to modifiedFileCount
    /// and the report. A file that cannot be put in place (changed by another
    /// program meanwhile, a failing disk) leaves the viewer's file list and the replacement total
    /// and is passed over (RunSupport::passOver); the others still count.
    void commit(RunContext &ctx);

    /// One save put in place at once, its original kept as the queue's are:
    /// write() puts the new file in the pending saves given. Throws Failure
    /// when it cannot be put in place.
    static void saveNow(RunContext &ctx, qint32 totalBefore,
                        const std::function<void(FileSystem::PendingSaves &)> &write);

private:
    /// Files per flush: each flush costs the disk a round trip, each file
    /// waiting for it an open descriptor.
    static qsizetype batchSize();
    struct Record {
        QString path;
        qint32 totalBefore = 0;
        qint32 replacements = 0;
        bool listed = false;
    };
    FileSystem::PendingSaves m_pending;
    QList<Record> m_records;
    QSet<QString> m_identities;
};
