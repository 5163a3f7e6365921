#include "platform/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cerrno>

namespace platform {
namespace {

constexpr mode_t kWrittenByOthers = S_IWGRP | S_IWOTH;

bool isOwnFolder(const struct stat& status) {
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid();
}

}  // namespace

bool makePrivateFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno == ENOENT) {
        const QString parent = QFileInfo(path).path();
        if (parent == path || !QDir().mkpath(parent)) return false;
        ::mkdir(name.constData(), 0700);
    }
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0 || !isOwnFolder(status)) return false;
    if ((status.st_mode & kWrittenByOthers) == 0) return true;
    return ::chmod(name.constData(), status.st_mode & 07777 & ~kWrittenByOthers) == 0;
}

bool isPrivateFolder(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && isOwnFolder(status) &&
           (status.st_mode & kWrittenByOthers) == 0;
}

int openRegularFile(const QString& path, int flags) {
    const QByteArray name = QFile::encodeName(path);
    // Looked at before opening, so that no device is ever opened (for some, opening alone acts).
    struct stat before {};
    if (::lstat(name.constData(), &before) == 0 ? !S_ISREG(before.st_mode) : !(flags & O_CREAT))
        return -1;
    const int fd = ::open(name.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat opened {};
    if (fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode)) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes) {
    const int fd = openRegularFile(path, O_RDONLY);
    if (fd < 0) return std::nullopt;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    if (file.size() > maxBytes) return std::nullopt;
    QByteArray contents = file.read(maxBytes + 1);
    if (contents.size() > maxBytes) return std::nullopt;
    return contents;
}

bool replaceFile(const QString& path, const QByteArray& contents, Flush flush) {
    QTemporaryFile written(path + QStringLiteral(".XXXXXX"));
    if (!written.open() || written.write(contents) != contents.size() || !written.flush() ||
        (flush == Flush::Yes && ::fsync(written.handle()) != 0))
        return false;
    if (::rename(QFile::encodeName(written.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        return false;
    written.setAutoRemove(false);
    return true;
}

QString runtimeFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime)) return runtime;
    const QString own =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/flickerdeck";
    return QDir::isAbsolutePath(own) && makePrivateFolder(own) ? own : QString();
}

}  // namespace platform
