#include "e2e/x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <string>
#include <vector>

namespace e2e {
namespace {

constexpr int kStartTimeoutMs = 15000;

[[noreturn]] void execServer(const std::vector<std::string>& command, pid_t parent) {
    // A ctest timeout kills the test process outright; the server must not outlive it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv.front(), argv.data());
    _exit(127);
}

// The server writes the display number and a newline once it accepts clients.
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

XServer::~XServer() {
    stop();
}

bool XServer::start(const QString& program, const QStringList& arguments, QString* error) {
    int fds[2];
    if (pipe(fds) != 0) {
        *error = QStringLiteral("pipe() failed");
        return false;
    }
    // Built before the fork: the child only execs.
    std::vector<std::string> command{program.toStdString(), "-displayfd", std::to_string(fds[1])};
    for (const QString& argument : arguments) command.push_back(argument.toStdString());
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        execServer(command, parent);
    }
    close(fds[1]);
    const std::string number = pid_ > 0 ? readDisplayNumber(fds[0]) : std::string();
    close(fds[0]);
    if (number.empty()) {
        stop();
        *error = program + QStringLiteral(" did not report a display (is it installed?)");
        return false;
    }
    display_ = QStringLiteral(":") + QString::fromStdString(number);
    return true;
}

void XServer::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    display_.clear();
}

bool startXvfb(XServer& server, QString* error) {
    // White root: wherever the saver's windows do not cover the screen, it shows.
    return server.start(QStringLiteral("Xvfb"),
                        {"-screen", "0", "1024x768x24", "-nolisten", "tcp", "-wr", "-noreset"},
                        error);
}

}  // namespace e2e
