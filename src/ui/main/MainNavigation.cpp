#include "MainNavigation.h"

#include "ListedTargets.h"
#include "MainWindow.h"
#include "PathField.h"
#include "ui/DriveList.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"

#include "engine/OpenTarget.h"
#include "engine/RunState.h"
#include "platform/Dialogs.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {
QStringList localPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime)
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}
}  // namespace

MainNavigation::MainNavigation(MainWindow &window) : QObject(&window), m_w(window)
{
    m_w.setAcceptDrops(true);
    connect(m_w.pathField, &PathField::openRequested, this,
            [this](const QString &typed) { open({typed}); });
}

bool MainNavigation::isIdle() const
{
    // A run reads the folder and the selection as it goes: they stay as they are.
    return !m_w.context().state.runInProgress;
}

bool MainNavigation::open(const QStringList &paths)
{
    if (!isIdle())
        return false;
    const OpenTarget target = OpenTarget::resolve(paths, m_w.folderList->path());
    if (!target.isValid()) {
        if (!target.missing.isEmpty())
            m_w.dialogs().message(
                QStringLiteral("The folder %1 does not exist.").arg(target.missing),
                QStringLiteral(" Folder not found"), MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    const bool same = target.folder == m_w.folderList->path();
    m_w.driveList->showDriveOf(target.folder);
    if (!m_w.folderList->setPath(target.folder))
        return false;
    if (same)
        m_w.refreshFileList();
    m_w.pathField->showFolder(m_w.folderList->path());
    const QString notShown = ListedTargets::select(m_w, target.files);
    m_w.countSelectedFiles();
    if (!notShown.isEmpty())
        m_w.dialogs().message(notShown, QStringLiteral(" File not listed"), MessageButtons::Ok,
                              MessageIcon::Information);
    return true;
}

void MainNavigation::dragEnter(QDragEnterEvent *event)
{
    if (isIdle() && !localPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainNavigation::drop(QDropEvent *event)
{
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty() || !isIdle())
        return;
    event->acceptProposedAction();
    open(paths);
}

void MainNavigation::handOver(const QString &folder)
{
    if (m_w.isMinimized())
        m_w.showNormal();
    m_w.show();
    m_w.raise();
    m_w.activateWindow();
    if (!folder.isEmpty())
        open({folder});
}
