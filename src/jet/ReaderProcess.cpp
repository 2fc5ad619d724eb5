#include "jet/ReaderProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>

#include <sys/wait.h>
#include <time.h>

ReaderProcess::~ReaderProcess() {
    if (!reaped_) {
        kill();
        waitBlocking();
    }
}

void ReaderProcess::kill() {
    if (reaped_) return;
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
}

bool ReaderProcess::waitFor(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    long sleepUs = 200;
    while (!tryReap()) {
        if (Clock::now() >= deadline) {
            kill();
            waitBlocking();
            return false;
        }
        const timespec pause{0, sleepUs * 1000};
        nanosleep(&pause, nullptr);
        sleepUs = std::min(sleepUs * 2, 20000L);
    }
    return true;
}

void ReaderProcess::waitBlocking() {
    while (!reaped_) {
        const pid_t r = ::waitpid(pid_, &status_, 0);
        if (r == pid_ || (r < 0 && errno != EINTR)) finishWait(r);
    }
}

bool ReaderProcess::signalled() const { return known_ && WIFSIGNALED(status_); }

int ReaderProcess::signalNumber() const { return WTERMSIG(status_); }

int ReaderProcess::exitCode() const {
    return known_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

bool ReaderProcess::tryReap() {
    for (;;) {
        const pid_t r = ::waitpid(pid_, &status_, WNOHANG);
        if (r == 0) return false;
        if (r < 0 && errno == EINTR) continue;
        finishWait(r);
        return true;
    }
}

void ReaderProcess::finishWait(pid_t r) {
    reaped_ = true;
    // ECHILD: a SIGCHLD handler elsewhere in the process reaped it first.
    known_ = r == pid_;
}
