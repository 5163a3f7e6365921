#pragma once

#include <QFileSystemWatcher>
#include <QObject>

#include "platform/process_lock.h"

namespace platform {

// One configuration window per user at a time. The first process to ask holds the claim for its
// life (only a live process holds it); a later one only knocks: it touches a file the holder
// watches, and the holder's window comes to the front.
class SingleEditor : public QObject {
    Q_OBJECT
public:
    SingleEditor();

    // True unless another process holds the claim; where no claim can be made at all, every
    // window opens, as without the claim, and problem() says why.
    bool claimed() const { return lock_.state() != ProcessLock::State::HeldElsewhere; }
    QString problem() const { return lock_.problem(); }

    // From a process without the claim: asks the holder to show its window.
    void knock() const;

    // Whether a live process holds the claim, that is, has a configuration window open.
    static bool windowOpen();

signals:
    void knocked();

private:
    ProcessLock lock_;
    QString doorFile_;
    QFileSystemWatcher watcher_;
};

}  // namespace platform
