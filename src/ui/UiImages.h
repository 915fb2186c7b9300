#pragma once

#include <QIcon>
#include <QPixmap>

/// The program's own pictures, drawn for it and compiled in: the window icon,
/// the option arrow and the About box's animation frames.
namespace UiImages {

QIcon applicationIcon();
QPixmap arrow();
/// One of the four About frames, 0 to 3.
QPixmap aboutFrame(int index);

}  // namespace UiImages
