#include "FileSelection.h"

#include "MainSettings.h"
#include "MainWindow.h"
#include "PathField.h"

#include "engine/FindRun.h"
#include "platform/Dialogs.h"
#include "platform/Failure.h"
#include "settings/ErrorLog.h"
#include "settings/LogSources.h"
#include "ui/DriveList.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"
#include "ui/dialogs/FilterManagerDialog.h"
#include "ui/viewer/ViewerWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

FileSelection::FileSelection(MainWindow &window, std::function<void()> parkFocus,
                             std::function<void()> storeChosenFilter)
    : m_w(window),
      m_parkFocus(std::move(parkFocus)),
      m_storeChosenFilter(std::move(storeChosenFilter))
{
}

void FileSelection::runTool(const QString &key)
{
    m_parkFocus();
    if (key == u"all") {
        selectAll();
    } else if (key == u"none") {
        selectNone();
        countSelected();
    }
}

void FileSelection::countSelected()
{
    if (m_w.context().state.runInProgress)
        return;
    m_w.fileCountLabel->setText(countCaption(m_w.fileList->selectedCount(), m_w.fileList->count()));
}

void FileSelection::fileListHovered()
{
    for (QLabel *arrow : std::as_const(m_w.optionArrows)) arrow->hide();
    for (QToolButton *indicator :
         {m_w.caseHighlight, m_w.wholeWordHighlight, m_w.subfoldersHighlight, m_w.minimizeHighlight,
          m_w.backupHighlight, m_w.skipIgnoredHighlight, m_w.regexHighlight,
          m_w.includeHiddenHighlight, m_w.keepCaseHighlight})
        indicator->hide();
    m_w.setStatusText(2,
                      QStringLiteral(" Please select files to edit. - Right-click for options."));
    m_w.setStatusText(1, QStringLiteral("Scrivlane"));
    countSelected();
}

void FileSelection::folderListHovered()
{
    m_w.setStatusText(2,
                      QStringLiteral(" Double-click to open a folder. - Right-click for options"));
    m_w.setStatusText(1, QStringLiteral("Scrivlane"));
}

void FileSelection::selectAll()
{
    m_w.fileList->selectAll();
    countSelected();
}

void FileSelection::selectNone()
{
    FileList *files = m_w.fileList;
    files->clearSelection();
    // The first entry is selected and deselected again: the list returns to its top.
    if (files->count() > 0) {
        files->setCurrentRow(0, QItemSelectionModel::Current);
        files->scrollToTop();
    }
    m_w.fileCountLabel->setText(QStringLiteral("0 of ") + QString::number(files->count()));
}

void FileSelection::setFolder(const QString &path)
{
    m_w.driveList->showDriveOf(path);
    m_w.folderList->setPath(path);
}

void FileSelection::driveChosen()
{
    DriveList *drives = m_w.driveList;
    const QString root = drives->drive();
    // Choosing the drive already shown is no change: the folder stays where it is.
    if (!root.isEmpty() && root == drives->driveOf(m_w.folderList->path()))
        return;
    const QFileInfo info(root);
    if (root.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(root).isReadable()) {
        m_w.setStatusText(2, QStringLiteral(" "));
        m_w.dialogs().message(QStringLiteral("That drive is not available."),
                              QStringLiteral("Error reading drive"), MessageButtons::Ok,
                              MessageIcon::Error);
        drives->showDriveOf(m_w.folderList->path());
        return;
    }
    m_w.folderList->setPath(root);
    m_parkFocus();
}

void FileSelection::folderChanged()
{
    const QString path = m_w.folderList->path();
    m_w.pathField->showFolder(path);
    m_w.fileList->setFolder(path);
    countSelected();
    MainSettings::setLastFolder(path);
}

void FileSelection::filterChosen()
{
    QComboBox *filters = m_w.filterBox;
    if (filters->currentIndex() < 0)
        return;
    m_w.fileList->setPattern(filters->itemText(filters->currentIndex()));
    if (!m_w.isLoading())
        m_storeChosenFilter();
    countSelected();
    m_w.update();
    m_parkFocus();
}

void FileSelection::openFilterManager()
{
    // Loaded on first use; it stays loaded while hidden.
    auto *manager = m_w.findChild<FilterManagerDialog *>();
    if (!manager)
        manager = new FilterManagerDialog(
            m_w.filterBox, m_w.dialogs(), [this] { m_w.storeFilterList(); },
            [this](const QString &hint) { m_w.setStatusText(2, hint); }, &m_w);
    manager->open();
}

void FileSelection::updateFileOptions()
{
    const bool selected = m_w.fileList->selectedCount() > 0;
    for (QAction *action : m_w.fileMenu->actions()) action->setEnabled(selected);
    for (QAction *action : m_w.fileMenu->actions()) {
        if (action->objectName() == u"find")
            action->setEnabled(m_w.subfoldersBox->isChecked() || selected);
    }
}

QString FileSelection::listSelectedInViewer()
{
    ViewerWindow &viewer = *m_w.viewer();
    m_w.updateSelectedPath();
    const QString &folder = m_w.context().state.currentPath;
    for (int i = 0; i < m_w.fileList->count(); ++i) {
        if (m_w.fileList->isSelected(i))
            viewer.addToList(folder + m_w.fileList->item(i)->text());
    }
    return viewer.listCount() == 0 ? QString() : viewer.listItem(0);
}

void FileSelection::viewSelected()
{
    ViewerWindow &viewer = *m_w.viewer();
    if (!viewer.offerSaveModified())
        return;
    viewer.clearList();
    const QString first = listSelectedInViewer();
    if (first.isEmpty())
        return;
    viewer.setSkipNextReaction(true);
    try {
        viewer.buffer().load(first);
        viewer.setHoldText(viewer.buffer().text());
    } catch (const Failure &failure) {
        ErrorLog::reportFailure(
            m_w.dialogs(), QStringLiteral("There was an error while attempting to view the file."),
            QStringLiteral("Error"), LogSource::viewSource, failure.description());
        return;
    }
    viewer.setCaption(QStringLiteral("Viewing document:  ") + first);
    viewer.selectListItem(0);
    viewer.setPosLabel(QString::number(m_w.context().state.foundPosition));
    viewer.setCountLabel(QString::number(viewer.listCount()));
    m_w.setStatusText(1, QStringLiteral("Scrivlane"));
    viewer.showViewer();
}
