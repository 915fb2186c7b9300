#pragma once

#include "ui/SearchForm.h"

class QComboBox;

/// The viewer's three history boxes (viewerFindBox, viewerSecondPartBox, viewerReplaceBox): the
/// save steps find next runs before it searches and the picks from their drop-down lists, with the
/// main window's boxes kept in step. The list rules are the main window's (HistoryList); only the
/// replacement step keeps a known text in place.
class ViewerHistory {
public:
    /// main may be null: then only the viewer's boxes change.
    ViewerHistory(QComboBox *find, QComboBox *find2, QComboBox *replace, SearchForm *main);

    /// saveFindHistoryHere: the find side of the given mode.
    void saveSearch(bool fuzzy);
    /// saveReplaceHistoryHere: the replacement list of the given mode.
    void saveReplace(bool fuzzy);

    /// A pick at index from the drop-down list of viewerFindBox, viewerSecondPartBox or
    /// viewerReplaceBox.
    void pickFind(int index, bool fuzzy);
    void pickFind2(int index, bool fuzzy);
    void pickReplace(int index, bool fuzzy);

private:
    void pick(QComboBox *box, int index, SearchBoxes::Box mainBox, const char *key,
              const char *valueName);
    /// The main window's box refilled from source, one of ours.
    void refillMain(SearchBoxes::Box box, const QComboBox *source) const;
    /// The main window's normal find and replacement lists refilled from ours.
    void refillMainNormal();

    QComboBox *m_find;
    QComboBox *m_find2;
    QComboBox *m_replace;
    SearchForm *m_main;
};
