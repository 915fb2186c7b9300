#include "ViewerFit.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

void ViewerFit::fitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame (title bar, borders) needs room as well.
    const QSize frameExtra = window->frameGeometry().size() - window->geometry().size();
    const QSize room = available.size() - frameExtra;
    const QSize fitted = window->size().boundedTo(room).expandedTo(window->minimumSize());
    if (fitted != window->size())
        window->resize(fitted);
    QRect frame = window->frameGeometry();
    frame.moveRight(qMin(frame.right(), available.right()));
    frame.moveBottom(qMin(frame.bottom(), available.bottom()));
    frame.moveLeft(qMax(frame.left(), available.left()));
    frame.moveTop(qMax(frame.top(), available.top()));
    if (frame.topLeft() != window->frameGeometry().topLeft())
        window->move(frame.topLeft());
}
