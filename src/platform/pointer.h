#pragma once

#include <QPoint>
#include <optional>

// The pointer calls the saver is written against, positions in global screen pixels. Showing a
// pointer that was never hidden (the exit reached before start-up hid it) changes nothing.
namespace platform {

// On Wayland the last position reported to the program's own windows: the origin until the
// pointer first shows over one of them.
QPoint GetCursorPos();
// On Wayland where the pointer was first reported since the last call, none where it was not;
// elsewhere where it is.
std::optional<QPoint> firstCursorPosSinceAsked();
void SetCursorPos(int x, int y);
void ShowCursor(bool show);
bool isCursorHidden();

// Whether SetCursorPos moves the pointer (where it cannot, it does nothing). Wayland lets no
// client move it; XWayland moves only its own idea of it, and puts that right when the pointer
// is next reported over one of its windows. Either way the pointer's place is known only once
// the program's windows are shown.
bool canWarpPointer();

}  // namespace platform
