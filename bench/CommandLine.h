#pragma once

#include <QString>
#include <QStringList>

class BenchHost;

/// What scrivlane-cli's arguments ask for, checked before anything runs.
struct CommandLine {
    enum class Outcome { Run, Help, Version, UsageError };
    Outcome outcome = Outcome::UsageError;
    /// find, replace, undo or remove.
    QString command;
    /// The help text to print, or what was wrong with the arguments.
    QString message;
    /// --timing: the run's wall and CPU time go to standard error.
    bool timing = false;
    /// preview --summary: no diff, one line per file with its count.
    bool summary = false;
    /// -0, --null: each printed path ends with a NUL instead of a line end.
    bool nullEnds = false;
    /// FOLDER as written, with a trailing "/", when it was relative: printed
    /// paths start with it, as grep's do. Empty for an absolute FOLDER.
    QString shownFolder;
    /// restore --list: the runs that can be restored, newest first.
    bool list = false;
    /// restore --run ID: that run rather than FOLDER's last.
    QString runId;
};

/// Reads args (the program name left out) into host's request.
CommandLine parseCommandLine(const QStringList &args, BenchHost &host);

/// The help of one command, or the general help for an empty or unknown one.
QString helpText(const QString &command);
