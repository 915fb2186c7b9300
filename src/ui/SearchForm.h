#pragma once

#include "SearchBoxes.h"

#include <QStringList>

class QWidget;

/// The main window's search form as the viewer and the large search dialog see
/// it: the search type, the history boxes and the two options the viewer shows.
class SearchForm : public SearchBoxes {
public:
    enum class Option { CaseSensitive, WholeWord };

    /// The window of the form: dialogs open over it, the viewer brings it back
    /// to the front or closes it.
    virtual QWidget *formWindow() const = 0;
    virtual bool isFuzzy() const = 0;
    virtual bool isOptionChecked(Option option) const = 0;
    /// Turns option over as a click does, so that the window stores it; its new state.
    virtual bool toggleOption(Option option) = 0;
    /// box's list becomes entries and its text text.
    virtual void refillBox(Box box, const QStringList &entries, const QString &text) = 0;
    /// Moves box's entry at index to the top of its list and makes it the box's text.
    virtual void moveEntryToTop(Box box, int index) = 0;
};
