#pragma once

#include <sys/types.h>
#include <QString>
#include <QStringList>

namespace e2e {

// A private X server on a display number the server picks itself (-displayfd), so test
// processes running side by side never collide. Stopped when destroyed, and also when the test
// process dies without cleaning up.
class XServer {
public:
    XServer() = default;
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    ~XServer();

    // The server program and its options, without the display options.
    bool start(const QString& program, const QStringList& arguments, QString* error);
    void stop();

    // ":N", empty until started.
    QString display() const { return display_; }

private:
    pid_t pid_ = -1;
    QString display_;
};

// Xvfb at 1024x768, depth 24, white root window, no TCP.
bool startXvfb(XServer& server, QString* error);

}  // namespace e2e
