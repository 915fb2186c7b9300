#pragma once

#include "engine/RunState.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

struct RunContext;

/// end minus start in whole seconds, halves to even. A negative
/// difference (the clock was set back) counts as 0; the result saturates at
/// the 32-bit maximum.
qint32 secondsBetween(const QDateTime &start, const QDateTime &end);

/// Writes "Report.dat" for the run that just ended, shows it in the viewer and
/// resets the run's counters. A failure to write or load the report is thrown
/// as Failure to the calling command.
void writeReport(RunContext &ctx);

/// Writes reportText as "Report.dat" and loads it into the viewer's document,
/// captioned as a report. Throws Failure when it cannot be written or loaded.
void writeAndShowReport(RunContext &ctx, const QString &reportText);

/// The text of "Report.dat", built from plain inputs so it can be checked byte for byte.
namespace ReportWriter {

/// What one report is made of.
struct ReportData {
    QDateTime start;
    QDateTime end;
    qint32 totalReplacements = 0;
    qint32 modifiedFiles = 0;
    /// reportBody: the modified-file entries as the run appended them.
    QString reportBody;
    bool hasBackup = false;
    /// The run was stopped before it went through every file.
    bool stopped = false;
    /// The files were put back from their backup copies.
    bool restored = false;
    /// Files the run left as they were on purpose.
    QList<PassedOverFile> passedOver;
    /// Entries the run could not list, read or write and went on without
    /// (the error log names each one), as the closing message counts them.
    qint32 unreadableEntries = 0;
    /// The folder that holds the run's copies (used when hasBackup).
    QString backupFolder;
};

/// The pattern "#,###": rounded, grouped, and empty for a value that rounds to 0.
QString formatWhole(double value, const QLocale &locale = QLocale());

/// The pattern "#,###.##": at most two decimals, grouped, no leading zero, and
/// the decimal separator always written ("2." for two).
QString formatTwoDecimals(double value, const QLocale &locale = QLocale());

/// The "Total Search Time" value: minutes above 60 seconds, else seconds.
QString durationText(qint32 seconds, const QLocale &locale = QLocale());

/// The whole report, every line ended by CR LF.
QString reportText(const ReportData &data, const QLocale &locale = QLocale());

}  // namespace ReportWriter
