#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

// Turns SIGTERM into a close request of a window, through a self-pipe, so that
// `kill` ends the program the same way as the window's close button. Installed
// before the window exists: a signal that comes early waits in the pipe until
// the event loop runs, and then closes the window.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    TerminationSignal();
    ~TerminationSignal() override;

    void setWindow(QWidget* window) { window_ = window; }

private:
    void onSignal();

    QPointer<QWidget> window_;
    QSocketNotifier* notifier_ = nullptr;
};
