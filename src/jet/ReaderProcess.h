#pragma once

#include <sys/types.h>

// The running meslek-reader. Whatever happens, the destructor leaves neither
// a running reader nor a zombie behind.
class ReaderProcess {
public:
    explicit ReaderProcess(pid_t pid) : pid_(pid) {}
    ReaderProcess(const ReaderProcess&) = delete;
    ReaderProcess& operator=(const ReaderProcess&) = delete;
    ~ReaderProcess();

    // The reader runs in a process group of its own; this stops it and
    // anything it started.
    void kill();
    // Waits up to timeoutMs for the reader to exit on its own; kills it when
    // it does not. Returns true when it exited by itself.
    bool waitFor(int timeoutMs);
    void waitBlocking();

    bool signalled() const;
    int signalNumber() const;
    // The exit code, or -1 when it is not known (someone else reaped the reader).
    int exitCode() const;

private:
    bool tryReap();
    void finishWait(pid_t r);

    pid_t pid_;
    bool reaped_ = false;
    bool known_ = false;
    int status_ = 0;
};
