#pragma once

#include <xcb/xcb.h>

#include <QSize>
#include <optional>

namespace platform {

// Qt's own connection to the X server; null on any other window system.
xcb_connection_t* x11Connection();

// Whether that X server is XWayland, inside a Wayland compositor: its monitors are named so, as
// it has no extension of its own to ask for.
bool isXwayland();

// Maps the children of `window` that are not mapped: windows another client made in ours and
// asked to be shown, which are at times left unmapped all the same.
void mapChildWindows(xcb_window_t window);

// The size of the whole screen (all monitors) as the X server has it now, which may be ahead of
// what Qt has heard about the monitors; nothing on any other window system.
std::optional<QSize> desktopSize();

// Qt ends the process with status 1 when the X server closes its connection: a client killed
// it (XKillClient, as `xdotool windowkill` does) or the server went away. For a saver that is
// the end of what it shows, not a failure: from this call on such an end has status 0.
void endWithStatusZeroWhenDisplayLost();

}  // namespace platform
