#include "platform/single_editor.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/private_files.h"

namespace platform {
namespace {

const QString kClaim = QStringLiteral("flickerdeck-settings.lock");

}  // namespace

SingleEditor::SingleEditor() : lock_(kClaim) {
    if (lock_.state() == ProcessLock::State::Unavailable)
        reportLockProblem(lock_.problem(),
                          QStringLiteral("a second configuration window may open"));
    const QString folder = runtimeFolder();
    if (folder.isEmpty()) return;
    doorFile_ = folder + QStringLiteral("/flickerdeck-settings.knock");
    if (lock_.state() != ProcessLock::State::Taken || !replaceFile(doorFile_, {})) return;
    watcher_.addPath(doorFile_);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        // A file that was replaced instead of written drops out of the watch.
        if (!watcher_.files().contains(doorFile_)) watcher_.addPath(doorFile_);
        emit knocked();
    });
}

void SingleEditor::knock() const {
    const int door = doorFile_.isEmpty() ? -1 : openRegularFile(doorFile_, O_WRONLY | O_APPEND);
    if (door < 0) return;
    [[maybe_unused]] const auto written = ::write(door, "\n", 1);
    ::close(door);
}

bool SingleEditor::windowOpen() {
    return ProcessLock::isHeld(kClaim);
}

}  // namespace platform
