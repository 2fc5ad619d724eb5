#include "failure/Exceptions.h"

// Kept out of line so that __builtin_return_address(0) names the code that
// raised the failure rather than a constructor inlined into it.
__attribute__((noinline)) Exception::Exception(QString message)
    : message_(std::move(message)), raiseAddress_(__builtin_return_address(0)) {}

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

EAbort::EAbort() : Exception(QStringLiteral("Operation aborted")) {}

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

EOleSysError::EOleSysError(QString message, std::int32_t errorCode)
    : EOleError(message.isEmpty() ? TrimMessageEnd(textForCode(errorCode)) : std::move(message)),
      errorCode_(errorCode) {}

EOleException::EOleException(const QString& description, std::int32_t errorCode, QString source,
                             QString helpFile)
    : EOleSysError(TrimMessageEnd(description), errorCode),
      source_(std::move(source)),
      helpFile_(std::move(helpFile)) {}

EDatabaseError EDatabaseError::named(const QString& component, const QString& message) {
    return EDatabaseError(QStringLiteral("%1: %2").arg(component, message));
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
