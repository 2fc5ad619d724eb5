#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM into a close request of a window, through a self-pipe, so that
// `kill` ends the program the same way as the window's close button.
class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(QWidget* window);
    ~TerminationSignal() override;

private:
    void onSignal();

    QWidget* window_;
    QSocketNotifier* notifier_ = nullptr;
};
