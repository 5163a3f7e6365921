#include "platform/single_editor.h"

#include <QFile>

#include "platform/single_instance.h"

namespace platform {

SingleEditor::SingleEditor() {
    const QString folder = runtimeFolder();
    lock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/flickerdeck-settings.lock"));
    lock_->setStaleLockTime(0);
    // Only another holder keeps a window from opening; a folder that takes no lock does not.
    claimed_ = lock_->tryLock(0) || lock_->error() != QLockFile::LockFailedError;
    doorFile_ = folder + QStringLiteral("/flickerdeck-settings.knock");
    if (!claimed_) return;
    QFile door(doorFile_);
    if (door.open(QIODevice::WriteOnly | QIODevice::Truncate)) door.close();
    watcher_.addPath(doorFile_);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        // A file that was replaced instead of written drops out of the watch.
        if (!watcher_.files().contains(doorFile_)) watcher_.addPath(doorFile_);
        emit knocked();
    });
}

void SingleEditor::knock() const {
    QFile door(doorFile_);
    if (door.open(QIODevice::WriteOnly | QIODevice::Append)) door.write("\n");
}

}  // namespace platform
