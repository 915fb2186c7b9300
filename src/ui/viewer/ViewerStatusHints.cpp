#include "ViewerStatusHints.h"

#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

ViewerStatusHints::ViewerStatusHints(QWidget *window, QToolBar *moveBar, QMenuBar *menuBar,
                                     QWidget *findButton, QWidget *replaceButton,
                                     SetStatus setStatus)
    : QObject(window),
      m_window(window),
      m_moveBar(moveBar),
      m_menuBar(menuBar),
      m_findButton(findButton),
      m_replaceButton(replaceButton),
      m_setStatus(std::move(setStatus))
{
}

bool ViewerStatusHints::eventFilter(QObject *watched, QEvent *event)
{
    auto widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    if (event->type() == QEvent::Enter) {
        if (widget->parent() == m_moveBar) {
            const QString hint2 = widget->property("hint2").toString();
            const QString hint1 = widget->property("hint1").toString();
            if (!hint2.isEmpty())
                m_setStatus(2, hint2);
            if (!hint1.isEmpty())
                m_setStatus(1, hint1);
        } else if (widget == m_findButton) {
            m_setStatus(2, QStringLiteral(" Click here to enter a large search character, like a "
                                          "whole paragraph."));
        } else if (widget == m_replaceButton) {
            m_setStatus(2, QStringLiteral(" Click here to enter a large replacement character, "
                                          "like a whole paragraph."));
        } else if (widget->window() == m_window && widget != m_menuBar &&
                   !qobject_cast<QMenu *>(widget)) {
            m_setStatus(2, QString());
        }
    } else if (event->type() == QEvent::Leave) {
        if (widget->parent() == m_moveBar) {
            m_setStatus(2, QString());
            m_setStatus(1, QStringLiteral("Scrivlane"));
        } else if (widget == m_menuBar || qobject_cast<QMenu *>(widget) || widget == m_findButton ||
                   widget == m_replaceButton) {
            // Back on the backdrop no Enter arrives, yet the hint must go.
            m_setStatus(2, QString());
        }
    }
    return false;
}
