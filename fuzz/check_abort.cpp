#include <cstdio>
#include <cstdlib>

#include "fuzz_check.h"

namespace fuzzcheck {

void failed(const char* condition, const char* file, int line, const QString& detail) {
    std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, condition);
    if (!detail.isEmpty()) std::fprintf(stderr, "    %s\n", detail.toUtf8().constData());
    std::abort();
}

}  // namespace fuzzcheck
