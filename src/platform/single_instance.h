#pragma once

#include <memory>

#include "platform/process_lock.h"

namespace platform {

// Taken at the first question and held for the life of the process; a process that never asks
// never holds it. Only a live process holds it, so a killed saver never blocks the next start.
class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();

    // A lock that cannot be taken at all (no private runtime folder) is reported on stderr and
    // counts as no other instance: the saver runs rather than never.
    bool anotherInstanceRunning() const;

private:
    mutable std::unique_ptr<ProcessLock> lock_;
};

}  // namespace platform
