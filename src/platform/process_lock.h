#pragma once

#include <QString>

// A lock the kernel keeps for this process while it holds its lock file open, and drops when the
// process ends, however it ends: nothing a dead holder left in the file, or in place of it, keeps
// a later process out.
namespace platform {

class ProcessLock {
public:
    enum class State { Taken, HeldElsewhere, Unavailable };

    // Tries once, at once, to take the lock on `fileName` in the runtime folder; whatever stands
    // there in place of a regular file of this user's is removed first.
    explicit ProcessLock(const QString& fileName);
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

    State state() const { return state_; }
    // Why the lock could not be taken at all; empty when it was taken or another process has it.
    QString problem() const { return problem_; }

    // Whether a live process holds the lock on `fileName` now; takes nothing.
    static bool isHeld(const QString& fileName);

private:
    int fd_ = -1;
    State state_ = State::Unavailable;
    QString problem_;
};

// One line on stderr: locks that cannot be taken are never passed over in silence.
void reportLockProblem(const QString& problem, const QString& consequence);

}  // namespace platform
