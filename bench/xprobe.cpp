// Watches and drives an X display from outside the programs being measured, so that both get
// exactly the same treatment. Every time printed is CLOCK_MONOTONIC in nanoseconds, the clock
// Python's time.monotonic_ns() reads, so the caller can subtract its own timestamps.
//
//   xprobe picture TIMEOUT_MS POLL_MS       first non-black centre region: its time
//   xprobe watch POLL_MS MAX_MS             one line per change of the centre's colour class:
//                                           "FIRST_NS LAST_OF_PREVIOUS_NS CLASS", until stdin
//                                           closes or MAX_MS pass
//   xprobe widths POLL_MS MAX_MS            like watch, with the width of the picture across the
//                                           centre: "FIRST_NS LAST_OF_PREVIOUS_NS CLASS WIDTH"
//   xprobe key KEYSYM PID TIMEOUT_MS        types KEYSYM, prints ms until PID has ended
//   xprobe wait-window TITLE TIMEOUT_MS     time a top-level window titled TITLE gets mapped
//   xprobe close-window TITLE PID TIMEOUT_MS  sends WM_DELETE_WINDOW, prints ms until PID ends
//   xprobe key-gone KEYSYM PID TIMEOUT_MS POLL_MS  types KEYSYM, prints "GONE_MS EXIT_MS": ms
//                                           until the centre is black, and until PID has ended
//   xprobe frames POLL_MS DURATION_MS       how many times the centre's pixels changed
//   xprobe class                            the centre's class once (for checking by hand)
//   xprobe regions POLL_MS MAX_MS X Y ...   the same region centred on each point (a monitor's
//                                           centre): "NS INDEX CLASS" at each change of one,
//                                           until stdin closes or MAX_MS pass
//   xprobe pixels POLL_MS MAX_MS X Y ...    the mean colour of a 9x9 patch at each point, every
//                                           POLL_MS: "NS INDEX R G B", until MAX_MS pass
//   xprobe host-window X Y W H              a window as a screen-saver host makes one: prints
//                                           its id, and goes with it when stdin closes
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr int kRegionWidth = 160;
constexpr int kRegionHeight = 90;

int64_t nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

void sleepMs(int ms) {
    timespec t{ms / 1000, (ms % 1000) * 1'000'000L};
    nanosleep(&t, nullptr);
}

XImage* region(Display* display, int centreX, int centreY) {
    return XGetImage(display, DefaultRootWindow(display), centreX - kRegionWidth / 2,
                     centreY - kRegionHeight / 2, kRegionWidth, kRegionHeight, AllPlanes, ZPixmap);
}

XImage* centre(Display* display) {
    return region(display, DisplayWidth(display, 0) / 2, DisplayHeight(display, 0) / 2);
}

// black: nothing but the window's black; red / blue: the two play-list clips; picture: any
// other picture. Encoder noise keeps "black" a little above zero, hence the thresholds.
const char* classify(XImage* image) {
    if (!image) return "error";
    int64_t lit = 0, r = 0, g = 0, b = 0;
    for (int row = 0; row < kRegionHeight; ++row) {
        const auto* line =
            reinterpret_cast<const uint32_t*>(image->data + row * image->bytes_per_line);
        for (int col = 0; col < kRegionWidth; ++col) {
            const uint32_t p = line[col];
            const int pr = (p >> 16) & 0xff, pg = (p >> 8) & 0xff, pb = p & 0xff;
            if (pr < 64 && pg < 64 && pb < 64) continue;
            ++lit;
            r += pr;
            g += pg;
            b += pb;
        }
    }
    XDestroyImage(image);
    if (lit * 50 < kRegionWidth * kRegionHeight) return "black";
    if (r > 2 * g && r > 2 * b) return "red";
    if (b > 2 * r && b > 2 * g) return "blue";
    return "picture";
}

const char* classify(Display* display) {
    return classify(centre(display));
}

int pidfdOf(long pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

// Milliseconds from `since` until the process behind pidfd has ended, or -1.
double waitForExit(int pidfd, int64_t since, int timeoutMs) {
    pollfd ended{pidfd, POLLIN, 0};
    if (poll(&ended, 1, timeoutMs) != 1) return -1;
    return double(nowNs() - since) / 1e6;
}

std::string titleOf(Display* display, Window window) {
    static const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    static const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &left, &data) == Success &&
        data)
        title.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    if (!title.empty()) return title;
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) title = name;
    if (name) XFree(name);
    return title;
}

bool isViewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Without a window manager the program's top-level windows are the root's own children.
Window findWindow(Display* display, const std::string& title) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        if (titleOf(display, children[i]) == title && isViewable(display, children[i]))
            found = children[i];
    if (children) XFree(children);
    return found;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

int picture(Display* display, int timeoutMs, int pollMs) {
    const int64_t deadline = nowNs() + int64_t(timeoutMs) * 1'000'000;
    std::puts("ready");
    std::fflush(stdout);
    while (nowNs() < deadline) {
        const int64_t taken = nowNs();
        if (std::strcmp(classify(display), "black") != 0) {
            std::printf("%lld\n", static_cast<long long>(taken));
            return 0;
        }
        sleepMs(pollMs);
    }
    std::puts("timeout");
    return 1;
}

