#include "jet/ReaderFailure.h"

#include <cerrno>

#include "base/SystemErrorText.h"
#include "exceptions/Exceptions.h"
#include "jet/ProviderMessages.h"
#include "jet/ReaderProcess.h"
#include "jet/TableStream.h"

namespace ReaderFailure {

namespace {

// The reader could not open the file it was handed; `detail` is the errno
// value in decimal (anything else is shown as it came).
[[noreturn]] void raiseCannotOpen(const QString& detail, const QString& shownFile) {
    bool ok = false;
    const int error = detail.toInt(&ok);
    if (ok && (error == EACCES || error == EPERM)) {
        raise(ProviderMessages::noReadPermission(shownFile));
    }
    raise(ProviderMessages::cannotOpenFile(shownFile, ok ? systemErrorText(error) : detail));
}

}  // namespace

void raise(const QString& message) { throw EOleException(message, ResultCode::Fail); }

void raiseReaderFailed(int error) { raise(ProviderMessages::readerFailed(systemErrorText(error))); }

QString secondsText(int ms) {
    if (ms % 1000 == 0) return QStringLiteral("%1 saniye").arg(ms / 1000);
    return QStringLiteral("%1 milisaniye").arg(ms);
}

QString malformed(const QString& detail) {
    return QStringLiteral("okuyucunun gönderdiği veri bozuk: %1").arg(detail);
}

QString unexpectedEnd(const ReaderProcess& reader) {
    if (reader.signalled()) {
        return QStringLiteral("okuyucu beklenmedik biçimde sonlandı (sinyal %1)")
            .arg(reader.signalNumber());
    }
    if (reader.exitCode() >= 0) {
        return QStringLiteral("okuyucu beklenmedik biçimde sonlandı (çıkış kodu %1)")
            .arg(reader.exitCode());
    }
    return QStringLiteral("okuyucu beklenmedik biçimde sonlandı");
}

void raiseStreamError(const TableStreamDecoder& decoder, const QString& shownFile,
                      const QString& table) {
    const QString& detail = decoder.errorDetail();
    switch (decoder.errorCode()) {
        case StreamError::TableNotFound:
            raise(ProviderMessages::tableMissing(table, shownFile));
        case StreamError::FileNotFound:
            raise(ProviderMessages::missingFile(shownFile));
        case StreamError::NotAFile:
            raise(ProviderMessages::notAFile(shownFile));
        case StreamError::CannotOpen:
            raiseCannotOpen(detail, shownFile);
        case StreamError::Truncated:
            raise(ProviderMessages::incompleteFile(
                shownFile, detail.isEmpty() ? QStringLiteral("dosya beklenenden kısa") : detail));
        case StreamError::NotADatabase:
            raise(ProviderMessages::damagedFile(
                shownFile, QStringLiteral("dosya veritabanı olarak açılamadı")));
        case StreamError::CatalogUnreadable:
            raise(ProviderMessages::damagedFile(
                shownFile, QStringLiteral("sistem kataloğu (MSysObjects) okunamadı")));
        case StreamError::TableUnreadable:
            raise(ProviderMessages::damagedFile(
                shownFile,
                detail.isEmpty()
                    ? QStringLiteral("\"%1\" tablosu okunamadı").arg(table)
                    : QStringLiteral("\"%1\" tablosu okunamadı: %2").arg(table, detail)));
        case StreamError::OutOfMemory:
            raise(ProviderMessages::damagedFile(shownFile,
                                                QStringLiteral("okuyucunun belleği yetmedi")));
        case StreamError::Usage:
            raise(ProviderMessages::readerFailed(QStringLiteral("okuyucu yanlış çağrıldı")));
        case StreamError::Internal:
            break;
    }
    raise(ProviderMessages::damagedFile(
        shownFile, detail.isEmpty() ? QStringLiteral("okuyucu hata bildirdi") : detail));
}

void checkReaderEnd(ReaderProcess& reader, const TableStreamDecoder& first,
                    const TableStreamDecoder& second, int stallMs, const QString& shownFile,
                    const QString& table) {
    // The streams have ended; the reader should be exiting now.
    if (!reader.waitFor(stallMs)) {
        raise(ProviderMessages::damagedFile(
            shownFile, QStringLiteral("okuyucu %1 içinde sonlanmadı").arg(secondsText(stallMs))));
    }
    if (reader.signalled()) raise(ProviderMessages::damagedFile(shownFile, unexpectedEnd(reader)));
    const int exitCode = reader.exitCode();
    if (first.hasError()) {
        if (exitCode == 0) {
            raise(ProviderMessages::damagedFile(
                shownFile, malformed(QStringLiteral("hata kaydı ile başarı birlikte geldi"))));
        }
        raiseStreamError(first, shownFile, table);
    }
    if (exitCode > 0) raise(ProviderMessages::damagedFile(shownFile, unexpectedEnd(reader)));
    if (second.hasError()) raiseStreamError(second, shownFile, table);
    try {
        first.finish();
        second.finish();
    } catch (const TableStreamError& error) {
        raise(ProviderMessages::damagedFile(shownFile, malformed(error.reason())));
    }
}

}  // namespace ReaderFailure
