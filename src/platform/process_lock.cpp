#include "platform/process_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/private_files.h"

namespace platform {
namespace {

// The whole file, as an open file description's lock: it is not lost when this process closes
// some other descriptor of the same file, and a test through another descriptor sees it.
struct flock wholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

// A folder, a link, a FIFO, another user's file, or one this user cannot write: no live process
// of this user holds a lock through any of them. Empty when the way is clear, else why not.
QString clearLeftover(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) return {};
    if (S_ISREG(status.st_mode) && status.st_uid == ::geteuid() && (status.st_mode & S_IWUSR))
        return {};
    if ((S_ISDIR(status.st_mode) ? ::rmdir(name.constData()) : ::unlink(name.constData())) == 0)
        return {};
    return QStringLiteral("%1 is not a regular file, and cannot be removed (%2)")
        .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

QString reason(const QString& path) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

ProcessLock::ProcessLock(const QString& fileName) {
    const QString folder = runtimeFolder();
    if (folder.isEmpty()) {
        problem_ = QStringLiteral("no private folder for lock files (XDG_RUNTIME_DIR)");
        return;
    }
    const QString path = folder + u'/' + fileName;
    problem_ = clearLeftover(path);
    if (!problem_.isEmpty()) return;
    fd_ = openRegularFile(path, O_RDWR | O_CREAT);
    if (fd_ < 0) {
        problem_ = reason(path);
        return;
    }
    struct flock lock = wholeFile(F_WRLCK);
    if (::fcntl(fd_, F_OFD_SETLK, &lock) == 0) {
        state_ = State::Taken;
        return;
    }
    if (errno == EAGAIN || errno == EACCES)
        state_ = State::HeldElsewhere;
    else
        problem_ = reason(path);
    ::close(fd_);
    fd_ = -1;
}

ProcessLock::~ProcessLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool ProcessLock::isHeld(const QString& fileName) {
    const QString folder = runtimeFolder();
    const int fd = folder.isEmpty() ? -1 : openRegularFile(folder + u'/' + fileName, O_RDONLY);
    if (fd < 0) return false;
    struct flock probe = wholeFile(F_WRLCK);
    const bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

void reportLockProblem(const QString& problem, const QString& consequence) {
    std::fprintf(stderr, "flickerdeck: cannot take a lock: %s; %s\n", qPrintable(problem),
                 qPrintable(consequence));
}

}  // namespace platform
