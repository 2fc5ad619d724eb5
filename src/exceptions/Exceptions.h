#pragma once

#include <QString>

#include <cstdint>
#include <exception>

// The failure family. Every failure the program raises is one of these; the
// reporters show the message and, for fatal ones, the class name and the
// address the failure was raised at.
//
// Every constructor of the family is kept out of line and takes the address
// it returns to, i.e. the code that raised the failure; the public ones pass
// it down to their base through the protected constructors taking `raisedAt`.
// A class added to the family must do the same.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    ~Exception() override;

    virtual const char* className() const { return "Exception"; }

    const QString& message() const { return message_; }
    std::int32_t helpContext() const { return helpContext_; }
    // Address of the code that constructed (raised) the failure.
    const void* raiseAddress() const { return raiseAddress_; }

    const char* what() const noexcept override;

protected:
    Exception(QString message, const void* raisedAt);
    void setMessage(QString message);

private:
    QString message_;
    std::int32_t helpContext_ = 0;
    const void* raiseAddress_ = nullptr;
    mutable QByteArray utf8_;
};

// Abandons an operation silently.
class EAbort : public Exception {
public:
    EAbort();
    const char* className() const override { return "EAbort"; }
};

class EOleError : public Exception {
public:
    explicit EOleError(QString message);
    const char* className() const override { return "EOleError"; }

protected:
    EOleError(QString message, const void* raisedAt);
};

// A platform component call that failed without a description of its own.
class EOleSysError : public EOleError {
public:
    // An empty message is replaced by the text for the code.
    EOleSysError(QString message, std::int32_t errorCode);
    const char* className() const override { return "EOleSysError"; }
    std::int32_t errorCode() const { return errorCode_; }

    // "OLE error %.8X" style text for a code without a known description.
    static QString textForCode(std::int32_t errorCode);

protected:
    EOleSysError(QString message, std::int32_t errorCode, const void* raisedAt);

private:
    std::int32_t errorCode_;
};

// The data provider reported a failure with a description.
class EOleException : public EOleSysError {
public:
    EOleException(const QString& description, std::int32_t errorCode, QString source = {},
                  QString helpFile = {});
    const char* className() const override { return "EOleException"; }
    const QString& source() const { return source_; }
    const QString& helpFile() const { return helpFile_; }

private:
    QString source_;
    QString helpFile_;
};

// A record set's own checks.
class EDatabaseError : public Exception {
public:
    explicit EDatabaseError(QString message);
    // "<component>: <message>", for failures raised on behalf of a named
    // component; the raise address is that of named's caller.
    static EDatabaseError named(const QString& component, const QString& message);
    const char* className() const override { return "EDatabaseError"; }

protected:
    EDatabaseError(QString message, const void* raisedAt);
};

// Removes trailing characters of code 32 or less and periods, repeatedly.
QString TrimMessageEnd(const QString& text);

// Result codes used for provider failures.
namespace ResultCode {
inline constexpr std::int32_t Fail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t NotRegistered = static_cast<std::int32_t>(0x80040154u);
}  // namespace ResultCode
