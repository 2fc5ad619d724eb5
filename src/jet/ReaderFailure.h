#pragma once

#include <QString>

class ReaderProcess;
class TableStreamDecoder;

// Why a read through meslek-reader failed, told in the provider's words. Each
// raise throws EOleException with ResultCode::Fail; `shownFile` is the
// database's path as messages show it.
namespace ReaderFailure {

[[noreturn]] void raise(const QString& message);
// A pipe, a descriptor or the start of the reader failed with errno `error`.
[[noreturn]] void raiseReaderFailed(int error);

// A span of time as the messages give it: "5 saniye", "300 milisaniye".
QString secondsText(int ms);
// The reason for a stream that cannot be decoded.
QString malformed(const QString& detail);
// The reason for a reader that ended without an error record of its own.
QString unexpectedEnd(const ReaderProcess& reader);

// The error record that `decoder` received, as the provider's message.
[[noreturn]] void raiseStreamError(const TableStreamDecoder& decoder, const QString& shownFile,
                                   const QString& table);

// After both streams have ended: waits up to stallMs for the reader to exit
// and throws unless it exited by itself with status 0 after two complete
// streams. An error record speaks before a bad exit status; the first
// stream's before the second's.
void checkReaderEnd(ReaderProcess& reader, const TableStreamDecoder& first,
                    const TableStreamDecoder& second, int stallMs, const QString& shownFile,
                    const QString& table);

}  // namespace ReaderFailure
