#pragma once

#include "ui/PressedModifiers.h"

#include <QList>
#include <Qt>

#include <functional>

class MainForm;
class QComboBox;
class QKeyEvent;
class QObject;
class QWidget;
struct RunState;

/// The main window's keyboard: F2, Alt+L and the Ctrl shortcuts, which act when
/// the key is released; Ctrl+V and Ctrl+Z left to the text fields, Ctrl+A to
/// them too unless the file list has the focus; Enter in a find box runs Find,
/// Esc stops a run under way, Ctrl+L goes to the path field.
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
        Preview,
        Undo,
        ViewSelected,
        Exit,
        Stop,
        GoToPath
    };

    /// Ctrl+A selects the files only while `fileList` has the focus. `textFields`
    /// keep Ctrl+V and Ctrl+Z for editing; Enter in one of `findFields` runs Find.
    MainShortcuts(QWidget *window, RunState &state, QWidget *fileList,
                  QList<QComboBox *> textFields, QList<QComboBox *> findFields,
                  std::function<void(Command)> run);

    /// Each tool's tip names its key, as the status bar does while the pointer rests on it.
    static void showInTips(const MainForm &form);

    /// A key press or release anywhere; true when it was used up here.
    bool keyEvent(QObject *watched, QKeyEvent *event);

private:
    bool keyDown(QKeyEvent *event);
    bool keyUp(QKeyEvent *event);
    bool isEditingText() const;
    bool hasFocus(const QList<QComboBox *> &fields) const;
    QWidget *focus() const;

    QWidget *m_window;
    RunState &m_state;
    QWidget *m_fileList;
    QList<QComboBox *> m_textFields;
    QList<QComboBox *> m_findFields;
    std::function<void(Command)> m_run;
    PressedModifiers m_pressed;
};
