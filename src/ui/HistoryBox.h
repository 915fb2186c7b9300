#pragma once

#include "ui/HistoryList.h"

#include <QComboBox>
#include <QLineEdit>

/// An editable drop-down list that holds a history of recent strings.
namespace HistoryBox {

/// The history rules decide the list: Enter adds nothing, and only a pick from
/// the drop-down list reorders it. Leaving the box with a known entry typed in
/// must not count as a pick, and what is typed is the string, with no
/// completion appended.
inline void setUp(QComboBox *box)
{
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
    box->setMaxVisibleItems(HistoryList::MaxEntries);
}

}  // namespace HistoryBox
