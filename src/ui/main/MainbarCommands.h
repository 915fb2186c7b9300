#pragma once

#include <QString>

#include <functional>

struct RunContext;

/// The Find, Replace and Undo tools of the main toolbar: one run at a time, its
/// tool captioned "Stop" while it lasts so that a second click asks it to stop,
/// and a failure reported and logged instead of escaping the click.
class MainbarCommands {
public:
    /// `begin` readies the window for a run, `end` gives it back afterwards.
    MainbarCommands(RunContext &ctx, std::function<void()> begin, std::function<void()> end);

    /// A click on the tool `key` ("find", "replace" or "undo").
    void click(const QString &key);
    /// Asks the run under way to stop, as a click on its "Stop" tool does.
    void stopRun();
    /// The tool whose run is under way; empty when idle.
    QString runningTool() const { return m_runningTool; }

private:
    void runTrapped(const QString &key);

    RunContext &m_ctx;
    std::function<void()> m_begin;
    std::function<void()> m_end;
    QString m_runningTool;
};
