#include "platform/host_window.h"

#include "platform/x11_connection.h"

namespace platform {
namespace {

std::optional<NativeWindowId> windowId(const QString& text) {
    const QString value = text.trimmed();
    bool ok = false;
    const NativeWindowId id = value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                  ? value.mid(2).toULongLong(&ok, 16)
                                  : value.toULongLong(&ok, 10);
    return ok && id != 0 ? std::optional(id) : std::nullopt;
}

struct Geometry {
    std::optional<QSize> size;
    bool gone = false;
};

Geometry geometryOf(NativeWindowId window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection) return {};
    xcb_generic_error_t* error = nullptr;
    const auto cookie = xcb_get_geometry(connection, static_cast<xcb_drawable_t>(window));
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(connection, cookie, &error);
    Geometry geometry;
    if (reply) geometry.size = QSize(reply->width, reply->height);
    geometry.gone = error && (error->error_code == XCB_WINDOW || error->error_code == XCB_DRAWABLE);
    free(reply);
    free(error);
    return geometry;
}

}  // namespace

std::optional<NativeWindowId> hostWindowFrom(const QStringList& arguments,
                                             const QString& environmentValue) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        for (const QLatin1String option :
             {QLatin1String("--window-id"), QLatin1String("-window-id")}) {
            if (argument == option && i + 1 < arguments.size())
                return windowId(arguments.at(i + 1));
            if (argument.startsWith(option + u'='))
                return windowId(argument.mid(option.size() + 1));
        }
    }
    return windowId(environmentValue);
}

std::optional<QSize> foreignWindowSize(NativeWindowId window) {
    return geometryOf(window).size;
}

bool isForeignWindowGone(NativeWindowId window) {
    return geometryOf(window).gone;
}

}  // namespace platform
