#include "MainShortcuts.h"

#include "MainForm.h"
#include "PathField.h"
#include "engine/RunState.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <utility>

MainShortcuts::MainShortcuts(QWidget *window, RunState &state, QWidget *fileList,
                             QList<QComboBox *> textFields, QList<QComboBox *> findFields,
                             std::function<void(Command)> run)
    : m_window(window),
      m_state(state),
      m_fileList(fileList),
      m_textFields(std::move(textFields)),
      m_findFields(std::move(findFields)),
      m_run(std::move(run))
{
}

bool MainShortcuts::keyEvent(QObject *watched, QKeyEvent *event)
{
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    return event->type() == QEvent::KeyPress ? keyDown(event) : keyUp(event);
}

QWidget *MainShortcuts::focus() const
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : m_window->focusWidget();
}

bool MainShortcuts::isEditingText() const
{
    // The path field and the filter box edit text as much as the find boxes do.
    QWidget *focus = this->focus();
    const auto *box = qobject_cast<QComboBox *>(focus);
    return hasFocus(m_textFields) || qobject_cast<QLineEdit *>(focus) || (box && box->isEditable());
}

bool MainShortcuts::hasFocus(const QList<QComboBox *> &fields) const
{
    const QWidget *focus = this->focus();
    for (const QComboBox *box : fields) {
        if (focus && (focus == box || focus == box->lineEdit()))
            return true;
    }
    return false;
}

bool MainShortcuts::keyDown(QKeyEvent *event)
{
    m_pressed.keyPressed(event);
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_F2:
        m_run(Command::About);
        return true;
    case Qt::Key_Escape:
        if (!m_state.runInProgress)
            return false;
        m_run(Command::Stop);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods != Qt::NoModifier || m_state.runInProgress || !hasFocus(m_findFields))
            return false;
        m_run(Command::Find);
        return true;
    default:
        return false;
    }
}

bool MainShortcuts::keyUp(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return false;
    // A key released during a run must not cancel a Stop click.
    if (!m_state.runInProgress)
        m_state.stopRequested = false;
    const Qt::KeyboardModifiers mods = m_pressed.keyReleased(event);
    const bool idle = !m_state.runInProgress;
    if (mods == Qt::AltModifier && event->key() == Qt::Key_L) {
        if (idle)
            m_run(Command::LargeSearch);
        return true;
    }
    if (mods != Qt::ControlModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_A:
        // Anywhere else Ctrl+A selects text: it must never widen the next Replace.
        if (focus() != m_fileList)
            return false;
        if (idle)
            m_run(Command::SelectAll);
        return true;
    case Qt::Key_F:
        m_run(Command::Find);
        return true;
    case Qt::Key_L:
        if (idle)
            m_run(Command::GoToPath);
        return true;
    case Qt::Key_N:
        if (idle)
            m_run(Command::SelectNone);
        return true;
    // Unlike Ctrl+F these are no Stop: a run under way ends only by Esc or
    // its own tool, never half-way by a key meant to start another.
    case Qt::Key_R:
        if (idle)
            m_run(Command::Replace);
        return true;
    case Qt::Key_P:
        if (idle)
            m_run(Command::Preview);
        return true;
    case Qt::Key_Q:
        m_run(Command::Exit);
        return true;
    case Qt::Key_V:
        if (isEditingText())
            return false;
        if (idle)
            m_run(Command::ViewSelected);
        return true;
    case Qt::Key_Z:
        if (isEditingText())
            return false;
        if (idle)
            m_run(Command::Undo);
        return true;
    default:
        return false;
    }
}

void MainShortcuts::showInTips(const MainForm &form)
{
    const QList<QPair<QAction *, QString>> keys = {
        {form.tool(QStringLiteral("runBar"), QStringLiteral("find")), QStringLiteral("Ctrl+F")},
        {form.tool(QStringLiteral("runBar"), QStringLiteral("replace")), QStringLiteral("Ctrl+R")},
        {form.tool(QStringLiteral("runBar"), QStringLiteral("preview")), QStringLiteral("Ctrl+P")},
        {form.tool(QStringLiteral("runBar"), QStringLiteral("undo")), QStringLiteral("Ctrl+Z")},
        {form.tool(QStringLiteral("searchTypeBar"), QStringLiteral("normal")),
         QStringLiteral("Alt+N")},
        {form.tool(QStringLiteral("searchTypeBar"), QStringLiteral("fuzzy")),
         QStringLiteral("Alt+F")},
        {form.tool(QStringLiteral("searchTypeBar"), QStringLiteral("large")),
         QStringLiteral("Alt+L")},
        {form.tool(QStringLiteral("fileSelectionBar"), QStringLiteral("all")),
         QStringLiteral("Ctrl+A in the file list")},
        {form.tool(QStringLiteral("fileSelectionBar"), QStringLiteral("none")),
         QStringLiteral("Ctrl+N")},
        {form.tool(QStringLiteral("helpBar"), QStringLiteral("about")), QStringLiteral("F2")},
        {form.tool(QStringLiteral("helpBar"), QStringLiteral("readme")), QStringLiteral("F1")},
        {form.tool(QStringLiteral("helpBar"), QStringLiteral("exit")), QStringLiteral("Ctrl+Q")},
    };
    for (const auto &[action, key] : keys) {
        const QString tip = action->toolTip().isEmpty() ? action->iconText() : action->toolTip();
        action->setToolTip(tip + QStringLiteral(" (") + key + u')');
    }
    form.pathField->setToolTip(QStringLiteral("Type or paste a folder and press Enter (Ctrl+L)"));
    form.filterBox->setToolTip(
        QStringLiteral("Choose a filter, or type patterns such as *.txt;*.md "
                       "and press Enter"));
}
