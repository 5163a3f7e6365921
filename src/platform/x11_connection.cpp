#include "platform/x11_connection.h"

#include <QGuiApplication>

namespace platform {

xcb_connection_t* x11Connection() {
    const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

}  // namespace platform
