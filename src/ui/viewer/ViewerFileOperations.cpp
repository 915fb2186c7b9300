#include "ViewerFileOperations.h"

#include "engine/DocumentBuffer.h"
#include "engine/FileOperations.h"
#include "engine/MainPort.h"
#include "engine/RunContext.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QUrl>

ViewerFileOperations::ViewerFileOperations(RunContext &ctx, const DocumentBuffer &buffer,
                                           QListWidget *list, QLabel *countLabel, Host &host)
    : m_ctx(ctx), m_buffer(buffer), m_list(list), m_countLabel(countLabel), m_host(host)
{
}

void ViewerFileOperations::openFile()
{
    m_ctx.state.stopRequested = false;
    const QListWidgetItem *item = m_list->currentItem();
    if (item)
        QDesktopServices::openUrl(QUrl::fromLocalFile(item->text()));
}

void ViewerFileOperations::copyPath()
{
    if (const QListWidgetItem *item = m_list->currentItem())
        QGuiApplication::clipboard()->setText(item->text());
}

void ViewerFileOperations::renameFile()
{
    m_ctx.state.stopRequested = false;
    QListWidgetItem *item = m_list->currentItem();
    if (!item || item->text().isEmpty())
        return;
    const QString oldPath = item->text();
    const qsizetype cut = qMax(oldPath.lastIndexOf(QDir::separator(), oldPath.size() - 2),
                               oldPath.lastIndexOf(u'/', oldPath.size() - 2));
    const QString folder = oldPath.left(cut + 1);
    const QString oldName = oldPath.mid(cut + 1);
    const std::optional<QString> answer = m_ctx.dialogs->inputText(
        QStringLiteral("Enter the new name for ") + QStringLiteral("\r") + oldName,
        QStringLiteral("Rename file"), oldName);
    if (!answer || answer->isEmpty())
        return;
    if (!answer->contains(u'.'))
        return;
    const QString newPath = folder + *answer;
    if (newPath == oldPath)
        return;
    // The shown document is offered for saving under its old name first.
    if (m_buffer.fileName() == oldPath && !m_host.offerToSaveChanges())
        return;
    try {
        if (Paths::isProtectedFolder(oldPath))
            throw Failure(QStringLiteral("\"%1\" is a protected folder.").arg(oldPath));
        FileOperations::renameFile(folder, oldName, *answer);
    } catch (const std::exception &e) {
        // The entry keeps the old path: the file is still there under that name.
        const auto failure = dynamic_cast<const Failure *>(&e);
        m_host.reportRenameFailure(failure ? failure->description()
                                           : QString::fromLocal8Bit(e.what()));
        return;
    }
    item->setText(newPath);
    m_list->update();
    m_host.showSelectedEntry();
    if (m_ctx.main)
        m_ctx.main->refreshFileList();
}

void ViewerFileOperations::deleteFile()
{
    m_ctx.state.stopRequested = false;
    QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString path = item->text();
    if (!FileOperations::confirmFileDeletion(*m_ctx.dialogs, path))
        return;
    if (Paths::isProtectedFolder(path) || FileSystem::isFolder(path))
        return;
    try {
        FileSystem::clearAttributes(path);
    } catch (const std::exception &) {
        // Deleting needs only the folder's permission; go on.
    }
    try {
        FileOperations::deleteFile(path);
    } catch (const Failure &failure) {
        // The entry stays: the file is still there.
        ErrorLog::logError(LogSource::viewerDeleteFile, failure.description(), m_ctx.dialogs);
        return;
    }
    // The user chose to delete it: nothing left to offer for saving.
    if (m_buffer.fileName() == path)
        m_host.discardChanges();
    delete m_list->takeItem(m_list->row(item));
    m_list->update();
    if (m_list->count() > 0) {
        if (m_list->currentRow() == 0)
            m_host.showSelectedEntry();
        else
            m_list->setCurrentRow(0);
    }
    m_countLabel->setText(QString::number(m_list->count()));
    if (m_ctx.main)
        m_ctx.main->refreshFileList();
}
