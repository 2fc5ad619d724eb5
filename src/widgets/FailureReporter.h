#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <exception>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

#include "exceptions/Exceptions.h"
#include "widgets/MessageBoxes.h"

// The two central failure reporters. `reportFailure` shows a failure and lets
// the program go on; `reportFatalFailure` shows the "Application Error" box
// and ends the program with exit code 1.
class FailureReporter {
public:
    // Takes over from ShowFailure for family failures other than EAbort.
    using FailureHandler = std::function<void(QObject* sender, const Exception& failure)>;

    // `exitProcess` ends the program after the fatal box; tests replace it.
    // It must not return (a replacement may throw); if it does, the process
    // ends at once with code 1.
    explicit FailureReporter(MessageBoxes& boxes,
                             std::function<void(int)> exitProcess = defaultExit());

    MessageBoxes& boxes() const { return boxes_; }
    void setFailureHandler(FailureHandler handler) { handler_ = std::move(handler); }

    // Called from a catch point with the object that caught the failure; reads
    // the failure being handled (std::current_exception()). Does nothing when
    // no failure is being handled.
    void ReportFailure(QObject* sender);
    // The same for a failure already in hand.
    void ReportFailure(QObject* sender, std::exception_ptr failure);
    void ShowFailure(const Exception& failure);
    int ApplicationMessageBox(const QString& text, const QString& caption, MessageBoxes::Icon icon,
                              MessageBoxes::Buttons buttons);
    // `address` is where the failure was raised; for family failures that is
    // their raiseAddress().
    [[noreturn]] void ReportFatalFailure(std::exception_ptr failure, const void* address);

    // std::exit(1): static clean-up runs, nothing more is shown.
    static std::function<void(int)> defaultExit();

private:
    void report(QObject* sender, std::exception_ptr failure, const void* reportedAt);
    // Steps 2 and 3 of the fatal report, shared with ReportFailure's handling
    // of objects outside the family.
    void showFatalBox(std::exception_ptr failure, const void* address);

    MessageBoxes& boxes_;
    std::function<void(int)> exitProcess_;
    FailureHandler handler_;
};

// The caption of the fatal report's box.
inline constexpr char16_t kFatalCaption[] = u"Application Error";

// The application title, the caption of the program's message boxes: the
// application name (set to "Tresvoli" at start-up), at most 255 characters.
QString applicationTitle();

// Kind name and message of any caught object as the fatal report shows them:
// family failures give their className() and message; other objects the
// (demangled) name of their type, or "Exception" when it is unknown, and an
// empty message.
struct FailureDescription {
    QString className;
    QString message;
};
FailureDescription describeFailure(std::exception_ptr failure);

// "Exception %s in module %s at %p.\r\n%s%s\r\n" into `buffer` (cut to size - 1
// characters and terminated); returns the length. `failure` may be null for
// objects outside the family, which then read as kind "Exception" with no message.
// The module is the one holding `address`, shown by its file name and the
// address's offset into it; an address in no module is shown less 0x1000,
// beside the program file's name.
int FatalFailureText(const Exception* failure, const void* address, char16_t* buffer, int size);
int FatalFailureText(const FailureDescription& failure, const void* address, char16_t* buffer,
                     int size);
QString FatalFailureText(const Exception* failure, const void* address);
QString FatalFailureText(const FailureDescription& failure, const void* address);

// The period rule of the report box: a message whose last character sorts
// after "." gets one appended.
QString messageWithPeriod(const QString& message);

namespace failure_detail {

template <typename Handler, typename Arguments, typename Leading>
struct InvocableWithLeading;
template <typename Handler, typename Arguments, std::size_t... I>
struct InvocableWithLeading<Handler, Arguments, std::index_sequence<I...>>
    : std::is_invocable<const Handler&, std::tuple_element_t<I, Arguments>...> {};

// Calls `handler` with as many of the leading arguments as it takes, the way
// Qt calls a slot that takes fewer arguments than its signal carries.
template <std::size_t Count, typename Handler, typename Arguments>
void invokeWithLeading(const Handler& handler, Arguments&& arguments) {
    using Tuple = std::remove_reference_t<Arguments>;
    if constexpr (InvocableWithLeading<Handler, Tuple, std::make_index_sequence<Count>>::value) {
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            handler(std::get<I>(std::forward<Arguments>(arguments))...);
        }
        (std::make_index_sequence<Count>{});
    } else {
        static_assert(Count > 0, "the handler cannot be called with the signal's arguments");
        if constexpr (Count > 0) {
            invokeWithLeading<Count - 1>(handler, std::forward<Arguments>(arguments));
        }
    }
}

}  // namespace failure_detail

// Wraps a handler so that no failure escapes into Qt: whatever it raises is
// passed to ReportFailure with `sender`. Like a slot, the handler may take
// fewer arguments than the wrapper is called with; the leading ones are passed.
template <typename Handler>
auto guarded(FailureReporter& reporter, QObject* sender, Handler handler) {
    return [&reporter, sender, handler](auto&&... args) {
        try {
            failure_detail::invokeWithLeading<sizeof...(args)>(
                handler, std::forward_as_tuple(std::forward<decltype(args)>(args)...));
        } catch (...) {
            reporter.ReportFailure(sender);
        }
    };
}
