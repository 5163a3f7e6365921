#pragma once

#include <xcb/xcb.h>

namespace platform {

// Qt's own connection to the X server; null on any other window system.
xcb_connection_t* x11Connection();

}  // namespace platform
