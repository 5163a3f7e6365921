#include "platform/single_instance.h"

namespace platform {

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() = default;

bool SingleInstance::anotherInstanceRunning() const {
    if (!lock_) {
        lock_ = std::make_unique<ProcessLock>(QStringLiteral("flickerdeck.lock"));
        if (lock_->state() == ProcessLock::State::Unavailable)
            reportLockProblem(lock_->problem(),
                              QStringLiteral("another saver may run beside this one"));
    }
    return lock_->state() == ProcessLock::State::HeldElsewhere;
}

}  // namespace platform
