#include "jet/ReaderFailure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "base/SystemErrorText.h"
#include "exceptions/Exceptions.h"
#include "jet/ProviderMessages.h"
#include "jet/TableStream.h"

namespace {

const QString File = QStringLiteral("/veri/liste.mdb");
const QString Table = QStringLiteral("meslekler");

// The message an error record from the reader turns into.
QString messageFor(StreamError code, const std::string& detail) {
    TableStreamEncoder encoder;
    encoder.header();
    encoder.error(code, detail);
    TableStreamDecoder decoder;
    decoder.feed(encoder.buffer().data(), encoder.buffer().size());
    EXPECT_TRUE(decoder.hasError());
    try {
        ReaderFailure::raiseStreamError(decoder, File, Table);
    } catch (const EOleException& e) {
        EXPECT_EQ(e.errorCode(), ResultCode::Fail);
        return e.message();
    }
    ADD_FAILURE() << "no exception";
    return {};
}

}  // namespace

// The reader names a failure with a code and a detail; the program's message
// depends on both: an errno sent as a number, an empty detail with a reason of
// its own, a detail shown as sent.
TEST(ReaderFailureTest, EachErrorRecordTellsItsCause) {
    namespace PM = ProviderMessages;
    const struct {
        StreamError code;
        std::string detail;
        QString message;
    } cases[] = {
        {StreamError::CannotOpen, std::to_string(EACCES), PM::noReadPermission(File)},
        {StreamError::CannotOpen, std::to_string(EPERM), PM::noReadPermission(File)},
        {StreamError::CannotOpen, std::to_string(EIO),
         PM::cannotOpenFile(File, systemErrorText(EIO))},
        {StreamError::CannotOpen, "13 sayfa", PM::cannotOpenFile(File, QStringLiteral("13 sayfa"))},
        {StreamError::FileNotFound, {}, PM::missingFile(File)},
        {StreamError::NotAFile, {}, PM::notAFile(File)},
        {StreamError::TableNotFound, {}, PM::tableMissing(Table, File)},
        {StreamError::Truncated,
         {},
         PM::incompleteFile(File, QStringLiteral("dosya beklenenden kısa"))},
        {StreamError::Truncated, "tablonun satırları 9. sayfada, dosya ise 4 sayfa",
         PM::incompleteFile(File,
                            QStringLiteral("tablonun satırları 9. sayfada, dosya ise 4 sayfa"))},
        {StreamError::TableUnreadable,
         {},
         PM::damagedFile(File, QStringLiteral("\"meslekler\" tablosu okunamadı"))},
        {StreamError::TableUnreadable, "tablonun sayfa haritası yok",
         PM::damagedFile(
             File, QStringLiteral("\"meslekler\" tablosu okunamadı: tablonun sayfa haritası yok"))},
        {StreamError::OutOfMemory,
         {},
         PM::damagedFile(File, QStringLiteral("okuyucunun belleği yetmedi"))},
        {StreamError::Usage, "kullanım",
         PM::readerFailed(QStringLiteral("okuyucu yanlış çağrıldı"))},
        {StreamError::Internal, {}, PM::damagedFile(File, QStringLiteral("okuyucu hata bildirdi"))},
        {StreamError::Internal, "libmdb", PM::damagedFile(File, QStringLiteral("libmdb"))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(messageFor(c.code, c.detail), TrimMessageEnd(c.message))
            << static_cast<int>(c.code) << " " << c.detail;
    }
}
