#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class FileSelection;
class QMouseEvent;
class MainForm;
class MainShortcuts;
struct RunState;

/// The main window's keys and pointer, seen before the focused control: the
/// shortcuts, the lists' hints and context menus, a click on the fuzzy
/// replacement's label, and the fuzzy panel kept over the normal find boxes.
class MainInputFilter : public QObject {
    Q_OBJECT

public:
    MainInputFilter(QObject *parent, const MainForm &form, const RunState &state,
                    MainShortcuts &shortcuts, FileSelection &files,
                    std::function<void()> placeFuzzyPanel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pointerMoved(QObject *watched);
    bool buttonPressed(QObject *watched, const QMouseEvent *event);
    /// A right click on a file outside the selection selects that file alone.
    void selectUnderPointer(QPoint position);
    bool buttonReleased(QObject *watched, const QMouseEvent *event);

    const MainForm &m_form;
    const RunState &m_state;
    MainShortcuts &m_shortcuts;
    FileSelection &m_files;
    std::function<void()> m_placeFuzzyPanel;
};
