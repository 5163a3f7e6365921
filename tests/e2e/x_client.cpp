#include "e2e/x_client.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace e2e {
namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

}  // namespace

XClient::XClient() {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_)) return;
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
}

XClient::~XClient() {
    xcb_disconnect(connection_);
}

xcb_window_t XClient::root() const {
    return screen_ ? screen_->root : XCB_NONE;
}

xcb_window_t XClient::createWindow(const QRect& geometry, quint32 background) {
    if (!connected()) return XCB_NONE;
    const xcb_window_t window = xcb_generate_id(connection_);
    const uint32_t values[] = {background, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root,
                      static_cast<int16_t>(geometry.x()), static_cast<int16_t>(geometry.y()),
                      static_cast<uint16_t>(geometry.width()),
                      static_cast<uint16_t>(geometry.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen_->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const auto mapped = xcb_map_window_checked(connection_, window);
    if (auto error = owned(xcb_request_check(connection_, mapped))) return XCB_NONE;
    return window;
}

std::vector<xcb_window_t> XClient::mappedTopLevels() {
    std::vector<xcb_window_t> mapped;
    if (!connected()) return mapped;
    const auto tree =
        owned(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root()), nullptr));
    if (!tree) return mapped;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const auto attributes = owned(xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, children[i]), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            mapped.push_back(children[i]);
    }
    return mapped;
}

QString XClient::title(xcb_window_t window) {
    const QString name = textProperty(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    return name.isEmpty() ? textProperty(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY)
                          : name;
}

xcb_window_t XClient::findTopLevel(const QString& wanted) {
    if (!connected()) return XCB_NONE;
    const auto tree =
        owned(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root()), nullptr));
    if (!tree) return XCB_NONE;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        if (title(children[i]) == wanted) return children[i];
    return XCB_NONE;
}

bool XClient::destroyWindow(xcb_window_t window) {
    return connected() &&
           !owned(xcb_request_check(connection_, xcb_destroy_window_checked(connection_, window)));
}

bool XClient::sendDeleteWindow(xcb_window_t window) {
    if (!connected()) return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    const auto sent = xcb_send_event_checked(connection_, false, window, XCB_EVENT_MASK_NO_EVENT,
                                             reinterpret_cast<const char*>(&event));
    return !owned(xcb_request_check(connection_, sent));
}

QImage XClient::grab(const QRect& area) {
    if (!connected()) return {};
    const auto cookie = xcb_get_image(
        connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root(), static_cast<int16_t>(area.x()),
        static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
        static_cast<uint16_t>(area.height()), ~0U);
    const auto image = owned(xcb_get_image_reply(connection_, cookie, nullptr));
    // Depth 24 comes as 32 bits a pixel, blue first: the layout of QImage::Format_RGB32.
    const qsizetype bytes = qsizetype(area.width()) * area.height() * 4;
    if (!image || image->depth != 24 || xcb_get_image_data_length(image.get()) < bytes) return {};
    QImage copy(area.size(), QImage::Format_RGB32);
    std::memcpy(copy.bits(), xcb_get_image_data(image.get()), static_cast<size_t>(bytes));
    return copy;
}

xcb_atom_t XClient::atom(const char* name) {
    const auto reply = owned(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

QString XClient::textProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    const auto reply = owned(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, 1024), nullptr));
    if (!reply || reply->format != 8) return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

}  // namespace e2e
