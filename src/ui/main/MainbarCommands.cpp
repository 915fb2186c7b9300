#include "MainbarCommands.h"

#include "backup/RestoreCommand.h"
#include "backup/UndoRun.h"
#include "engine/FindRun.h"
#include "engine/MainPort.h"
#include "engine/Matcher.h"
#include "engine/PreviewResult.h"
#include "engine/PreviewRun.h"
#include "engine/ReplaceRun.h"
#include "engine/RunContext.h"
#include "engine/RunRequest.h"
#include "engine/SearchMatcher.h"
#include "engine/ViewerPort.h"
#include "platform/Failure.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"

#include <exception>
#include <utility>

namespace {
const QString Idle = QStringLiteral("Scrivlane");
const QString Stop = QStringLiteral("Stop");

QString idleCaption(const QString &key)
{
    if (key == u"replace")
        return QStringLiteral("Replace");
    if (key == u"preview")
        return QStringLiteral("Preview");
    if (key == u"undo")
        return QStringLiteral("Undo");
    if (key == u"restore")
        return QStringLiteral("Restore");
    return QStringLiteral("Find");
}

// Preview and Replace ticked are Replace's own path, and report as it does.
bool isReplacePath(const QString &key)
{
    return key == u"replace" || key == u"preview";
}
}  // namespace

MainbarCommands::MainbarCommands(RunContext &ctx, Captioner setCaption, std::function<void()> begin,
                                 std::function<void()> end)
    : m_ctx(ctx),
      m_setCaption(std::move(setCaption)),
      m_begin(std::move(begin)),
      m_end(std::move(end))
{
}

MainbarCommands::~MainbarCommands() = default;

void MainbarCommands::click(const QString &key)
{
    if (!m_runningTool.isEmpty()) {
        // A run is under way: only its own tool, now captioned "Stop", reacts,
        // and only by asking that run to stop. No run ever starts inside another.
        if (key != m_runningTool || m_stopAsked)
            return;
        m_stopAsked = true;
        m_setCaption(key, idleCaption(key));
        m_ctx.requestStop();
        return;
    }
    if (key == u"find")
        run(key, [this] { startFind(m_ctx); });
    else if (key == u"replace")
        run(key, [this] { runReplace(m_ctx); });
    else if (key == u"undo")
        run(key, [this] { runUndo(m_ctx); });
    else if (key == u"preview")
        run(key, [this] { preview(); });
    else if (key == u"restore")
        run(key, [this] { restoreReplace(m_ctx); });
    else
        return;
    // Shown once the run has given the window back.
    if (m_previewed && m_previewShown)
        m_previewShown(std::move(m_previewed));
    m_previewed.reset();
}

void MainbarCommands::replaceTicked(const TickedReplacements &ticked)
{
    if (m_runningTool.isEmpty())
        run(QStringLiteral("replace"), [&] { PreviewRun::replaceTicked(m_ctx, ticked); });
}

void MainbarCommands::run(const QString &key, const std::function<void()> &body)
{
    // A run loads its files into the viewer's document: unsaved edits there
    // are offered for saving first, and stay (with no run) if that fails.
    if (!m_ctx.viewer->offerSaveModified())
        return;
    m_ctx.main->setStatusText(1, Idle);
    m_begin();
    m_runningTool = key;
    m_stopAsked = false;
    m_setCaption(key, Stop);
    m_ctx.state.stopRequested = false;
    runTrapped(key, body);
    m_setCaption(key, idleCaption(key));
    m_runningTool.clear();
    m_end();
}

void MainbarCommands::preview()
{
    const RunRequest r = m_ctx.currentTerms();
    // The run's own matcher and replacement, so the window shows what Replace would write.
    auto result =
        std::make_unique<PreviewResult>(std::shared_ptr<const Matcher>(matcherFor(r, r.findText())),
                                        r.isFuzzy() ? r.fuzzyReplace() : r.replaceText());
    if (PreviewRun::preview(m_ctx, *result))
        m_previewed = std::move(result);
}

void MainbarCommands::stopRun()
{
    if (!m_runningTool.isEmpty())
        click(m_runningTool);
}

void MainbarCommands::runTrapped(const QString &key, const std::function<void()> &body)
{
    QString sentence;
    QString source;
    try {
        body();
        return;
    } catch (const Failure &failure) {
        source = failure.description();
    } catch (const std::exception &error) {
        source = QString::fromLocal8Bit(error.what());
    }
    if (key == u"find")
        sentence = QStringLiteral("An error occurred while trying to search.");
    else if (isReplacePath(key))
        sentence = QStringLiteral("An error occurred while trying to replace.");
    else if (key == u"restore")
        sentence = QStringLiteral("An error occurred while trying to restore the files.");
    else
        sentence = QStringLiteral("An error occurred while trying to undo the operation.");
    const QString procedure = key == u"find"       ? LogSource::findCommand
                              : isReplacePath(key) ? LogSource::replaceCommand
                                                   : LogSource::undoCommand;
    ErrorLog::reportFailure(*m_ctx.dialogs, ErrorLog::exactErrorMessage(sentence, source),
                            QStringLiteral(" Error"), procedure, source);
}
