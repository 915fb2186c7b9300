#pragma once

#include <QIcon>
#include <QPixmap>

class QWidget;

/// The selected and not-selected radio pictures of the search-type tools,
/// drawn by the current style so they match the option buttons.
namespace RadioIcons {
QPixmap pixmap(bool selected, const QWidget *widget);
QIcon icon(bool selected, const QWidget *widget);
}  // namespace RadioIcons
