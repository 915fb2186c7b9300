#pragma once

#include <QSize>

class QWidget;

/// Keeps a window within the screen it shows on: a large scale factor on a
/// small screen must still leave every part of it in reach.
namespace ViewerFit {

/// Shrinks window (never below its minimum size) and moves it so that its
/// frame lies within the available part of its screen.
void fitToScreen(QWidget *window);

}  // namespace ViewerFit
