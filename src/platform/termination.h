#pragma once

#include <QObject>
#include <functional>

namespace platform {

// Runs `handler` on the GUI thread when the process is asked to end (SIGTERM, SIGINT, SIGHUP),
// so that a host ending the saver gets the same exit as a key press: player stopped, pointer
// shown. The signal handler itself only writes one byte to a pipe. SIGUSR1 is ignored from then on.
void onTerminationRequest(QObject* context, std::function<void()> handler);

}  // namespace platform
