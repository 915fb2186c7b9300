#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// The record of one Replace: what it asked for, every file it changed with
/// where the file's original is kept and what the run wrote, so that Restore
/// can bring the run back byte for byte and tell a file changed since. Each
/// run has its own; lines are written before the files they name are replaced.
namespace RunJournal {

struct Header {
    QString id;  ///< the run's name, also its journal's and its store folders'
    QDateTime started;
    QString folder;  ///< the run's start folder
    QString find;
    QString replace;
    bool operator==(const Header &) const = default;
};

struct Entry {
    qint64 number = 0;  ///< the kept original's name in its store folder
    int store = 0;      ///< which of the journal's stores holds it
    /// The file, relative to the run's folder as the run saw it; trusted only
    /// once Restore has checked it lies inside that folder.
    QString path;
    FileSystem::FileStamp kept;  ///< the kept original (for a link, the file itself)
    qint64 originalModifiedNs = 0;
    FileSystem::FileStamp written;  ///< what the run wrote
    qint32 replacements = 0;
    bool operator==(const Entry &) const = default;
};

struct Journal {
    Header header;
    QStringList stores;  ///< the store folders' roots, by index
    QList<Entry> entries;
    /// The run ended and said so; without it the record may lack files.
    bool complete = false;
    bool stopped = false;
    /// A line that could not be read (cut short): what follows it is unknown.
    bool damaged = false;
    qint64 keptBytes() const;
};

QByteArray headerText(const Header &header);
QByteArray storeLine(int index, const QString &root);
QByteArray entryLine(const Entry &entry);
QByteArray endLine(qint64 files, bool stopped);

/// The journal in bytes; nullopt when they are not one.
std::optional<Journal> parse(const QByteArray &bytes);

}  // namespace RunJournal
