#pragma once

#include <QStyledItemDelegate>

/// Draws a preview's replacement rows as rich text (the line before, the line
/// with the old text struck and the new marked, the line after); file rows as
/// plain items.
class PreviewDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
