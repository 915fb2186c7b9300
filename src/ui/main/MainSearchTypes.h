#pragma once

#include <functional>

class LargeSearchDialog;
class MainForm;
class QString;
class QWidget;

/// Switching between the normal and fuzzy search types: the option buttons,
/// their pictures in the search-type bar, the fuzzy panel over the normal find
/// boxes, and the large search dialog, which follows the type.
class MainSearchTypes {
public:
    /// What switching needs beyond the controls.
    struct Actions {
        /// The large search dialog, created on first use.
        std::function<LargeSearchDialog *()> largeSearch;
        /// Focus to the window's resting place.
        std::function<void()> parkFocus;
        /// The viewer's boxes show the active type's histories.
        std::function<void()> mirrorHistories;
    };

    /// window owns the controls of form.
    MainSearchTypes(MainForm &form, QWidget *window, Actions actions);

    /// The search-type bar's pictures follow the option buttons.
    void updateIcons();
    void normalChosen();
    void fuzzyChosen();
    /// A tool of the search-type bar: "normal", "fuzzy" or "large".
    void runTool(const QString &key);
    /// Opens the large search dialog; fill first copies the active type's texts into it.
    void showLargeSearch(bool fill);
    /// The fuzzy panel covers the normal find boxes exactly.
    void placeFuzzyPanel();

private:
    /// The large search dialog when it was created already, hidden.
    LargeSearchDialog *hideLargeSearch() const;

    MainForm &m_form;
    QWidget *m_window;
    Actions m_actions;
};
