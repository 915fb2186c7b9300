#pragma once

#include <QString>

#include <optional>

class QComboBox;
class QWidget;
struct RunContext;

/// The main window's controls the viewer reads and changes, found by their
/// object names: the viewer knows the main window only as a widget.
class ViewerMainControls {
public:
    ViewerMainControls(QWidget *mainWindow, const RunContext &ctx);

    QWidget *window() const { return m_window; }
    QComboBox *combo(const char *name) const;
    /// The text of combo box name; empty when there is none.
    QString text(const char *name) const;
    /// Whether option box name is checked; false when there is none.
    bool isChecked(const char *name) const;
    /// Turns option box name over by a click, so that the main window stores it;
    /// its new state, or nothing when there is no such box.
    std::optional<bool> toggle(const char *name);
    /// The main window's search type is fuzzy (the viewer follows it).
    bool isFuzzy() const;

private:
    QWidget *m_window;
    const RunContext &m_ctx;
};
