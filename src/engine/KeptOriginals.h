#pragma once

#include "RunJournal.h"
#include "platform/FileSystem.h"
#include "platform/KeptFiles.h"

#include <QHash>
#include <QString>

#include <memory>

/// What one Replace keeps of the files it changes: each original, just before
/// its save's rename, in the store on the file's own file system (a hard link:
/// no byte copied), else copied into the journals' folder; and its journal
/// line, on disk before the file is replaced. A run that could not keep a
/// file's original leaves that file as it was.
class KeptOriginals : public FileSystem::OriginalKeeper {
public:
    /// Starts the run's journal in RunStore. Throws Failure when it cannot.
    explicit KeptOriginals(const RunJournal::Header &header);
    ~KeptOriginals() override;
    KeptOriginals(const KeptOriginals &) = delete;
    KeptOriginals &operator=(const KeptOriginals &) = delete;

    QStringList keep(const QList<FileSystem::PendingSaves::Item> &items) override;

    /// Ends the journal (stopped: the run was stopped on the way) and keeps
    /// the store within its bounds.
    void finish(bool stopped);

    const QString &id() const { return m_header.id; }
    /// How the originals of this run were kept, counted (links, clones, copies).
    qint64 keptAs(KeptFiles::KeptAs how) const { return m_counts[int(how)]; }

private:
    struct StoreFolder {
        int index = -1;
        KeptFiles::Store folder;
    };
    StoreFolder storeFor(const FileSystem::PendingSaves::Item &item, QByteArray &lines);
    QString relativePath(const FileSystem::PendingSaves::Item &item);

    RunJournal::Header m_header;
    QString m_realFolder;
    KeptFiles::Store m_root;
    std::shared_ptr<const OpenDescriptor> m_journal;
    QString m_journalPath;
    QHash<quint64, StoreFolder> m_stores;
    int m_storeCount = 0;
    qint64 m_next = 0;
    qint64 m_entries = 0;
    QString m_broken;
    qint64 m_counts[3] = {};
    bool m_finished = false;
    const void *m_lastFolder = nullptr;
    QString m_lastRealFolder;
};
