#pragma once

#include "RunJournal.h"
#include "platform/KeptFiles.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

/// The recent Replace runs that Restore can bring back: each run's journal in
/// a private folder of the program's data folder ("Restore"), and its kept
/// originals there or in a private folder at the top of the files' own mount.
/// Bounded: the last runs up to a count and a total size (settings), the
/// oldest dropped first, never the last run nor one still under way.
namespace RunStore {

/// The journals' folder: "Restore" in the program's data folder, unless set.
QString root();
/// Keeps the store at path (the command-line tool, whose data folder is a
/// scratch one for its error log); empty: the default again.
void setRoot(const QString &path);
/// The open journals' folder; created when create. Invalid when it is not
/// private (a link, another user's, open to others).
KeptFiles::Store openRoot(bool create);
/// The name of a store folder at the top of a mount.
QString perMountStoreName();

/// How many runs are kept (setting "Runs", 20 by default).
int runLimit();
/// How many bytes of originals are kept (setting "SizeMB", 2048 MB by default).
qint64 sizeLimit();

/// A new run's name: its start time, then what makes it unique.
QString newRunId(const QDateTime &started);

struct RunInfo {
    QString id;
    RunJournal::Header header;
    qint64 files = 0;
    qint64 keptBytes = 0;
    bool complete = false;
    bool live = false;  ///< its run is still under way
    QString problem;    ///< why its journal cannot be used, when it cannot
};

/// The runs, newest first.
QList<RunInfo> list();
/// The newest run of folder, if any.
std::optional<RunInfo> lastRunIn(const QString &folder);

/// Whether run id is still under way (its process runs and it has not ended).
bool isLive(const QString &id);

/// Marks a run of this process as under way, or no longer.
void setLive(const QString &id, bool live);

/// Run id's journal, only when it is a private regular file of the user's;
/// else nullopt and why.
std::optional<RunJournal::Journal> read(const QString &id, QString &why);

/// The store folder root of a journal, opened only when it is one this
/// program makes (the journals' folder, or a per-mount store) and private.
KeptFiles::Store openStore(const QString &storeRoot);

/// Removes run id: its kept originals in each store, then its journal.
void drop(const QString &id);
/// Drops the oldest runs beyond the bounds; never keep (the last run) nor a
/// run under way.
void trim(const QString &keep);

}  // namespace RunStore
