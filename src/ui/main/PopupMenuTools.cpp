#include "PopupMenuTools.h"

#include "MainWindow.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"

#include "engine/FileOperations.h"
#include "engine/FolderRemoval.h"
#include "engine/RunSupport.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"
#include "ui/dialogs/FilePropertiesDialog.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScopeGuard>
#include <QUrl>

namespace {
const QString Idle = QStringLiteral("Scrivlane");
const QString CR = QStringLiteral("\r");
}  // namespace

// Each tool's hint, its status panel 1 text and what it does.
struct PopupMenuTools::Tool {
    const char *key, *text, *panel1;
    void (PopupMenuTools::*run)();
};

const PopupMenuTools::Tool *PopupMenuTools::toolFor(const QString &key)
{
    static const Tool Tools[] = {
        {"properties",
         " This will bring up a form that shows information about the currently selected file.",
         "Scrivlane", &PopupMenuTools::showProperties},
        {"viewSource", " This will load all selected files into the File Viewer.", " CTRL + V",
         &PopupMenuTools::viewSource},
        {"find", " This will begin a search through all selected files.", " CTRL + F",
         &PopupMenuTools::find},
        {"open", " This will open the selected file with the default program.", "Scrivlane",
         &PopupMenuTools::openFile},
        {"rename", " This will allow you to rename the currently selected file.", "Scrivlane",
         &PopupMenuTools::renameFile},
        {"deleteFile", " This will delete the currently selected file, not send it to the trash.",
         "Scrivlane", &PopupMenuTools::deleteFile},
        {"copyPath", " This will copy the path of the selected file to the clipboard.", "Scrivlane",
         &PopupMenuTools::copyPath},
        {"newFolder", " This will allow you to create a new folder.", "Scrivlane",
         &PopupMenuTools::newFolder},
        {"openFolder", " This will open the currently selected folder in the file manager.",
         "Scrivlane", &PopupMenuTools::openFolder},
        {"renameFolder", " This will allow you to rename the currently selected folder.",
         "Scrivlane", &PopupMenuTools::renameFolder},
        {"deleteFolder", " This will allow you to delete the currently selected folder.",
         "Scrivlane", &PopupMenuTools::deleteFolder},
    };
    for (const Tool &tool : Tools) {
        if (key == QLatin1String(tool.key))
            return &tool;
    }
    return nullptr;
}

PopupMenuTools::PopupMenuTools(MainWindow &window) : QObject(&window), m_w(window)
{
    connectMenu(m_w.fileMenu);
    connectMenu(m_w.folderMenu);
}

void PopupMenuTools::connectMenu(QMenu *menu)
{
    for (QAction *action : menu->actions()) {
        const QString key = action->objectName();
        connect(action, &QAction::triggered, this, [this, key] { runTool(key); });
        connect(action, &QAction::hovered, this, [this, key] { showHint(key); });
    }
    // Leaving the tools empties the hint; a tool's click writes its own text afterwards.
    connect(menu, &QMenu::aboutToHide, this, [this] { m_w.setStatusText(2, QString()); });
}

void PopupMenuTools::showHint(const QString &key)
{
    if (const Tool *tool = toolFor(key)) {
        m_w.setStatusText(2, QString::fromLatin1(tool->text));
        m_w.setStatusText(1, QString::fromLatin1(tool->panel1));
    }
}

void PopupMenuTools::runTool(const QString &key)
{
    if (const Tool *tool = toolFor(key))
        (this->*tool->run)();
}

void PopupMenuTools::find()
{
    m_w.runBarTool(QStringLiteral("find"));
}

QString PopupMenuTools::currentFile() const
{
    const QListWidgetItem *item = m_w.fileList->currentItem();
    return item ? item->text() : QString();
}

bool PopupMenuTools::isCurrentFileSelected() const
{
    const QListWidgetItem *item = m_w.fileList->currentItem();
    return item && item->isSelected();
}

void PopupMenuTools::reportFailure(const QString &message, const QString &step,
                                   const QString &description)
{
    ErrorLog::reportFailure(m_w.dialogs(), message, QStringLiteral("Error"),
                            LogSource::mainPopup(step), description);
}

void PopupMenuTools::showProperties()
{
    m_w.updateSelectedPath();
    const QString name = currentFile();
    m_w.setStatusText(2, QStringLiteral(" Currently viewing the file properties of ") + name);
    if (name.isEmpty())
        return;
    auto *dialog = new FilePropertiesDialog(m_w.folderList->path(), name, m_w.focusPark, &m_w);
    dialog->open();
}

void PopupMenuTools::viewSource()
{
    ViewerWindow &viewer = *m_w.viewer();
    // Loading replaces the shown document: its unsaved typing is offered first.
    if (!viewer.offerSaveModified())
        return;
    m_w.mirrorHistoriesToViewer();
    RunContext &ctx = m_w.context();
    ctx.state.stopRequested = false;
    const QString first = m_w.files().listSelectedInViewer();
    if (first.isEmpty())
        return;
    try {
        RunSupport::loadIntoViewer(ctx, first);
    } catch (const Failure &failure) {
        ErrorLog::reportFailure(
            m_w.dialogs(), QStringLiteral("There was an error while attempting to view the file."),
            QStringLiteral("Error"), LogSource::viewSource, failure.description());
    }
    viewer.setCaption(QStringLiteral("Viewing document: ") + first);
    viewer.setSkipNextReaction(true);
    viewer.selectListItem(0);
    viewer.setPosLabel(QStringLiteral("Not found"));
    viewer.setIndexLabel(QStringLiteral("1"));
    viewer.setCountLabel(QString::number(viewer.listCount()));
    m_w.setStatusText(1, Idle);
    viewer.showViewer();
    viewer.focusList();
}

