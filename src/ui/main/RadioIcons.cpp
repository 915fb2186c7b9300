#include "RadioIcons.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

QPixmap RadioIcons::pixmap(bool selected, const QWidget *widget)
{
    const int size =
        widget->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, widget);
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QStyleOptionButton option;
    option.initFrom(widget);
    option.rect = QRect(0, 0, size, size);
    option.state = QStyle::State_Enabled | (selected ? QStyle::State_On : QStyle::State_Off);
    widget->style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &painter, widget);
    return picture;
}

QIcon RadioIcons::icon(bool selected, const QWidget *widget)
{
    return QIcon(pixmap(selected, widget));
}
