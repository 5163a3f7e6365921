#include "platform/black_background.h"

#include "platform/x11_connection.h"

namespace platform {

bool windowSystemFillsBlack() {
    return x11Connection() != nullptr;
}

void setWindowSystemBlack(QWidget* widget) {
    xcb_connection_t* connection = x11Connection();
    if (!connection) return;
    // Qt asks for TrueColor windows, where pixel value 0 is black.
    const uint32_t black = 0;
    xcb_change_window_attributes(connection, static_cast<xcb_window_t>(widget->winId()),
                                 XCB_CW_BACK_PIXEL, &black);
}

}  // namespace platform
