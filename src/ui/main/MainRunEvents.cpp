#include "MainRunEvents.h"

#include "MainWindow.h"
#include "ui/viewer/ViewerWindow.h"

#include <QDir>

namespace {
const QString kIdle = QStringLiteral("Scrivlane");
}

void MainRunEvents::idle()
{
    m_window.setStatusText(1, kIdle);
}

void MainRunEvents::requestRefused()
{
    m_window.setStatusText(2, QString());
    m_window.setStatusText(1, kIdle);
}

void MainRunEvents::findEnded()
{
    m_window.setToolCaption(QStringLiteral("find"), QStringLiteral("Find"));
}

void MainRunEvents::fileSearched(const QString &path)
{
    m_window.setStatusText(2, QStringLiteral(" Searching through document: "), path);
}

void MainRunEvents::listedFileSearched(const QString &text, int number)
{
    m_window.setStatusText(2, QStringLiteral(" Searching for ") + text.left(20) +
                                  QStringLiteral("... in document: ") + QString::number(number));
}

void MainRunEvents::filesFound(int count)
{
    m_window.setStatusText(
        1, [count] { return QStringLiteral("Number of files: ") + QString::number(count); });
}

void MainRunEvents::replacementsMade(int total)
{
    m_window.setStatusText(
        1, [total] { return QStringLiteral("Replacements: ") + QString::number(total); });
}

void MainRunEvents::backupFolderMade(const QString &folder)
{
    m_window.setStatusText(2, QStringLiteral(" Creating folders: "), folder);
}

void MainRunEvents::replaceStarted(const QString &startTime)
{
    m_window.setTimeStart(startTime);
}

void MainRunEvents::restoreStarted()
{
    m_window.setStatusText(1, QStringLiteral("Restoring..."));
}

void MainRunEvents::deletingFile(const QString &path)
{
    m_window.setStatusText(2, QStringLiteral(" Deleting files: ") + path);
}

void MainRunEvents::folderDeleted(const QString &path)
{
    m_window.setStatusText(2, QStringLiteral(" Deleting folders: ") + path + QDir::separator());
}

void MainRunEvents::showListCleared()
{
    m_window.viewer()->clearList();
}

void MainRunEvents::showListed(const QString &path)
{
    m_window.viewer()->addToList(path);
}

void MainRunEvents::showUnlisted(const QStringList &paths)
{
    ViewerWindow &viewer = *m_window.viewer();
    QStringList unlisted = paths;
    QStringList keep;
    for (int k = viewer.listCount() - 1; k >= 0; --k) {
        const QString item = viewer.listItem(k);
        if (!unlisted.removeOne(item))
            keep.prepend(item);
    }
    viewer.clearList();
    for (const QString &path : std::as_const(keep)) viewer.addToList(path);
}

void MainRunEvents::matchShown(qint32 position)
{
    ViewerWindow &viewer = *m_window.viewer();
    viewer.setCountLabel(viewer.listCount());
    viewer.setPosLabel(position);
}

void MainRunEvents::documentLoaded()
{
    ViewerWindow &viewer = *m_window.viewer();
    viewer.setHoldText(viewer.buffer().text());
}

void MainRunEvents::documentShown(const QString &path, int index)
{
    ViewerWindow &viewer = *m_window.viewer();
    if (index > 0)
        viewer.setIndexLabel(QString::number(index));
    viewer.setCaption(QStringLiteral("Viewing document: ") + path);
}

void MainRunEvents::positionShown(qint32 position, qint64 length)
{
    m_window.viewer()->positionShown(position, length);
}

void MainRunEvents::searchStartMoved(qint32 start)
{
    m_window.viewer()->searchStartMoved(start);
}

void MainRunEvents::searchOfferedToViewer(const QString &text)
{
    m_window.viewer()->setFindText(text);
}

void MainRunEvents::viewerSearchReset()
{
    ViewerWindow &viewer = *m_window.viewer();
    viewer.setFindText(QString());
    viewer.setReplaceText(QString());
}

void MainRunEvents::termsShown(const QString &find, const QString &replace)
{
    m_window.setFindAndReplaceText(find, replace);
}
