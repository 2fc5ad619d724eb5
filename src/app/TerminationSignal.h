#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// The first thing the program does: from here on a termination request is
// only recorded, until a TerminationSignal takes it over and acts on it, so
// that a request during start-up ends the program as a later one does. (The
// signal is not blocked instead: the threads that start-up makes would
// inherit the block.)
void recordEarlyTermination();

// Turns SIGTERM into the end of the program, through a self-pipe, whatever the
// program is waiting on. When the event loop sees the request it runs
// `onRequest` (so that no new box waits on anyone) and leaves every running
// event loop, which ends every open message box, dialog and pop-up menu; a
// loop started after that returns at once. What runs next is the start-up code's
// choice: it asks `requested()`, which is true from the moment the signal
// comes, even before any event loop has seen it.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(std::function<void()> onRequest = {});
    ~TerminationSignal() override;

    bool requested() const;

private:
    void onSignal();

    std::function<void()> onRequest_;
    QSocketNotifier* notifier_ = nullptr;
};
