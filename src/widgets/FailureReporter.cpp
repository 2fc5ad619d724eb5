#include "widgets/FailureReporter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

#include <cxxabi.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace {

// Lets go of a pressed button or a drag: whoever holds the mouse gives it up.
void cancelMouseCapture() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return;
    }
    QWidget* grabber = QWidget::mouseGrabber();
    if (!grabber) {
        return;
    }
    grabber->releaseMouse();
    if (auto* button = qobject_cast<QAbstractButton*>(grabber); button && button->isDown()) {
        button->setDown(false);
    }
}

QString demangled(const char* name) {
    if (!name) {
        return QStringLiteral("Exception");
    }
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return QString::fromUtf8(status == 0 && readable ? readable.get() : name);
}

QString programFileName() {
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).fileName();
}

QString hexDigits(std::uintptr_t value) {
    return QString::number(static_cast<qulonglong>(value), 16)
        .toUpper()
        .rightJustified(8, QLatin1Char('0'));
}

}  // namespace

FailureReporter::FailureReporter(MessageBoxes& boxes, std::function<void(int)> exitProcess)
    : boxes_(boxes), exitProcess_(std::move(exitProcess)) {}

std::function<void(int)> FailureReporter::defaultExit() {
    return [](int code) { std::exit(code); };
}

// Objects outside the family carry no raise address; the fatal-style box then
// names the code that reported them.
__attribute__((noinline)) void FailureReporter::ReportFailure(QObject* sender) {
    report(sender, std::current_exception(), __builtin_return_address(0));
}

__attribute__((noinline)) void FailureReporter::ReportFailure(QObject* sender,
                                                              std::exception_ptr failure) {
    report(sender, std::move(failure), __builtin_return_address(0));
}

void FailureReporter::report(QObject* sender, std::exception_ptr failure, const void* reportedAt) {
    if (!failure) {
        return;
    }
    cancelMouseCapture();
    try {
        std::rethrow_exception(failure);
    } catch (const EAbort&) {
        return;
    } catch (const Exception& familyFailure) {
        if (handler_) {
            handler_(sender, familyFailure);
        } else {
            ShowFailure(familyFailure);
        }
    } catch (...) {
        showFatalBox(failure, reportedAt);
    }
}

void FailureReporter::ShowFailure(const Exception& failure) {
    ApplicationMessageBox(messageWithPeriod(failure.message()), applicationTitle(),
                          MessageBoxes::Icon::Error, MessageBoxes::Buttons::Ok);
}

int FailureReporter::ApplicationMessageBox(const QString& text, const QString& caption,
                                           MessageBoxes::Icon icon, MessageBoxes::Buttons buttons) {
    return boxes_.applicationMessageBox(text, caption, icon, buttons);
}

void FailureReporter::ReportFatalFailure(std::exception_ptr failure, const void* address) {
    showFatalBox(failure, address);
    exitProcess_(1);
    std::_Exit(1);
}

void FailureReporter::showFatalBox(std::exception_ptr failure, const void* address) {
    char16_t buffer[1024];
    const int length = FatalFailureText(describeFailure(failure), address, buffer, 1024);
    boxes_.fatalMessageBox(QString::fromUtf16(buffer, length), QString::fromUtf16(kFatalCaption));
}

QString applicationTitle() { return QCoreApplication::applicationName().left(255); }

FailureDescription describeFailure(std::exception_ptr failure) {
    if (!failure) {
        return {QStringLiteral("Exception"), {}};
    }
    try {
        std::rethrow_exception(failure);
    } catch (const Exception& familyFailure) {
        return {QString::fromUtf8(familyFailure.className()), familyFailure.message()};
    } catch (const std::exception& other) {
        return {demangled(typeid(other).name()), {}};
    } catch (...) {
        const std::type_info* type = abi::__cxa_current_exception_type();
        return {demangled(type ? type->name() : nullptr), {}};
    }
}

QString FatalFailureText(const FailureDescription& failure, const void* address) {
    QString module;
    std::uintptr_t offset = 0;
    Dl_info info{};
    if (address && dladdr(address, &info) != 0) {
        module = QFileInfo(QString::fromLocal8Bit(info.dli_fname ? info.dli_fname : "")).fileName();
        offset = reinterpret_cast<std::uintptr_t>(address) -
                 reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        if (module.isEmpty()) {
            module = programFileName();
        }
    } else {
        module = programFileName();
        offset = reinterpret_cast<std::uintptr_t>(address) - 0x1000;
    }
    const QString& message = failure.message;
    const bool period = !message.isEmpty() && message.back() != QLatin1Char('.');
    return QStringLiteral("Exception ") + failure.className + QStringLiteral(" in module ") +
           module + QStringLiteral(" at ") + hexDigits(offset) + QStringLiteral(".\r\n") + message +
           (period ? QStringLiteral(".") : QString()) + QStringLiteral("\r\n");
}

QString FatalFailureText(const Exception* failure, const void* address) {
    if (!failure) {
        return FatalFailureText(FailureDescription{QStringLiteral("Exception"), {}}, address);
    }
    return FatalFailureText(
        FailureDescription{QString::fromUtf8(failure->className()), failure->message()}, address);
}

namespace {

int copyCut(const QString& text, char16_t* buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    qsizetype length = std::min<qsizetype>(text.size(), size - 1);
    // A cut never leaves half of a surrogate pair behind.
    if (length < text.size() && length > 0 && text.at(length - 1).isHighSurrogate()) {
        --length;
    }
    std::copy_n(text.utf16(), length, buffer);
    buffer[length] = u'\0';
    return static_cast<int>(length);
}

}  // namespace

int FatalFailureText(const FailureDescription& failure, const void* address, char16_t* buffer,
                     int size) {
    return copyCut(FatalFailureText(failure, address), buffer, size);
}

int FatalFailureText(const Exception* failure, const void* address, char16_t* buffer, int size) {
    return copyCut(FatalFailureText(failure, address), buffer, size);
}

QString messageWithPeriod(const QString& message) {
    // The period is added after any character that sorts after it: letters,
    // digits, "/" and everything outside ASCII, but not after a blank, ")",
    // quotation marks, "!", "," or "-", which all come before it.
    if (!message.isEmpty() && message.back().unicode() > u'.') {
        return message + QLatin1Char('.');
    }
    return message;
}
