/* Loaded into the saver by one test: every read of a file whose name ends in "stuck.avi" waits
   forever, as a read from a hung network share would, so the player engine is stuck in it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <string.h>
#include <unistd.h>

static int stuck_fd = -1;

static int is_stuck_name(const char* path) {
    const size_t length = strlen(path);
    return length >= 9 && strcmp(path + length - 9, "stuck.avi") == 0;
}

static int note(int fd, const char* path) {
    if (fd >= 0 && is_stuck_name(path)) stuck_fd = fd;
    return fd;
}

typedef int (*open_function)(const char*, int, ...);

static int open_through(const char* name, open_function* real, const char* path, int flags,
                        va_list args) {
    if (!*real) *real = (open_function)dlsym(RTLD_NEXT, name);
    return note((*real)(path, flags, va_arg(args, int)), path);
}

int open64(const char* path, int flags, ...) {
    static open_function real;
    va_list args;
    va_start(args, flags);
    const int fd = open_through("open64", &real, path, flags, args);
    va_end(args);
    return fd;
}

int open(const char* path, int flags, ...) {
    static open_function real;
    va_list args;
    va_start(args, flags);
    const int fd = open_through("open", &real, path, flags, args);
    va_end(args);
    return fd;
}

ssize_t read(int fd, void* buffer, size_t size) {
    static ssize_t (*real)(int, void*, size_t);
    if (!real) real = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
    while (fd >= 0 && fd == stuck_fd) pause();
    return real(fd, buffer, size);
}
