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

void returnLargeBlocksWhenFreed() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace platform
