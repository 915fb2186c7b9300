#pragma once

#include <QObject>

#include <functional>

class QMenuBar;
class QString;
class QToolBar;
class QWidget;

/// The main window's status texts while the pointer is over the viewer: the
/// move bar's tools (their "hint2" and "hint1" properties) and the two large
/// search buttons show their hints, other controls of the viewer clear panel 2.
class ViewerStatusHints : public QObject {
    Q_OBJECT

public:
    using SetStatus = std::function<void(int panel, const QString &text)>;

    ViewerStatusHints(QWidget *window, QToolBar *moveBar, QMenuBar *menuBar, QWidget *findButton,
                      QWidget *replaceButton, SetStatus setStatus);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QToolBar *m_moveBar;
    QMenuBar *m_menuBar;
    QWidget *m_findButton;
    QWidget *m_replaceButton;
    SetStatus m_setStatus;
};
