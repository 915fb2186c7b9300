#pragma once

#include "WalkRules.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QtGlobal>

class PreviewSink;
struct TickedFile;
struct TextChange;

/// A file a Replace or Undo left as it was on purpose, named in the report.
struct PassedOverFile {
    QString path;
    /// Why, for the report ("binary file", ...).
    QString reason;
};

/// The state a run shares with the windows; names as the design gives them.
struct RunState {
    // Program-wide.
    bool StopRequested = false;
    bool RunInProgress = false;
    qint32 FoundPosition = 0;
    QString CurrentPath;
    qint32 ModifiedFileCount = 0;
    QString PartsSource;
    QString FirstPart;
    QString SecondPart;

    // Main window.
    bool ValidationFailed = false;
    bool EmptyReplaceConfirmed = false;
    qint32 TotalReplacements = 0;
    qint32 FileReplacements = 0;
    QString ReportBody;
    QString DefaultBackupRoot;
    /// The main window's tag: "Find" while a find run validates its request.
    QString Tag;

    /// Names of the top folder's files selected in File2, taken once per walk.
    QSet<QString> SelectedTopFiles;
    /// What the walks of this run leave out besides their pattern, set once per run.
    WalkRules Walk;
    /// A file a walk passed over by its bytes alone and has not loaded (RunSupport).
    QString SkippedLoad;

    /// Files this Replace or Undo passed over, in the order met.
    QList<PassedOverFile> PassedOverFiles;

    /// Set while an Undo runs: it never writes backup copies, so the copies a
    /// Replace made (the text before it) stay as they are.
    bool UndoInProgress = false;

    /// Files the current Replace walk has already copied into the backup tree.
    QSet<QString> BackedUpThisRun;
    /// Each copied file's copy, for the journal that lets Restore put it back.
    QHash<QString, QString> BackupCopies;
    /// Whether this Replace has started its journal (at its first saved file
    /// with a copy, so a run that changes nothing keeps the last journal).
    bool JournalStarted = false;
    /// Identities of the files the current Replace or Undo has changed: a file
    /// reached again through another name (a link, another pattern) is left alone.
    QSet<QString> ChangedThisRun;
    /// Entries this run could not list, read or write and went on without;
    /// the error log names each one.
    qint32 PassedOver = 0;

    /// Set while a preview runs: the files Replace would change go to it and
    /// nothing is written.
    PreviewSink *previewSink = nullptr;
    /// Set while a Replace of ticked replacements runs: the files it may
    /// change, by path; no other file is taken.
    const QHash<QString, const TickedFile *> *tickedFiles = nullptr;
    /// The ticks of the file being replaced in such a run.
    const TickedFile *tickedFile = nullptr;
    /// The replacements of the file being previewed.
    QList<TextChange> *previewChanges = nullptr;
};
