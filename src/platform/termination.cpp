#include "platform/termination.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

namespace platform {
namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void catchTerminationRequests() {
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
    // A host's "reset" (xsecurelock sends it when its password prompt closes): a saver has
    // nothing to reset and plays on, where the default action would end it.
    ::signal(SIGUSR1, SIG_IGN);
}

void onTerminationRequest(QObject* context, std::function<void()> handler) {
    catchTerminationRequests();
    if (signalPipe[0] < 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context,
                     [handler = std::move(handler)] {
                         char byte = 0;
                         [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
                         handler();
                     });
}

}  // namespace platform
