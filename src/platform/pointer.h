#pragma once

#include <QPoint>

// The pointer calls the saver is written against, positions in global screen pixels. Showing a
// pointer that was never hidden (the exit reached before start-up hid it) changes nothing.
namespace platform {

QPoint GetCursorPos();
void SetCursorPos(int x, int y);
void ShowCursor(bool show);
bool isCursorHidden();

}  // namespace platform
