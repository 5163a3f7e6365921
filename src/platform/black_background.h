#pragma once

#include <QWidget>

namespace platform {

// True where the window system itself can keep a window black (X11): it fills every exposed part
// with the window's background, so nothing has to be painted or uploaded for it.
bool windowSystemFillsBlack();

// Gives the widget's native window a black background in the window system.
void setWindowSystemBlack(QWidget* widget);

}  // namespace platform
