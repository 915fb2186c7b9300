#pragma once

#include "engine/RunJournal.h"
#include "engine/RunState.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

/// Puts the files of a recent Replace back as they were before it, from the
/// originals the run kept.
namespace RestoreRun {

struct RestoredFile {
    QString path;
    qint32 replacements = 0;
};

struct Result {
    /// Whether there was such a run.
    bool found = false;
    QString id;
    QString folder;
    QList<RestoredFile> restored;
    /// Files left as they are, each with why.
    QList<PassedOverFile> passedOver;
    /// What else went wrong: a record that cannot be trusted or is incomplete.
    QStringList problems;
};

/// Restores run id: every file it changed that is still as the run left it
/// gets its original back (the kept file itself where it shares the file's
/// file system, else its bytes and time, the file's mode kept). A file is
/// reached only inside the run's folder and never through a link; a journal
/// entry naming anything else is refused and named. A file changed since is
/// passed over and named. A run restored to its end is dropped from the store.
/// stopRequested is asked before each file.
Result restore(const QString &id, const std::function<bool()> &stopRequested = {});

/// The newest run of folder restored; found false when there is none.
Result restoreLastIn(const QString &folder, const std::function<bool()> &stopRequested = {});

/// The report of a restore in the format of "Report.dat".
QString reportText(const Result &result, const QDateTime &start, const QDateTime &end);

}  // namespace RestoreRun
