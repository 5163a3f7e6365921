#include "platform/black_background.h"

#include <xcb/xcb.h>

#include <QGuiApplication>

namespace platform {
namespace {

xcb_connection_t* x11Connection() {
    const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

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
