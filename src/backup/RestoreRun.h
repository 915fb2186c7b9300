#pragma once

#include "engine/ReplaceJournal.h"
#include "engine/RunState.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

/// Puts the files of the last Replace with backups back from their copies.
namespace RestoreRun {

struct Result {
    /// Whether there was a journal for the folder asked for.
    bool found = false;
    QString folder;
    QList<ReplaceJournal::Entry> restored;
    QList<PassedOverFile> passedOver;
};

/// Restores every file of the journal's run, byte for byte with the atomic
/// save (mode and owner kept): only a file whose bytes are still those the run
/// wrote, and only from a copy still the one the run made; the others are
/// passed over with the reason. folder, when not empty, must be the run's
/// start folder. The journal is removed once it was used. stopRequested is
/// asked before each file.
Result restore(const QString &journalPath, const QString &folder = QString(),
               const std::function<bool()> &stopRequested = {});

/// The report of a restore in the format of "Report.dat".
QString reportText(const Result &result, const QDateTime &start, const QDateTime &end);

}  // namespace RestoreRun