// The run of lit pixels through the centre of the screen's middle row.
int pictureWidth(Display* display) {
    const int width = DisplayWidth(display, 0);
    XImage* row = XGetImage(display, DefaultRootWindow(display), 0, DisplayHeight(display, 0) / 2,
                            width, 1, AllPlanes, ZPixmap);
    if (!row) return -1;
    const auto lit = [row](int x) {
        const uint32_t p = reinterpret_cast<const uint32_t*>(row->data)[x];
        return ((p >> 16) & 0xff) >= 64 || ((p >> 8) & 0xff) >= 64 || (p & 0xff) >= 64;
    };
    int left = width / 2, right = width / 2;
    if (lit(left)) {
        while (left > 0 && lit(left - 1)) --left;
        while (right < width - 1 && lit(right + 1)) ++right;
    }
    const int run = lit(width / 2) ? right - left + 1 : 0;
    XDestroyImage(row);
    return run;
}

std::string widthAndClass(Display* display) {
    return std::string(classify(display)) + " " + std::to_string(pictureWidth(display));
}

// One line per change of what `look` sees: "FIRST_NS LAST_OF_PREVIOUS_NS SEEN", until stdin
// closes or MAX_MS pass.
int watch(Display* display, int pollMs, int maxMs, std::string (*look)(Display*)) {
    const int64_t deadline = nowNs() + int64_t(maxMs) * 1'000'000;
    std::string current;
    int64_t lastOfCurrent = 0;
    std::puts("ready");
    std::fflush(stdout);
    while (nowNs() < deadline) {
        const int64_t taken = nowNs();
        const std::string seen = look(display);
        if (seen != current) {
            std::printf("%lld %lld %s\n", static_cast<long long>(taken),
                        static_cast<long long>(lastOfCurrent), seen.c_str());
            std::fflush(stdout);
            current = seen;
        }
        lastOfCurrent = taken;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, pollMs) == 1) {
            char buffer[64];
            if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) return 0;
        }
    }
    return 0;
}

// Prints how long after now the process of `pidfd` ended, or "timeout".
int reportExit(int pidfd, int timeoutMs) {
    const double ms = waitForExit(pidfd, nowNs(), timeoutMs);
    if (ms < 0) return std::puts("timeout"), 1;
    std::printf("%.3f\n", ms);
    return 0;
}

// Types KEYSYM once the process is watched; the pidfd, or -1 and nothing typed.
int typeKeyAt(Display* display, const char* keysym, long pid) {
    const int pidfd = pidfdOf(pid);
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysym));
    if (pidfd < 0 || code == 0) return -1;
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
    return pidfd;
}

int key(Display* display, const char* keysym, long pid, int timeoutMs) {
    const int pidfd = typeKeyAt(display, keysym, pid);
    if (pidfd < 0) return std::puts("error"), 2;
    return reportExit(pidfd, timeoutMs);
}

int keyGone(Display* display, const char* keysym, long pid, int timeoutMs, int pollMs) {
    const int pidfd = typeKeyAt(display, keysym, pid);
    if (pidfd < 0) return std::puts("error"), 2;
    const int64_t sent = nowNs();
    double gone = -1, ended = -1;
    while ((gone < 0 || ended < 0) && nowNs() - sent < int64_t(timeoutMs) * 1'000'000) {
        if (gone < 0 && std::strcmp(classify(display), "black") == 0)
            gone = double(nowNs() - sent) / 1e6;
        if (ended < 0) ended = waitForExit(pidfd, sent, gone < 0 ? pollMs : timeoutMs);
    }
    std::printf("%.3f %.3f\n", gone, ended);
    return gone < 0 || ended < 0;
}

// Every frame of a noisy clip differs from the one before, so each change is one frame shown.
int frames(Display* display, int pollMs, int durationMs) {
    const int64_t deadline = nowNs() + int64_t(durationMs) * 1'000'000;
    std::string previous, current;
    long changes = 0;
    while (nowNs() < deadline) {
        XImage* image = centre(display);
        if (!image) return std::puts("error"), 2;
        current.assign(image->data, size_t(image->bytes_per_line) * kRegionHeight);
        XDestroyImage(image);
        if (!previous.empty() && current != previous) ++changes;
        previous.swap(current);
        sleepMs(pollMs);
    }
    std::printf("%ld\n", changes);
    return 0;
}

int waitWindow(Display* display, const std::string& title, int timeoutMs) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::puts("ready");
    std::fflush(stdout);
    const int64_t deadline = nowNs() + int64_t(timeoutMs) * 1'000'000;
    while (nowNs() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && titleOf(display, event.xmap.window) == title) {
                std::printf("%lld\n", static_cast<long long>(nowNs()));
                return 0;
            }
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 5);
    }
    std::puts("timeout");
    return 1;
}

