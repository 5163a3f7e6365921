#pragma once

namespace platform {

// Ends the process at once: no further handler of any window runs.
[[noreturn]] void endProgram(int exitCode = 0);

}  // namespace platform
