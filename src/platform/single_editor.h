#pragma once

#include <QFileSystemWatcher>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace platform {

// One configuration window per user at a time. The first process to ask holds the claim for its
// life (a claim left by a killed process is taken over at once); a later one only knocks: it
// touches a file the holder watches, and the holder's window comes to the front.
class SingleEditor : public QObject {
    Q_OBJECT
public:
    SingleEditor();

    // True unless another process holds the claim; where no lock can be made at all (a runtime
    // folder that is not writable) every window opens, as without the claim.
    bool claimed() const { return claimed_; }

    // From a process without the claim: asks the holder to show its window.
    void knock() const;

signals:
    void knocked();

private:
    std::unique_ptr<QLockFile> lock_;
    QString doorFile_;
    QFileSystemWatcher watcher_;
    bool claimed_ = false;
};

}  // namespace platform
