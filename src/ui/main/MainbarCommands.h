#pragma once

#include <QString>

#include <functional>
#include <memory>

struct RunContext;
class PreviewResult;
struct TickedReplacements;

/// The Find, Replace, Preview, Undo and Restore tools of the main toolbar: one
/// run at a time, its tool captioned "Stop" while it lasts so that a second
/// click asks it to stop, and a failure reported and logged instead of
/// escaping the click.
class MainbarCommands {
public:
    /// Sets a tool's caption.
    using Captioner = std::function<void(const QString &key, const QString &caption)>;
    /// `begin` readies the window for a run, `end` gives it back afterwards.
    MainbarCommands(RunContext &ctx, Captioner setCaption, std::function<void()> begin,
                    std::function<void()> end);
    ~MainbarCommands();

    /// A click on the tool `key` ("find", "replace", "preview", "undo" or "restore").
    void click(const QString &key);
    /// Replace of the ticked replacements of a preview, run as the Replace tool's run.
    void replaceTicked(const TickedReplacements &ticked);
    /// Asks the run under way to stop, as a click on its "Stop" tool does.
    void stopRun();
    /// The tool whose run is under way; empty when idle.
    QString runningTool() const { return m_runningTool; }

    /// Receives what a Preview run found, once the run has ended.
    void setPreviewShown(std::function<void(std::unique_ptr<PreviewResult>)> shown)
    {
        m_previewShown = std::move(shown);
    }

private:
    void run(const QString &key, const std::function<void()> &body);
    void runTrapped(const QString &key, const std::function<void()> &body);
    void preview();

    RunContext &m_ctx;
    Captioner m_setCaption;
    std::function<void()> m_begin;
    std::function<void()> m_end;
    std::function<void(std::unique_ptr<PreviewResult>)> m_previewShown;
    std::unique_ptr<PreviewResult> m_previewed;
    QString m_runningTool;
    /// Whether the running tool was clicked again: its caption is idle, and
    /// further clicks wait for the run to end.
    bool m_stopAsked = false;
};
