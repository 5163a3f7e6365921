#include "platform/x11_connection.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdlib>

namespace platform {

xcb_connection_t* x11Connection() {
    const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

bool isXwayland() {
    const auto screens = QGuiApplication::screens();
    return x11Connection() && std::any_of(screens.begin(), screens.end(), [](const QScreen* s) {
               return s->name().startsWith(QLatin1String("XWAYLAND"));
           });
}

void mapChildWindows(xcb_window_t window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection) return;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
    if (!tree) return;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, children[i]), nullptr);
        if (attributes && attributes->map_state == XCB_MAP_STATE_UNMAPPED)
            xcb_map_window(connection, children[i]);
        free(attributes);
    }
    free(tree);
    xcb_flush(connection);
}

std::optional<QSize> desktopSize() {
    xcb_connection_t* connection = x11Connection();
    if (!connection) return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_get_geometry_reply_t* root =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, screen->root), nullptr);
    if (!root) return std::nullopt;
    const QSize size(root->width, root->height);
    free(root);
    return size;
}

void endWithStatusZeroWhenDisplayLost() {
    static const bool registered = std::atexit([] {
                                       xcb_connection_t* connection = x11Connection();
                                       if (connection && xcb_connection_has_error(connection))
                                           std::_Exit(0);
                                   }) == 0;
    (void)registered;
}

}  // namespace platform
