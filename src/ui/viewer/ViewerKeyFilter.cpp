#include "ViewerKeyFilter.h"

#include "ViewerWindow.h"

#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

ViewerKeyFilter::ViewerKeyFilter(ViewerWindow &window, QListWidget *list, QMenu *listMenu)
    : QObject(&window), m_window(window), m_list(list), m_listMenu(listMenu)
{
}

bool ViewerKeyFilter::isOurs(QObject *watched) const
{
    auto widget = qobject_cast<QWidget *>(watched);
    return widget && widget->window() == &m_window;
}

bool ViewerKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return isOurs(watched) && keyPressed(static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        return isOurs(watched) && keyReleased(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress:
        if (watched == m_list->viewport() &&
            static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            if (m_list->count() > 0)
                m_listMenu->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool ViewerKeyFilter::keyPressed(QKeyEvent *key)
{
    m_pressedModifiers.keyPressed(key);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier)
        return false;
    m_window.stopAndHide();
    return true;
}

bool ViewerKeyFilter::keyReleased(QKeyEvent *key)
{
    if (key->isAutoRepeat() || m_pressedModifiers.keyReleased(key) != Qt::ControlModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_D:
        m_window.toggleFileInfo();
        return true;
    case Qt::Key_F:
        m_window.findNext();
        return true;
    case Qt::Key_O:
        m_window.openFile();
        return true;
    case Qt::Key_Q:
        m_window.quitProgram();
        return true;
    case Qt::Key_W:
        m_window.hideViewer();
        return true;
    case Qt::Key_R:
        m_window.replaceCurrent();
        return true;
    case Qt::Key_S:
        m_window.saveCurrent();
        return true;
    default:
        return false;
    }
}
