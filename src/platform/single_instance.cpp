#include "platform/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

QString runtimeFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

SingleInstance::SingleInstance() {
    lock_ = std::make_unique<QLockFile>(runtimeFolder() + QStringLiteral("/flickerdeck.lock"));
    lock_->setStaleLockTime(0);
}

bool SingleInstance::anotherInstanceRunning() const {
    if (!ownsLock_) ownsLock_ = lock_->tryLock(0);
    return !*ownsLock_;
}

}  // namespace platform
