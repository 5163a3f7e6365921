#include "platform/process.h"

#include <cstdio>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

void endProgram(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void withoutAutolaunchedSessionBus() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    // An address of a kind the library does not know: connecting fails at once.
    if (!address || !*address) ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

void returnLargeBlocksWhenFreed() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace platform
