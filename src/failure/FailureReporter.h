#pragma once

#include <QObject>
#include <QString>

#include <exception>
#include <functional>

#include "failure/Exceptions.h"
#include "failure/MessageBoxes.h"

// The two central failure reporters. `reportFailure` shows a failure and lets
// the program go on; `reportFatalFailure` shows the "Application Error" box
// and ends the program with exit code 1.
class FailureReporter {
public:
    // `exitProcess` ends the program after the fatal box; tests replace it.
    explicit FailureReporter(MessageBoxes& boxes,
                             std::function<void(int)> exitProcess = defaultExit());

    MessageBoxes& boxes() const { return boxes_; }

    // Called from a catch point with the object that caught the failure; reads
    // the failure being handled (std::current_exception()).
    void ReportFailure(QObject* sender);
    // The same for a failure already in hand.
    void ReportFailure(QObject* sender, std::exception_ptr failure);
    void ShowFailure(const Exception& failure);
    int ApplicationMessageBox(const QString& text, const QString& caption,
                              MessageBoxes::Icon icon, MessageBoxes::Buttons buttons);
    [[noreturn]] void ReportFatalFailure(std::exception_ptr failure, const void* address);

    static std::function<void(int)> defaultExit();

private:
    MessageBoxes& boxes_;
    std::function<void(int)> exitProcess_;
};

// The application title, the caption of the program's message boxes.
QString applicationTitle();

// "Exception %s in module %s at %p.\r\n%s%s\r\n" into `buffer` (cut to size - 1
// characters); returns the length. `failure` may be null for objects outside the family.
int FatalFailureText(const Exception* failure, const void* address, char16_t* buffer, int size);
QString FatalFailureText(const Exception* failure, const void* address);

// The period rule of the report box: a message whose last character sorts
// after "." gets one appended.
QString messageWithPeriod(const QString& message);

// Wraps a handler so that no failure escapes into Qt: whatever it raises is
// passed to reportFailure with `sender`.
template <typename Handler>
auto guarded(FailureReporter& reporter, QObject* sender, Handler handler) {
    return [&reporter, sender, handler](auto&&... args) {
        try {
            handler(std::forward<decltype(args)>(args)...);
        } catch (...) {
            reporter.ReportFailure(sender);
        }
    };
}
