#pragma once

#include "ui/PressedModifiers.h"

#include <QObject>

class QListWidget;
class QMenu;
class ViewerWindow;

/// The viewer's keys, seen before the focused control: Esc stops a find next
/// and hides the window, Ctrl with a letter runs a command when the letter is
/// released. A right click on the list opens its menu without moving the selection.
class ViewerKeyFilter : public QObject {
    Q_OBJECT

public:
    ViewerKeyFilter(ViewerWindow &window, QListWidget *list, QMenu *listMenu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isOurs(QObject *watched) const;
    bool keyPressed(QKeyEvent *key);
    bool keyReleased(QKeyEvent *key);

    ViewerWindow &m_window;
    QListWidget *m_list;
    QMenu *m_listMenu;
    PressedModifiers m_pressedModifiers;
};
