#pragma once

#include <xcb/xcb.h>

namespace platform {

// Qt's own connection to the X server; null on any other window system.
xcb_connection_t* x11Connection();

// Maps the children of `window` that are not mapped: windows another client made in ours and
// asked to be shown, which are at times left unmapped all the same.
void mapChildWindows(xcb_window_t window);

}  // namespace platform
