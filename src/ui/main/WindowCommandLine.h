#pragma once

#include <QString>
#include <QStringList>

/// The window program's command line: `scrivlane [FOLDER]`, `--help`, `--version`.
struct WindowCommandLine {
    enum class Outcome {
        Start,  ///< open the window (on folder, when one was given)
        Print,  ///< print output on standard output and end with status 0
        Fail    ///< print output on standard error and end with status 2
    };

    Outcome outcome = Outcome::Start;
    /// FOLDER made absolute from the launch's working folder; empty when none.
    QString folder;
    QString output;

    int exitStatus() const { return outcome == Outcome::Fail ? 2 : 0; }

    /// Reads arguments (the program's name first). Needs the application object
    /// for the program's name and version.
    static WindowCommandLine parse(const QStringList &arguments, const QString &workingFolder);
    /// arguments without the window system's own options (-platform NAME,
    /// -style NAME, -reverse, ...), which the application object takes out
    /// itself: what remains can be read before there is a display.
    static QStringList withoutWindowSystemOptions(const QStringList &arguments);
};
