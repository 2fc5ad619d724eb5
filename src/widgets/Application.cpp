#include "widgets/Application.h"

#include "widgets/Accessibility.h"

#include <cstdio>

#include "base/LargeBlocks.h"
#include "widgets/FailureReporter.h"

namespace {

void writeToErrorOutput(std::exception_ptr failure) {
    const FailureDescription description = describeFailure(failure);
    QString message = description.message;
    try {
        std::rethrow_exception(failure);
    } catch (const EAbort&) {
        return;
    } catch (const Exception&) {
    } catch (const std::exception& other) {
        message = QString::fromLocal8Bit(other.what());
    } catch (...) {
    }
    std::fprintf(stderr, "%s: %s\n", description.className.toLocal8Bit().constData(),
                 message.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    returnLargeBlocksAtOnce();
    installAccessibleFactory();
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        if (reporter_) {
            try {
                reporter_->ReportFailure(receiver, failure);
                return true;
            } catch (...) {
                // The report itself failed; fall through to the plain one.
            }
        }
        writeToErrorOutput(failure);
        return true;
    }
}

void reportFailureFromEvent(QObject* sender) {
    const std::exception_ptr failure = std::current_exception();
    auto* application = dynamic_cast<Application*>(QCoreApplication::instance());
    if (application != nullptr && application->failureReporter() != nullptr) {
        try {
            application->failureReporter()->ReportFailure(sender, failure);
            return;
        } catch (...) {
            // The report itself failed; fall back to the plain one.
        }
    }
    writeToErrorOutput(failure);
}
