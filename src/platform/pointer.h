#pragma once

#include <QPoint>

// The pointer calls the saver is written against: positions in global screen pixels, and a
// show/hide counter where the pointer is hidden while the count is below zero, so an unmatched
// "show" (reaching the exit before start-up hid it) is harmless.
namespace platform {

QPoint GetCursorPos();
void SetCursorPos(int x, int y);
int ShowCursor(bool show);

}  // namespace platform