void PopupMenuTools::openFile()
{
    m_w.updateSelectedPath();
    if (!isCurrentFileSelected())
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_w.context().state.currentPath + currentFile()));
}

void PopupMenuTools::copyPath()
{
    const QString name = currentFile();
    if (name.isEmpty())
        return;
    const QString path = Paths::withTrailingSeparator(m_w.folderList->path()) + name;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(path);
    if (clipboard->text() != path)
        reportFailure(QStringLiteral("There was an error while attempting to copy the path."),
                      QStringLiteral("CopyPath"),
                      QStringLiteral("The clipboard did not take the text."));
}

void PopupMenuTools::renameFile()
{
    m_w.updateSelectedPath();
    const QString name = currentFile();
    if (name.isEmpty())
        return;
    const QString message =
        QStringLiteral("There was an error while attempting to rename the file.");
    const std::optional<QString> answer = m_w.dialogs().inputText(
        QStringLiteral("Enter the new name for ") + CR + name, QStringLiteral("Rename file"), name);
    if (!answer || answer->isEmpty() || *answer == name)
        return;
    if (!answer->contains(u'.')) {
        m_w.dialogs().message(message, QStringLiteral("Error"), MessageButtons::Ok,
                              MessageIcon::Error);
        return;
    }
    try {
        FileOperations::renameFile(m_w.folderList->path(), name, *answer);
    } catch (const Failure &failure) {
        reportFailure(message, QStringLiteral("RenameFile"), failure.description());
    }
    m_w.update();
    m_w.refreshFileList();
}

void PopupMenuTools::deleteFile()
{
    m_w.updateSelectedPath();
    if (!isCurrentFileSelected())
        return;
    const QString path = m_w.context().state.currentPath + currentFile();
    if (!FileOperations::confirmFileDeletion(m_w.dialogs(), path))
        return;
    // A read-only file goes as well: deleting needs only the folder's permission.
    try {
        FileOperations::deleteFile(path);
    } catch (const Failure &failure) {
        reportFailure(QStringLiteral("There was an error while attempting to delete the file."),
                      QStringLiteral("DelFile"), failure.description());
    }
    m_w.refreshFileList();
}

void PopupMenuTools::newFolder()
{
    m_w.updateSelectedPath();
    const std::optional<QString> answer =
        m_w.dialogs().inputText(QStringLiteral("Enter name of folder to create."),
                                QStringLiteral("Create new directory"), QString());
    if (!answer || answer->isEmpty())
        return;
    try {
        FileOperations::createFolder(m_w.folderList->path(), *answer);
    } catch (const Failure &failure) {
        reportFailure(
            ErrorLog::exactErrorMessage(
                QStringLiteral("There was an error while attempting to create the folder."),
                failure.description()),
            QStringLiteral("NewFolder"), failure.description());
        return;
    }
    m_w.folderList->refresh();
}

void PopupMenuTools::openFolder()
{
    const QString folder = m_w.folderList->path();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        m_w.dialogs().message(
            QStringLiteral("There was an error while attempting to open the folder."),
            QStringLiteral("Error"), MessageButtons::Ok, MessageIcon::Error);
}

void PopupMenuTools::renameFolder()
{
    m_w.updateSelectedPath();
    const QString path = m_w.folderList->highlightedPath();
    if (Paths::isProtectedFolder(path))
        return;
    const std::optional<QString> answer =
        m_w.dialogs().inputText(QStringLiteral("Enter the new name for ") + CR + path,
                                QStringLiteral("Rename directory"), QString());
    if (!answer || answer->isEmpty())
        return;
    // The highlighted folder is renamed in its own parent, whichever folder is open.
    try {
        FileOperations::renameFolder(path, *answer);
    } catch (const Failure &failure) {
        reportFailure(QStringLiteral("There was an error while attempting to rename the folder."),
                      QStringLiteral("RenameFolder"), failure.description());
        return;
    }
    rereadFolders(path);
}

void PopupMenuTools::deleteFolder()
{
    const QString path = m_w.folderList->highlightedPath();
    if (Paths::isProtectedFolder(path))
        return;
    const MessageAnswer answer = m_w.dialogs().message(
        QStringLiteral("Are you sure you want to remove ") + path + QStringLiteral(" ?") + CR +
            QStringLiteral(
                "This folder will be permanently deleted, not sent to the trash.  Continue?"),
        QStringLiteral(" Remove directory"), MessageButtons::YesNo, MessageIcon::Question,
        MessageAnswer::No);
    if (answer != MessageAnswer::Yes)
        return;
    // The removal yields between entries: the lists stay locked so that no
    // second operation starts inside it.
    m_w.folderList->setEnabled(false);
    m_w.fileList->setEnabled(false);
    const auto unlock = qScopeGuard([this] {
        m_w.folderList->setEnabled(true);
        m_w.fileList->setEnabled(true);
    });
    try {
        FolderRemoval::removeTree(m_w, *m_w.context().events, path);
    } catch (const Failure &failure) {
        reportFailure(QStringLiteral("There was an error while attempting to delete the folder."),
                      QStringLiteral("DelFolder"), failure.description());
    }
    rereadFolders(path);
}

void PopupMenuTools::rereadFolders(const QString &changedFolder)
{
    // When the open folder was the one changed (or lay inside it), the list
    // moves up to the changed folder's parent; otherwise it re-reads in place.
    const QString open = m_w.folderList->path();
    if (Paths::isSameOrInside(open, changedFolder) && !FileSystem::isFolder(open)) {
        const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(changedFolder));
        m_w.folderList->setPath(QDir::toNativeSeparators(QFileInfo(clean).path()));
        return;
    }
    m_w.folderList->refresh();
    m_w.refreshFileList();
}
