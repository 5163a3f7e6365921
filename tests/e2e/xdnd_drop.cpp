// Drops URIs onto a window the way a file manager does, by the XDND protocol with the type
// text/uri-list, for the end-to-end tests.
//   xdnd_drop WINDOW X Y URI...   (X, Y inside WINDOW)
// Exit status: 0 dropped and finished, 3 refused by the target, 1 anything else.
#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

xcb_connection_t* c;

// Cached, so only the first call for a name waits for the server.
xcb_atom_t atom(const char* name) {
    static std::map<std::string, xcb_atom_t> known;
    if (const auto found = known.find(name); found != known.end()) return found->second;
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return known[name] = result;
}

void send(xcb_window_t to, xcb_atom_t type, uint32_t d0, uint32_t d1, uint32_t d2, uint32_t d3,
          uint32_t d4) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = to;
    event.type = type;
    const uint32_t data[] = {d0, d1, d2, d3, d4};
    std::memcpy(event.data.data32, data, sizeof data);
    xcb_send_event(c, 0, to, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

// The owner's side of a conversion: the URIs as text/uri-list, nothing in any other type.
void answer(const xcb_selection_request_event_t& request, const std::string& uris) {
    xcb_selection_notify_event_t notify{XCB_SELECTION_NOTIFY,
                                        0,
                                        0,
                                        request.time,
                                        request.requestor,
                                        request.selection,
                                        request.target,
                                        request.property};
    if (request.target == atom("text/uri-list"))
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                            request.target, 8, static_cast<uint32_t>(uris.size()), uris.data());
    else
        notify.property = XCB_ATOM_NONE;
    xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(c);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 5) return 1;
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const auto target = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    std::string uris;
    for (int i = 4; i < argc; ++i) uris += std::string(argv[i]) + "\r\n";

    const xcb_window_t source = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, source, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selection = atom("XdndSelection"), uriList = atom("text/uri-list");
    xcb_set_selection_owner(c, source, selection, XCB_CURRENT_TIME);
    auto* at = xcb_translate_coordinates_reply(
        c,
        xcb_translate_coordinates(c, target, screen->root, static_cast<int16_t>(std::atoi(argv[2])),
                                  static_cast<int16_t>(std::atoi(argv[3]))),
        nullptr);
    if (!at) return 1;
    const uint32_t rootXY = (uint32_t(uint16_t(at->dst_x)) << 16) | uint16_t(at->dst_y);
    std::free(at);

    // Every name asked before the drag: a round trip inside the event loop would queue events
    // the loop's poll() never wakes up for.
    for (const char* name : {"XdndEnter", "XdndPosition", "XdndActionCopy", "XdndStatus",
                             "XdndFinished", "XdndLeave", "XdndDrop"})
        atom(name);
    send(target, atom("XdndEnter"), source, 5u << 24, uriList, 0, 0);
    send(target, atom("XdndPosition"), source, 0, rootXY, XCB_CURRENT_TIME, atom("XdndActionCopy"));
    const xcb_atom_t status = atom("XdndStatus"), finished = atom("XdndFinished");
    const xcb_atom_t leave = atom("XdndLeave"), drop = atom("XdndDrop");
    bool dropped = false;
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    do {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const int type = event->response_type & 0x7f;
            if (type == XCB_SELECTION_REQUEST)
                answer(*reinterpret_cast<xcb_selection_request_event_t*>(event), uris);
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            const xcb_atom_t kind =
                type == XCB_CLIENT_MESSAGE ? message->type : xcb_atom_t{XCB_ATOM_NONE};
            const bool accepted = kind == status && (message->data.data32[1] & 1);
            std::free(event);
            if (kind == status && !accepted && !dropped) {
                send(target, leave, source, 0, 0, 0, 0);
                std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
                return 3;
            }
            if (accepted && !dropped) send(target, drop, source, 0, XCB_CURRENT_TIME, 0, 0);
            dropped = dropped || accepted;
            if (kind == finished) return 0;
        }
        if (xcb_connection_has_error(c)) return 1;
    } while (poll(&fd, 1, 10000) > 0);
    return 1;
}
