#include "MainInputFilter.h"

#include "FileSelection.h"
#include "MainForm.h"
#include "MainShortcuts.h"
#include "engine/RunState.h"
#include "ui/FileList.h"
#include "ui/FolderList.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidgetItem>
#include <QMenu>
#include <QMouseEvent>

MainInputFilter::MainInputFilter(QObject *parent, const MainForm &form, const RunState &state,
                                 MainShortcuts &shortcuts, FileSelection &files,
                                 std::function<void()> placeFuzzyPanel)
    : QObject(parent),
      m_form(form),
      m_state(state),
      m_shortcuts(shortcuts),
      m_files(files),
      m_placeFuzzyPanel(std::move(placeFuzzyPanel))
{
}

bool MainInputFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return m_shortcuts.keyEvent(watched, static_cast<QKeyEvent *>(event));
    case QEvent::Resize:
        if (watched == m_form.findBoxesFrame)
            m_placeFuzzyPanel();
        return false;
    case QEvent::MouseMove:
        pointerMoved(watched);
        return false;
    case QEvent::MouseButtonPress:
        return buttonPressed(watched, static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        return buttonReleased(watched, static_cast<QMouseEvent *>(event));
    default:
        return false;
    }
}

void MainInputFilter::pointerMoved(QObject *watched)
{
    // The lists are locked during a run; their hints must not cover its progress.
    if (m_state.runInProgress)
        return;
    if (watched == m_form.fileList->viewport())
        m_files.fileListHovered();
    else if (watched == m_form.folderList->viewport())
        m_files.folderListHovered();
}

// Locked controls still pass their pointer events through this filter: a run
// reads the file selection as it goes, so they must not act on them.
bool MainInputFilter::buttonPressed(QObject *watched, const QMouseEvent *event)
{
    if (watched != m_form.fileList->viewport() || !m_form.fileList->isEnabled())
        return false;
    const bool menu = event->button() == Qt::RightButton;
    if (menu)
        selectUnderPointer(event->position().toPoint());
    m_files.updateFileOptions();
    if (!menu)
        return false;
    m_form.fileMenu->popup(event->globalPosition().toPoint());
    return true;
}

void MainInputFilter::selectUnderPointer(QPoint position)
{
    // As file managers do: the menu is for the file under the pointer, or for
    // the selection it belongs to.
    QListWidgetItem *item = m_form.fileList->itemAt(position);
    if (!item || item->isSelected())
        return;
    m_form.fileList->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    m_files.countSelected();
}

bool MainInputFilter::buttonReleased(QObject *watched, const QMouseEvent *event)
{
    if (watched == m_form.fuzzyReplaceLabel) {
        if (m_form.fuzzyReplaceLabel->isEnabled())
            m_files.selectNone();
        return false;
    }
    if (watched != m_form.folderList->viewport() || !m_form.folderList->isEnabled() ||
        event->button() != Qt::RightButton)
        return false;
    m_form.folderMenu->popup(event->globalPosition().toPoint());
    return true;
}
