#include "e2e/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <string>

namespace e2e {
namespace {

constexpr int kStartTimeoutMs = 15000;

[[noreturn]] void execServer(int displayFd, pid_t parent) {
    // A ctest timeout kills the test process outright; the server must not outlive it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    const std::string fd = std::to_string(displayFd);
    // White root: wherever the saver's window does not cover the screen, it shows.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
           "tcp", "-wr", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
}

// Xvfb writes the display number and a newline once it accepts clients.
std::string readDisplayNumber(int fd) {
    std::string text;
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (text.find('\n') == std::string::npos && !deadline.hasExpired()) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(deadline.remainingTime())) <= 0) break;
        char buffer[16];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    const size_t end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(0, end);
}

}  // namespace

XvfbServer::~XvfbServer() {
    stop();
}

bool XvfbServer::start(QString* error) {
    int fds[2];
    if (pipe(fds) != 0) {
        *error = QStringLiteral("pipe() failed");
        return false;
    }
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        execServer(fds[1], parent);
    }
    close(fds[1]);
    const std::string number = pid_ > 0 ? readDisplayNumber(fds[0]) : std::string();
    close(fds[0]);
    if (number.empty()) {
        stop();
        *error = QStringLiteral("Xvfb did not report a display (is the xvfb package installed?)");
        return false;
    }
    display_ = QStringLiteral(":") + QString::fromStdString(number);
    return true;
}

void XvfbServer::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    display_.clear();
}

}  // namespace e2e
