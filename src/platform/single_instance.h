#pragma once

#include <QLockFile>
#include <memory>
#include <optional>

namespace platform {

// The per-user folder for locks and sockets (XDG_RUNTIME_DIR), or the temporary folder.
QString runtimeFolder();

// Taken at the first question and held for the life of the process; a process that never asks
// never holds it. A lock left by a killed process is taken over at once, so a crash never blocks
// the next start.
class SingleInstance {
public:
    SingleInstance();
    bool anotherInstanceRunning() const;

private:
    std::unique_ptr<QLockFile> lock_;
    mutable std::optional<bool> ownsLock_;
};

}  // namespace platform
