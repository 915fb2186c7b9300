#include "PreviewDelegate.h"

#include "PreviewModel.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QTextDocument>

namespace {
constexpr int kLines = 3;
constexpr int kMargin = 2;
}  // namespace

void PreviewDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    if (!PreviewModel::isReplacement(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // The check box, selection and focus as any item has them; the text is ours.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);

    QTextDocument document;
    document.setDefaultFont(opt.font);
    document.setDocumentMargin(kMargin);
    document.setHtml(index.data(PreviewModel::HtmlRole).toString());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = opt.palette;
    if (opt.state & QStyle::State_Selected)
        context.palette.setColor(QPalette::Text, opt.palette.color(QPalette::HighlightedText));
    painter->save();
    painter->translate(textRect.topLeft());
    painter->setClipRect(textRect.translated(-textRect.topLeft()));
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

QSize PreviewDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!PreviewModel::isReplacement(index))
        return QStyledItemDelegate::sizeHint(option, index);
    // Worked out from the font alone, so sizing a row never reads its file.
    const QFontMetrics &metrics = option.fontMetrics;
    return {80 * metrics.averageCharWidth(), kLines * metrics.lineSpacing() + 2 * kMargin + 2};
}
