#include "MainbarCommands.h"

#include "backup/UndoRun.h"
#include "engine/FindRun.h"
#include "engine/MainPort.h"
#include "engine/ReplaceRun.h"
#include "engine/RunContext.h"
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
    if (key == u"undo")
        return QStringLiteral("Undo");
    return QStringLiteral("Find");
}
}  // namespace

MainbarCommands::MainbarCommands(RunContext &ctx, std::function<void()> begin,
                                 std::function<void()> end)
    : m_ctx(ctx), m_begin(std::move(begin)), m_end(std::move(end))
{
}

void MainbarCommands::click(const QString &key)
{
    if (!m_runningTool.isEmpty()) {
        // A run is under way: only its own tool, now captioned "Stop", reacts,
        // and only by asking that run to stop. No run ever starts inside another.
        if (key != m_runningTool || m_ctx.main->toolCaption(key) != Stop)
            return;
        if (key == u"find") {
            startOrStopFind(m_ctx);
        } else {
            m_ctx.main->setToolCaption(key, idleCaption(key));
            m_ctx.state.stopRequested = true;
        }
        return;
    }
    if (key != u"find" && key != u"replace" && key != u"undo")
        return;
    // A run loads its files into the viewer's document: unsaved edits there
    // are offered for saving first, and stay (with no run) if that fails.
    if (!m_ctx.viewer->offerSaveModified())
        return;
    m_ctx.main->setStatusText(1, Idle);
    m_begin();
    m_runningTool = key;
    if (key != u"find") {
        m_ctx.main->setToolCaption(key, Stop);
        m_ctx.state.stopRequested = false;
    }
    runTrapped(key);
    m_ctx.main->setToolCaption(key, idleCaption(key));
    m_runningTool.clear();
    m_end();
}

void MainbarCommands::stopRun()
{
    if (!m_runningTool.isEmpty())
        click(m_runningTool);
}

void MainbarCommands::runTrapped(const QString &key)
{
    QString sentence;
    QString source;
    try {
        if (key == u"find") {
            startOrStopFind(m_ctx);
        } else if (key == u"replace") {
            runReplace(m_ctx);
        } else {
            runUndo(m_ctx);
        }
        return;
    } catch (const Failure &failure) {
        source = failure.description();
    } catch (const std::exception &error) {
        source = QString::fromLocal8Bit(error.what());
    }
    if (key == u"find")
        sentence = QStringLiteral("An error occurred while trying to search.");
    else if (key == u"replace")
        sentence = QStringLiteral("An error occurred while trying to replace.");
    else
        sentence = QStringLiteral("An error occurred while trying to undo the operation.");
    const QString procedure = key == u"find"      ? LogSource::findCommand
                              : key == u"replace" ? LogSource::replaceCommand
                                                  : LogSource::undoCommand;
    ErrorLog::reportFailure(*m_ctx.dialogs, ErrorLog::exactErrorMessage(sentence, source),
                            QStringLiteral(" Error"), procedure, source);
}
