#pragma once

#include <QComboBox>
#include <QStringList>

/// The entries of a drop-down list, in order.
inline QStringList comboItems(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}
