#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "e2e/throwaway_user.h"

// A headless sway of a throwaway user (sway refuses to run as root): software rendering, no
// input devices but a virtual pointer and keyboard, XWayland on. It runs in mount and network
// namespaces of its own, where XWayland's display cannot meet another test's X server.
namespace e2e {

class SwaySession {
public:
    SwaySession() = default;
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // Empty when it runs, else why not (a reason to skip).
    QString start();

    // The folder the user owns, for the files its programs read and write.
    QString home() const { return home_.path(); }

    // A command as the user inside the session, with nothing of the test's environment but
    // `environment` (NAME=value) added to the session's own.
    QStringList inside(const QStringList& command, const QStringList& environment = {}) const;
    // Runs it to its end; true when it ended with status 0.
    bool run(const QStringList& command) const;

    // The outputs side by side, with the pointer shown as it is.
    QImage screenshot() const;

private:
    QString waitUntilReady();

    QTemporaryDir home_;
    std::unique_ptr<ThrowawayUser> user_;
    QProcess sway_;
    QProcess devices_;
    QString pid_;
    QString waylandDisplay_;
    QString xDisplay_;
};

}  // namespace e2e
