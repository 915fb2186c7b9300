#pragma once

#include "ui/PressedModifiers.h"

#include <QList>
#include <Qt>

#include <functional>

class QAbstractScrollArea;
class QComboBox;
class QKeyEvent;
class QObject;
class QWidget;
struct RunState;

/// The main window's keyboard: F2, Alt+L and the Ctrl shortcuts, which act when
/// the key is released; Ctrl+V and Ctrl+Z left to the text fields; and the file
/// and folder lists, which take no keys at all.
class MainShortcuts {
public:
    /// What a shortcut asks the window to do.
    enum class Command {
        About,
        LargeSearch,
        SelectAll,
        SelectNone,
        Find,
        Replace,
        Undo,
        ViewSelected,
        Exit
    };

    /// `lists` are driven with the pointer only; a key there moves focus to
    /// `park`. `textFields` keep Ctrl+V and Ctrl+Z for editing.
    MainShortcuts(QWidget *window, RunState &state, QList<QAbstractScrollArea *> lists,
                  QWidget *park, QList<QComboBox *> textFields, std::function<void(Command)> run);

    /// A key press or release anywhere; true when it was used up here.
    bool keyEvent(QObject *watched, QKeyEvent *event);

private:
    bool keyDown(QObject *watched, QKeyEvent *event);
    bool keyUp(QKeyEvent *event);
    bool isInTextField() const;

    QWidget *m_window;
    RunState &m_state;
    QList<QAbstractScrollArea *> m_lists;
    QWidget *m_park;
    QList<QComboBox *> m_textFields;
    std::function<void(Command)> m_run;
    PressedModifiers m_pressed;
};
