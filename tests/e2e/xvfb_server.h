#pragma once

#include <sys/types.h>
#include <QString>

namespace e2e {

// A private X server (1024x768, depth 24, white root window, no TCP) on a display number the
// server picks itself, so test processes running side by side never collide. Stopped when
// destroyed, and also when the test process dies without cleaning up.
class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer();

    bool start(QString* error);
    void stop();

    // ":N", empty until started.
    QString display() const { return display_; }

private:
    pid_t pid_ = -1;
    QString display_;
};

}  // namespace e2e
