#pragma once

#include "ui/HistoryList.h"

class QComboBox;
class ViewerHistory;

/// The five history boxes of the main window and their lists: the save and
/// pick rules applied to the boxes, and the mirror into the viewer's boxes.
class HistoryBoxes {
public:
    HistoryBoxes(QComboBox *find, QComboBox *replace, QComboBox *first, QComboBox *second,
                 QComboBox *fuzzyReplace);

    /// Fills each box's list from the store (its text is left alone).
    void load();
    /// saveFindHistory: the find side of the active type.
    void saveFind(bool fuzzy);
    /// saveReplaceHistory: the replacement list of the active type.
    void saveReplace(bool fuzzy);
    /// A pick from box's drop-down list at index.
    void pick(QComboBox *box, int index);
    /// The active type's lists, selections and texts copied into the viewer's boxes.
    void mirror(bool fuzzy, ViewerHistory &viewer) const;

private:
    HistoryList &listOf(const QComboBox *box);
    static QStringList itemsOf(const QComboBox *box);
    /// Shows list in box, keeping the box's text unless the top entry is selected.
    static void show(QComboBox *box, const HistoryList &list, bool selectTop);

    QComboBox *m_find;
    QComboBox *m_replace;
    QComboBox *m_first;
    QComboBox *m_second;
    QComboBox *m_fuzzyReplace;
    HistoryList m_findList;
    HistoryList m_replaceList;
    HistoryList m_firstList;
    HistoryList m_secondList;
    HistoryList m_fuzzyReplaceList;
};
