#pragma once

#include <QLockFile>
#include <memory>

namespace platform {

// The per-user folder for locks and sockets (XDG_RUNTIME_DIR), or the temporary folder.
QString runtimeFolder();

// Held for the life of the process. A lock left by a killed process is taken over at once, so
// a crash never blocks the next start.
class SingleInstance {
public:
    SingleInstance();
    bool anotherInstanceRunning() const { return !ownsLock_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool ownsLock_ = false;
};

}  // namespace platform
