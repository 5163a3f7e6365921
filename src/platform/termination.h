#pragma once

#include <QObject>
#include <functional>

namespace platform {

// From this call on, SIGTERM, SIGINT and SIGHUP no longer end the process by themselves: each
// is kept until a handler below takes it, so one that comes while the program is still starting
// up is taken as soon as its event loop runs. SIGUSR1 is ignored from then on. Call it first
// thing in main.
void catchTerminationRequests();

// Runs `handler` on the GUI thread when the process is asked to end (SIGTERM, SIGINT, SIGHUP),
// so that a host ending the saver gets the same exit as a key press: player stopped, pointer
// shown. The signal handler itself only writes one byte to a pipe.
void onTerminationRequest(QObject* context, std::function<void()> handler);

}  // namespace platform
