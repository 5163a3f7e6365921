// LD_PRELOAD shim for finding out where flickerdeck's time goes, without touching its source:
// logs every libmpv call that matters, every libmpv event handed to the program, Qt's window maps
// and the final _Exit, each with CLOCK_MONOTONIC milliseconds, to $MPVTRACE_LOG (else stderr).
//   g++ -std=c++20 -O2 -shared -fPIC -o mpvtrace.so bench/mpvtrace.cpp -ldl
//   LD_PRELOAD=$PWD/mpvtrace.so MPVTRACE_LOG=/tmp/trace.txt build/flickerdeck /S
#include <dlfcn.h>
#include <mpv/client.h>
#include <xcb/xcb.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

namespace {

std::mutex logLock;

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void note(const char* format, ...) {
    static FILE* out = [] {
        const char* path = std::getenv("MPVTRACE_LOG");
        FILE* file = path ? std::fopen(path, "w") : nullptr;
        return file ? file : stderr;
    }();
    const std::lock_guard hold(logLock);
    std::fprintf(out, "%.3f ", nowMs());
    va_list args;
    va_start(args, format);
    std::vfprintf(out, format, args);
    va_end(args);
    std::fputc('\n', out);
    std::fflush(out);
}

template <typename F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

mpv_handle* mpv_create() {
    note("mpv_create begin");
    mpv_handle* handle = real<mpv_handle* (*)()>("mpv_create")();
    note("mpv_create end");
    return handle;
}

int mpv_initialize(mpv_handle* ctx) {
    note("mpv_initialize begin");
    const int result = real<int (*)(mpv_handle*)>("mpv_initialize")(ctx);
    note("mpv_initialize end %d", result);
    return result;
}

int mpv_command_async(mpv_handle* ctx, uint64_t userdata, const char** args) {
    note("mpv_command_async %s %s", args[0], args[1] ? args[1] : "");
    return real<int (*)(mpv_handle*, uint64_t, const char**)>("mpv_command_async")(ctx, userdata,
                                                                                   args);
}

mpv_event* mpv_wait_event(mpv_handle* ctx, double timeout) {
    mpv_event* event = real<mpv_event* (*)(mpv_handle*, double)>("mpv_wait_event")(ctx, timeout);
    if (event->event_id == MPV_EVENT_END_FILE)
        note("event END_FILE reason %d", static_cast<mpv_event_end_file*>(event->data)->reason);
    else if (event->event_id != MPV_EVENT_NONE)
        note("event %s", mpv_event_name(event->event_id));
    return event;
}

void mpv_terminate_destroy(mpv_handle* ctx) {
    note("mpv_terminate_destroy begin");
    real<void (*)(mpv_handle*)>("mpv_terminate_destroy")(ctx);
    note("mpv_terminate_destroy end");
}

xcb_void_cookie_t xcb_map_window(xcb_connection_t* c, xcb_window_t window) {
    note("xcb_map_window %x", window);
    return real<xcb_void_cookie_t (*)(xcb_connection_t*, xcb_window_t)>("xcb_map_window")(c,
                                                                                          window);
}

xcb_void_cookie_t xcb_unmap_window(xcb_connection_t* c, xcb_window_t window) {
    note("xcb_unmap_window %x", window);
    return real<xcb_void_cookie_t (*)(xcb_connection_t*, xcb_window_t)>("xcb_unmap_window")(c,
                                                                                            window);
}

[[noreturn]] void _Exit(int code) {
    note("_Exit %d", code);
    real<void (*)(int)>("_Exit")(code);
    std::abort();
}
}
