#include "platform/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

SingleInstance::SingleInstance() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    lock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/flickerdeck.lock"));
    lock_->setStaleLockTime(0);
}

bool SingleInstance::anotherInstanceRunning() const {
    if (!ownsLock_) ownsLock_ = lock_->tryLock(0);
    return !*ownsLock_;
}

}  // namespace platform
