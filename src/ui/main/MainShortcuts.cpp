#include "MainShortcuts.h"

#include "engine/RunState.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <utility>

MainShortcuts::MainShortcuts(QWidget *window, RunState &state, QList<QAbstractScrollArea *> lists,
                             QWidget *park, QList<QComboBox *> textFields,
                             std::function<void(Command)> run)
    : m_window(window),
      m_state(state),
      m_lists(std::move(lists)),
      m_park(park),
      m_textFields(std::move(textFields)),
      m_run(std::move(run))
{
}

bool MainShortcuts::keyEvent(QObject *watched, QKeyEvent *event)
{
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    return event->type() == QEvent::KeyPress ? keyDown(watched, event) : keyUp(event);
}

bool MainShortcuts::isInTextField() const
{
    const QWidget *focus = QApplication::focusWidget();
    if (!focus)
        focus = m_window->focusWidget();
    for (const QComboBox *box : m_textFields) {
        if (focus && (focus == box || focus == box->lineEdit()))
            return true;
    }
    return false;
}

bool MainShortcuts::keyDown(QObject *watched, QKeyEvent *event)
{
    m_pressed.keyPressed(event);
    const QWidget *focus = QApplication::focusWidget();
    bool inLists = false;
    for (const QAbstractScrollArea *list : std::as_const(m_lists)) {
        if (watched == list || watched == list->viewport() || (focus && focus == list))
            inLists = true;
    }
    const bool about = event->key() == Qt::Key_F2;
    if (about)
        m_run(Command::About);
    // The lists are driven with the pointer only, whatever the key.
    if (inLists)
        m_park->setFocus();
    return about || inLists;
}

bool MainShortcuts::keyUp(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return false;
    // A key released during a run must not cancel a Stop click.
    if (!m_state.RunInProgress)
        m_state.StopRequested = false;
    const Qt::KeyboardModifiers mods = m_pressed.keyReleased(event);
    const bool idle = !m_state.RunInProgress;
    if (mods == Qt::AltModifier && event->key() == Qt::Key_L) {
        if (idle)
            m_run(Command::LargeSearch);
        return true;
    }
    if (mods != Qt::ControlModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_A:
        if (idle)
            m_run(Command::SelectAll);
        return true;
    case Qt::Key_F:
        m_run(Command::Find);
        return true;
    case Qt::Key_N:
        if (idle)
            m_run(Command::SelectNone);
        return true;
    case Qt::Key_R:
        m_run(Command::Replace);
        return true;
    case Qt::Key_Q:
        m_run(Command::Exit);
        return true;
    case Qt::Key_V:
        if (isInTextField())
            return false;
        if (idle)
            m_run(Command::ViewSelected);
        return true;
    case Qt::Key_Z:
        if (isInTextField())
            return false;
        m_run(Command::Undo);
        return true;
    default:
        return false;
    }
}
