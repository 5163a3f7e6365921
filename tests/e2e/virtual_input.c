// Gives a headless wlroots compositor's seat a pointer and a keyboard: without input devices
// its clients get neither, and a keyboard that comes only with the keys (as wtype's does) is
// gone before a client has bound it. The devices live until standard input closes. Debian ships
// no client of these protocols, nor their descriptions, so their interfaces are written out here.
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>

static const struct wl_interface* kNoTypes[] = {NULL, NULL, NULL, NULL, NULL};

static const struct wl_message kPointerRequests[] = {
    {"motion", "uff", kNoTypes},   {"motion_absolute", "uuuuu", kNoTypes},
    {"button", "uuu", kNoTypes},   {"axis", "uuf", kNoTypes},
    {"frame", "", kNoTypes},       {"axis_source", "u", kNoTypes},
    {"axis_stop", "uu", kNoTypes}, {"axis_discrete", "uufi", kNoTypes},
    {"destroy", "", kNoTypes},
};
static const struct wl_interface kPointer = {"zwlr_virtual_pointer_v1", 1, 9,
                                             kPointerRequests,          0, NULL};

static const struct wl_interface* kCreateTypes[] = {&wl_seat_interface, &kPointer};
static const struct wl_message kManagerRequests[] = {
    {"create_virtual_pointer", "?on", kCreateTypes},
    {"destroy", "", kNoTypes},
};
static const struct wl_interface kManager = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, kManagerRequests, 0, NULL};

static const struct wl_message kKeyboardRequests[] = {
    {"keymap", "uhu", kNoTypes},
    {"key", "uuu", kNoTypes},
    {"modifiers", "uuuu", kNoTypes},
    {"destroy", "", kNoTypes},
};
static const struct wl_interface kKeyboard = {"zwp_virtual_keyboard_v1", 1, 4,
                                              kKeyboardRequests,         0, NULL};
static const struct wl_interface* kCreateKeyboardTypes[] = {&wl_seat_interface, &kKeyboard};
static const struct wl_message kKeyboardManagerRequests[] = {
    {"create_virtual_keyboard", "on", kCreateKeyboardTypes},
};
static const struct wl_interface kKeyboardManager = {"zwp_virtual_keyboard_manager_v1", 1, 1,
                                                     kKeyboardManagerRequests,          0, NULL};

static struct wl_proxy* manager;
static struct wl_proxy* keyboardManager;
static struct wl_proxy* seat;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, kManager.name) == 0)
        manager = wl_registry_bind(registry, name, &kManager, 1);
    else if (strcmp(interface, kKeyboardManager.name) == 0)
        keyboardManager = wl_registry_bind(registry, name, &kKeyboardManager, 1);
    else if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
}

static void globalRemove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) return fprintf(stderr, "virtual_input: no Wayland display\n"), 1;
    static const struct wl_registry_listener listener = {global, globalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    wl_display_roundtrip(display);
    if (!manager || !keyboardManager || !seat)
        return fprintf(stderr, "virtual_input: no virtual input devices here\n"), 1;
    wl_proxy_marshal_constructor(manager, 0, &kPointer, NULL, NULL);
    wl_proxy_marshal_constructor(keyboardManager, 0, &kKeyboard, seat, NULL);
    wl_display_roundtrip(display);
    puts("ready");
    fflush(stdout);
    struct pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {wl_display_get_fd(display), POLLIN, 0}};
    char buffer[64];
    while (poll(fds, 2, -1) > 0) {
        if (fds[0].revents && read(STDIN_FILENO, buffer, sizeof buffer) <= 0) break;
        if (fds[1].revents && wl_display_dispatch(display) < 0) break;
    }
    wl_display_disconnect(display);
    return 0;
}
