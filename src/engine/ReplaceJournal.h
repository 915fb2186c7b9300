#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

/// What the last Replace with backups wrote, kept beside the report, so that
/// Restore can put every file back from its copy byte for byte and can tell a
/// file that was changed since from one it may overwrite.
namespace ReplaceJournal {

struct Entry {
    QString path;  ///< the file the run changed
    QString copy;  ///< its backup copy
    qint32 replacements = 0;
    qint64 size = -1;                 ///< size of what the run wrote
    QByteArray hash;                  ///< SHA-256 of what the run wrote
    FileSystem::FileStamp copyStamp;  ///< the copy as the run left it
    bool operator==(const Entry &) const = default;
};

struct Journal {
    QString folder;  ///< the run's start folder
    QList<Entry> entries;
};

/// "Journal.dat" in the application folder, unless set otherwise.
QString defaultPath();
/// Keeps the journal at path (the command-line tool keeps it in the program's
/// data folder while its error log goes elsewhere); empty: the default again.
void setPath(const QString &path);

/// The hash a journal records.
QByteArray hashOf(QByteArrayView bytes);

/// The entry for path as it stands now: what is on disk is hashed, the copy stamped.
/// Throws Failure when either cannot be read.
Entry entryFor(const QString &path, const QString &copy, qint32 replacements);

/// Replaces the last journal by an empty one for folder. Throws Failure.
void start(const QString &journalPath, const QString &folder);
/// Appends entries, on disk before it returns. Throws Failure.
void append(const QString &journalPath, const QList<Entry> &entries);
/// The journal; nullopt when there is none or it cannot be read as one.
std::optional<Journal> read(const QString &journalPath);

}  // namespace ReplaceJournal
