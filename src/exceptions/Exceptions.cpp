#include "exceptions/Exceptions.h"

// The public constructors are kept out of line so that
// __builtin_return_address(0) names the code that raised the failure rather
// than a constructor of a derived class or one inlined into the raiser.
#define RAISER __builtin_return_address(0)
#define OUT_OF_LINE __attribute__((noinline))

OUT_OF_LINE Exception::Exception(QString message) : Exception(std::move(message), RAISER) {}

Exception::Exception(QString message, const void* raisedAt)
    : message_(std::move(message)), raiseAddress_(raisedAt) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept {
    try {
        utf8_ = message_.toUtf8();
        return utf8_.constData();
    } catch (...) {
        return "Exception";
    }
}

void Exception::setMessage(QString message) { message_ = std::move(message); }

OUT_OF_LINE EAbort::EAbort() : Exception(QStringLiteral("Operation aborted"), RAISER) {}

OUT_OF_LINE EOleError::EOleError(QString message) : EOleError(std::move(message), RAISER) {}

EOleError::EOleError(QString message, const void* raisedAt)
    : Exception(std::move(message), raisedAt) {}

QString EOleSysError::textForCode(std::int32_t errorCode) {
    switch (static_cast<std::uint32_t>(errorCode)) {
        case 0x80004005u:
            return QStringLiteral("Belirtilmemiş hata");
        case 0x80040154u:
            return QStringLiteral("Sınıf kayıtlı değil");
        default:
            return QStringLiteral("OLE error ") +
                   QString::number(static_cast<std::uint32_t>(errorCode), 16)
                       .toUpper()
                       .rightJustified(8, QLatin1Char('0'));
    }
}

OUT_OF_LINE EOleSysError::EOleSysError(QString message, std::int32_t errorCode)
    : EOleSysError(std::move(message), errorCode, RAISER) {}

EOleSysError::EOleSysError(QString message, std::int32_t errorCode, const void* raisedAt)
    : EOleError(message.isEmpty() ? TrimMessageEnd(textForCode(errorCode)) : std::move(message),
                raisedAt),
      errorCode_(errorCode) {}

OUT_OF_LINE EOleException::EOleException(const QString& description, std::int32_t errorCode,
                                         QString source, QString helpFile)
    : EOleSysError(TrimMessageEnd(description), errorCode, RAISER),
      source_(std::move(source)),
      helpFile_(std::move(helpFile)) {}

OUT_OF_LINE EDatabaseError::EDatabaseError(QString message)
    : EDatabaseError(std::move(message), RAISER) {}

EDatabaseError::EDatabaseError(QString message, const void* raisedAt)
    : Exception(std::move(message), raisedAt) {}

OUT_OF_LINE EDatabaseError EDatabaseError::named(const QString& component, const QString& message) {
    return EDatabaseError(QStringLiteral("%1: %2").arg(component, message), RAISER);
}

QString TrimMessageEnd(const QString& text) {
    qsizetype end = text.size();
    while (end > 0) {
        const QChar c = text.at(end - 1);
        if (c.unicode() <= 32 || c == QLatin1Char('.')) {
            --end;
        } else {
            break;
        }
    }
    return text.left(end);
}
