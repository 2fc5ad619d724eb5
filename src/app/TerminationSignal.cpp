#include "app/TerminationSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {

// The write end of the self-pipe and the request flag: the only state a
// signal handler may touch.
int signalSocket[2] = {-1, -1};
volatile std::sig_atomic_t terminationRequested = 0;
// A request that came before any TerminationSignal existed.
volatile std::sig_atomic_t earlyRequest = 0;

void onEarlyTerm(int) { earlyRequest = 1; }

void onTerm(int) {
    terminationRequested = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
}

}  // namespace

void recordEarlyTermination() {
    struct sigaction action = {};
    action.sa_handler = onEarlyTerm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
}

TerminationSignal::TerminationSignal(std::function<void()> onRequest)
    : onRequest_(std::move(onRequest)) {
    terminationRequested = 0;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSocket) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignal::onSignal);
    struct sigaction action = {};
    action.sa_handler = onTerm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    // A request recorded during start-up is acted on as if it came now.
    if (earlyRequest) {
        earlyRequest = 0;
        onTerm(SIGTERM);
    }
}

TerminationSignal::~TerminationSignal() {
    ::signal(SIGTERM, SIG_DFL);
    if (signalSocket[0] >= 0) ::close(signalSocket[0]);
    if (signalSocket[1] >= 0) ::close(signalSocket[1]);
    signalSocket[0] = signalSocket[1] = -1;
}

bool TerminationSignal::requested() const { return terminationRequested != 0; }

void TerminationSignal::onSignal() {
    char bytes[16];
    while (::read(signalSocket[1], bytes, sizeof bytes) > 0) {
    }
    if (onRequest_) onRequest_();
    // Leaves every running event loop, the ones of open boxes, dialogs and
    // pop-up menus included: each returns as if dismissed.
    QCoreApplication::exit(0);
}