int closeWindow(Display* display, const std::string& title, long pid, int timeoutMs) {
    const int pidfd = pidfdOf(pid);
    const Window window = findWindow(display, title);
    if (pidfd < 0 || !window) return std::puts("error"), 2;
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &message);
    XSync(display, False);
    return reportExit(pidfd, timeoutMs);
}

bool stdinClosedWithin(int ms) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, ms) != 1) return false;
    char buffer[64];
    return read(STDIN_FILENO, buffer, sizeof buffer) <= 0;
}

int regions(Display* display, int pollMs, int maxMs, char** points, int count) {
    const int64_t deadline = nowNs() + int64_t(maxMs) * 1'000'000;
    std::string current[8];
    count = std::min(count, 8);
    std::puts("ready");
    std::fflush(stdout);
    while (nowNs() < deadline) {
        for (int i = 0; i < count; ++i) {
            const int64_t taken = nowNs();
            const std::string seen =
                classify(region(display, std::atoi(points[2 * i]), std::atoi(points[2 * i + 1])));
            if (seen == current[i]) continue;
            std::printf("%lld %d %s\n", static_cast<long long>(taken), i, seen.c_str());
            std::fflush(stdout);
            current[i] = seen;
        }
        if (stdinClosedWithin(pollMs)) return 0;
    }
    return 0;
}

int pixels(Display* display, int pollMs, int maxMs, char** points, int count) {
    const int64_t deadline = nowNs() + int64_t(maxMs) * 1'000'000;
    for (int64_t next = nowNs(); nowNs() < deadline; next += int64_t(pollMs) * 1'000'000) {
        for (int i = 0; i < count; ++i) {
            const int x = std::atoi(points[2 * i]), y = std::atoi(points[2 * i + 1]);
            const int64_t taken = nowNs();
            XImage* image = XGetImage(display, DefaultRootWindow(display), x - 4, y - 4, 9, 9,
                                      AllPlanes, ZPixmap);
            long r = 0, g = 0, b = 0;
            for (int row = 0; image && row < 9; ++row)
                for (int col = 0; col < 9; ++col) {
                    const unsigned long p = XGetPixel(image, col, row);
                    r += (p >> 16) & 0xff;
                    g += (p >> 8) & 0xff;
                    b += p & 0xff;
                }
            if (image) XDestroyImage(image);
            std::printf("%lld %d %ld %ld %ld\n", static_cast<long long>(taken), i, r / 81, g / 81,
                        b / 81);
        }
        std::fflush(stdout);
        const int64_t wait = (next + int64_t(pollMs) * 1'000'000 - nowNs()) / 1'000'000;
        if (wait > 0) sleepMs(int(wait));
    }
    return 0;
}

int hostWindow(Display* display, int x, int y, int width, int height) {
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y,
                                              unsigned(width), unsigned(height), 0, 0, 0);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    XChangeWindowAttributes(display, window, CWOverrideRedirect, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("%lu\n", window);
    std::fflush(stdout);
    while (!stdinClosedWithin(1000)) {
    }
    return 0;
}

int usage() {
    std::fputs(
        "usage: xprobe picture|watch|key|key-gone|frames|wait-window|close-window|class|regions|"
        "pixels|host-window ...\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::fputs("xprobe: cannot open display\n", stderr), 2;
    XSetErrorHandler(ignoreErrors);
    const std::string command = argv[1];
    const auto arg = [&](int i) { return i < argc ? argv[i] : "0"; };
    if (command == "picture") return picture(display, std::atoi(arg(2)), std::atoi(arg(3)));
    if (command == "watch")
        return watch(display, std::atoi(arg(2)), std::atoi(arg(3)),
                     [](Display* d) { return std::string(classify(d)); });
    if (command == "widths")
        return watch(display, std::atoi(arg(2)), std::atoi(arg(3)), widthAndClass);
    if (command == "key") return key(display, arg(2), std::atol(arg(3)), std::atoi(arg(4)));
    if (command == "wait-window") return waitWindow(display, arg(2), std::atoi(arg(3)));
    if (command == "close-window")
        return closeWindow(display, arg(2), std::atol(arg(3)), std::atoi(arg(4)));
    if (command == "key-gone")
        return keyGone(display, arg(2), std::atol(arg(3)), std::atoi(arg(4)), std::atoi(arg(5)));
    if (command == "frames") return frames(display, std::atoi(arg(2)), std::atoi(arg(3)));
    if (command == "class") return std::puts(classify(display)), 0;
    if (command == "regions")
        return regions(display, std::atoi(arg(2)), std::atoi(arg(3)), argv + 4, (argc - 4) / 2);
    if (command == "pixels")
        return pixels(display, std::atoi(arg(2)), std::atoi(arg(3)), argv + 4, (argc - 4) / 2);
    if (command == "host-window")
        return hostWindow(display, std::atoi(arg(2)), std::atoi(arg(3)), std::atoi(arg(4)),
                          std::atoi(arg(5)));
    return usage();
}
