#pragma once

#include <QString>

/// What a run does to the main window besides reading the request and
/// reporting its events: window state, histories and the one yield call.
class MainPort {
public:
    virtual ~MainPort() = default;

    /// Status panel 1 or 2 of the status bar, for the windows' own hints (a
    /// run reports through RunEvents).
    virtual void setStatusText(int panel, const QString &text) = 0;

    /// Processes pending window-system events: status repaints and Stop clicks.
    virtual void yieldToEvents() = 0;

    virtual void minimizeWindow() = 0;
    virtual void restoreWindow() = 0;

    /// Stores the find and replacement histories and refills their boxes.
    virtual void saveHistories() = 0;
    /// Puts the status hints back to their idle texts.
    virtual void resetHints() = 0;
    /// Re-reads the file list from disk (after a run changed files).
    virtual void refreshFileList() = 0;
    /// Writes "Report.dat" and shows it in the viewer.
    virtual void writeReport() = 0;
};
