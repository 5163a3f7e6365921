#include "platform/host_window.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QByteArray>

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

// Qt hands every event from the X server to its native filters first, also those of windows it
// did not make.
class WindowEventFilter : public QObject, public QAbstractNativeEventFilter {
public:
    WindowEventFilter(xcb_window_t window, QObject* context) : QObject(context), window_(window) {
        QAbstractEventDispatcher::instance()->installNativeEventFilter(this);
    }
    ~WindowEventFilter() override {
        if (auto* dispatcher = QAbstractEventDispatcher::instance())
            dispatcher->removeNativeEventFilter(this);
    }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const auto kind = event->response_type & 0x7f;
        if (kind == XCB_DESTROY_NOTIFY && destroyed &&
            reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window_)
            destroyed();
        const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        if (kind == XCB_CONFIGURE_NOTIFY && resized && configure->window == window_ &&
            QSize(configure->width, configure->height) != size_)
            resized(size_ = QSize(configure->width, configure->height));
        return false;
    }

    std::function<void()> destroyed;
    std::function<void(QSize)> resized;

private:
    xcb_window_t window_;
    QSize size_;
};

// Each client has its own event mask on a window: this takes nothing from the host.
WindowEventFilter* watchStructure(NativeWindowId window, QObject* context) {
    xcb_connection_t* connection = x11Connection();
    if (!connection) return nullptr;
    const auto id = static_cast<xcb_window_t>(window);
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
    return new WindowEventFilter(id, context);
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

std::optional<QRect> foreignWindowScreenArea(NativeWindowId window) {
    const auto size = foreignWindowSize(window);
    xcb_connection_t* connection = x11Connection();
    if (!size || !connection) return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const auto cookie = xcb_translate_coordinates(connection, static_cast<xcb_window_t>(window),
                                                  screen->root, 0, 0);
    xcb_translate_coordinates_reply_t* reply =
        xcb_translate_coordinates_reply(connection, cookie, nullptr);
    if (!reply) return std::nullopt;
    const QRect area(QPoint(reply->dst_x, reply->dst_y), *size);
    free(reply);
    return area;
}

void onForeignWindowDestroyed(NativeWindowId window, QObject* context,
                              std::function<void()> handler) {
    if (auto* filter = watchStructure(window, context)) filter->destroyed = std::move(handler);
}

// Qt already asks for the structure events of its own windows; setting the mask would replace
// what it asked for.
void onOwnWindowDestroyed(NativeWindowId window, QObject* context, std::function<void()> handler) {
    if (!x11Connection()) return;
    auto* filter = new WindowEventFilter(static_cast<xcb_window_t>(window), context);
    filter->destroyed = std::move(handler);
}

void onForeignWindowResized(NativeWindowId window, QObject* context,
                            std::function<void(QSize)> handler) {
    if (auto* filter = watchStructure(window, context)) filter->resized = std::move(handler);
}

bool isForeignWindowGone(NativeWindowId window) {
    return geometryOf(window).gone;
}

}  // namespace platform
