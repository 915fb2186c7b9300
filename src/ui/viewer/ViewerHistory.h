#pragma once

#include "ui/SearchForm.h"

#include <QStringList>

#include <optional>

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

    /// The viewer's box that shows the main window's box (the find box doubles as
    /// the first part, the replacement box as the fuzzy replacement).
    QComboBox *boxFor(SearchBoxes::Box box) const;
    /// The main window's history of one box shown here: its entries, the chosen
    /// one (none when the list was empty) and the text.
    void showHistory(SearchBoxes::Box box, const QStringList &entries, std::optional<int> current,
                     const QString &text);
    void clearHistories();
    /// The top entry of box's list chosen, when it has one.
    void chooseTopEntry(SearchBoxes::Box box);

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
