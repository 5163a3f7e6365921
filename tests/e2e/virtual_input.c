// Gives a wlroots compositor's seat a pointer and a keyboard until standard input closes: with
// no input devices its clients get neither, and wtype's keyboard comes and goes before a client
// has bound it. Debian ships neither a client of these protocols nor their descriptions.
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>

static const struct wl_interface* none[4];
static const struct wl_message pointerRequests[] = {{"motion", "uff", none}};
static const struct wl_interface pointer = {"zwlr_virtual_pointer_v1", 1, 1, pointerRequests, 0, 0};
static const struct wl_interface* pointerTypes[] = {&wl_seat_interface, &pointer};
static const struct wl_message pointersRequests[] = {
    {"create_virtual_pointer", "?on", pointerTypes}};
static const struct wl_interface pointers = {
    "zwlr_virtual_pointer_manager_v1", 1, 1, pointersRequests, 0, 0};
static const struct wl_message keyboardRequests[] = {{"keymap", "uhu", none}};
static const struct wl_interface keyboard = {"zwp_virtual_keyboard_v1", 1, 1,
                                             keyboardRequests,          0, 0};
static const struct wl_interface* keyboardTypes[] = {&wl_seat_interface, &keyboard};
static const struct wl_message keyboardsRequests[] = {
    {"create_virtual_keyboard", "on", keyboardTypes}};
static const struct wl_interface keyboards = {
    "zwp_virtual_keyboard_manager_v1", 1, 1, keyboardsRequests, 0, 0};

static struct wl_proxy *seat, *pointerManager, *keyboardManager;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data, (void)version;
    if (strcmp(interface, pointers.name) == 0)
        pointerManager = wl_registry_bind(registry, name, &pointers, 1);
    else if (strcmp(interface, keyboards.name) == 0)
        keyboardManager = wl_registry_bind(registry, name, &keyboards, 1);
    else if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
}

static void globalRemove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    static const struct wl_registry_listener listener = {global, globalRemove};
    if (display) wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    if (!display || wl_display_roundtrip(display) < 0 || !seat || !pointerManager ||
        !keyboardManager)
        return fprintf(stderr, "virtual_input: no virtual input devices here\n"), 1;
    wl_proxy_marshal_constructor(pointerManager, 0, &pointer, NULL, NULL);
    wl_proxy_marshal_constructor(keyboardManager, 0, &keyboard, seat, NULL);
    wl_display_roundtrip(display);
    puts("ready");
    fflush(stdout);
    struct pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {wl_display_get_fd(display), POLLIN, 0}};
    char buffer[64];
    while (poll(fds, 2, -1) > 0 && !(fds[0].revents && read(0, buffer, sizeof buffer) <= 0) &&
           !(fds[1].revents && wl_display_dispatch(display) < 0)) {
    }
    wl_display_disconnect(display);
    return 0;
}
