#pragma once

#include <QApplication>

class FailureReporter;

// The program's application object. Its event dispatch is the last net for
// failures: whatever an event handler raises and nobody caught is reported,
// the event counts as handled and the event loop goes on.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    // The reporter that failures escaping an event handler go to; without
    // one they are written to the error output.
    void setFailureReporter(FailureReporter* reporter) { reporter_ = reporter; }
    FailureReporter* failureReporter() const { return reporter_; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    FailureReporter* reporter_ = nullptr;
};

// Reports the failure being handled through the running application's
// reporter (or on the error output when there is none).
void reportFailureFromEvent(QObject* sender);

// Runs the body of an overridden event function so that no failure crosses
// Qt's own code on the way out.
template <typename Body>
void guardEvent(QObject* sender, Body body) {
    try {
        body();
    } catch (...) {
        reportFailureFromEvent(sender);
    }
}
