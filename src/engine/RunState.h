#pragma once

#include "Replacer.h"
#include "WalkRules.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

class KeptOriginals;
class PreviewSink;
struct TickedFile;

/// A file a Replace or Undo left as it was on purpose, named in the report.
struct PassedOverFile {
    QString path;
    /// Why, for the report ("binary file", ...).
    QString reason;
};

/// The state a run shares with the windows; names as the design gives them.
struct RunState {
    // Program-wide.
    bool stopRequested = false;
    bool runInProgress = false;
    qint32 foundPosition = 0;
    QString currentPath;
    qint32 modifiedFileCount = 0;
    QString firstPart;
    QString secondPart;

    // Main window.
    /// When the current Replace or Undo started, as its report prints it.
    QString startTime;
    qint32 totalReplacements = 0;
    qint32 fileReplacements = 0;
    QString reportBody;
    QString defaultBackupRoot;

    /// Names of the top folder's files selected in the file list, taken once per walk.
    QSet<QString> selectedTopFiles;
    /// What the walks of this run leave out besides their pattern, set once per run.
    WalkRules walkRules;
    /// A file a walk passed over by its bytes alone and has not loaded (RunSupport).
    QString skippedLoad;
    /// The loaded file's replacement as a read-ahead worker prepared it; the
    /// next replacement takes it when it is for the same text and search.
    std::optional<PreparedReplacement> preparedReplacement;

    /// Files this Replace or Undo passed over, in the order met.
    QList<PassedOverFile> passedOverFiles;

    /// Set while an Undo runs: it never writes backup copies, so the copies a
    /// Replace made (the text before it) stay as they are.
    bool undoInProgress = false;

    /// Files the current Replace walk has already copied into the backup tree.
    QSet<QString> backedUpThisRun;
    /// Where the current Replace keeps the originals of the files it changes,
    /// so that Restore can bring the run back; none in other runs.
    std::shared_ptr<KeptOriginals> keptOriginals;
    /// Identities of the files the current Replace or Undo has changed: a file
    /// reached again through another name (a link, another pattern) is left alone.
    QSet<QString> changedIdentities;
    /// Entries this run could not list, read or write and went on without;
    /// the error log names each one.
    qint32 passedOverCount = 0;

    /// Set while a preview runs: the files Replace would change go to it and
    /// nothing is written.
    PreviewSink *previewSink = nullptr;
    /// Set while a Replace of ticked replacements runs: the files it may
    /// change, by path; no other file is taken.
    const QHash<QString, const TickedFile *> *tickedFiles = nullptr;
    /// The ticks of the file being replaced in such a run.
    const TickedFile *tickedFile = nullptr;
};
