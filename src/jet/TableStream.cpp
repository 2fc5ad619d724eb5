#include "jet/TableStream.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

using namespace TableStream;

namespace {

std::uint16_t readU16(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t readU32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint64_t readU64(const char* p) {
    return static_cast<std::uint64_t>(readU32(p)) |
           (static_cast<std::uint64_t>(readU32(p + 4)) << 32);
}

// Cuts text to at most limit bytes without splitting a UTF-8 sequence.
std::string_view cutUtf8(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

TableStreamError::TableStreamError(const QString& reason)
    : std::runtime_error(reason.toUtf8().toStdString()) {}

// ---------------------------------------------------------------------------
// Encoder

TableStreamEncoder::TableStreamEncoder(int fd, std::size_t flushThreshold)
    : fd_(fd), flushThreshold_(flushThreshold) {
    if (fd_ >= 0) buffer_.reserve(flushThreshold_ + 64 * 1024);
}

void TableStreamEncoder::appendU16(std::uint16_t value) {
    const char bytes[2] = {static_cast<char>(value), static_cast<char>(value >> 8)};
    buffer_.append(bytes, 2);
}

void TableStreamEncoder::appendText16(std::string_view text, std::size_t limit) {
    const std::string_view cut = cutUtf8(text, limit);
    appendU16(static_cast<std::uint16_t>(cut.size()));
    buffer_.append(cut.data(), cut.size());
}

void TableStreamEncoder::header() {
    buffer_.append(kMagic, sizeof(kMagic));
    appendU16(kVersion);
}

void TableStreamEncoder::columns(const std::vector<StreamColumn>& columns) {
    buffer_.push_back(kColumnsTag);
    appendU16(static_cast<std::uint16_t>(columns.size()));
    for (const StreamColumn& column : columns) {
        appendText16(column.name, kMaxNameBytes);
        buffer_.push_back(static_cast<char>(column.jetType));
        buffer_.push_back(static_cast<char>((column.autoIncrement ? kAutoIncrementFlag : 0) |
                                            (column.valuesRead ? 0 : kValuesNotReadFlag)));
        appendU16(static_cast<std::uint16_t>(column.size));
    }
}

void TableStreamEncoder::end(std::uint64_t rowCount) {
    buffer_.push_back(kEndTag);
    appendU32(static_cast<std::uint32_t>(rowCount));
    appendU32(static_cast<std::uint32_t>(rowCount >> 32));
}

void TableStreamEncoder::error(StreamError code, std::string_view detail) {
    if (inRow_) {
        buffer_.resize(rowStart_);
        inRow_ = false;
    }
    buffer_.push_back(kErrorTag);
    buffer_.push_back(static_cast<char>(code));
    appendText16(detail, kMaxDetailBytes);
}

bool TableStreamEncoder::flush() {
    if (fd_ < 0) return !failed_;
    std::size_t done = 0;
    while (!failed_ && done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    buffer_.clear();
    return !failed_;
}

// ---------------------------------------------------------------------------
// Decoder

TableStreamDecoder::TableStreamDecoder() = default;

void TableStreamDecoder::fail(const QString& reason) {
    state_ = State::Failed;
    failReason_ = reason;
    pending_.clear();
    pending_.shrink_to_fit();
    throw TableStreamError(reason);
}

void TableStreamDecoder::feed(const char* data, std::size_t size) {
    if (state_ == State::Failed) throw TableStreamError(failReason_);
    if (size == 0) return;
    if (pending_.empty()) {
        const std::size_t used = parse(data, size);
        if (used < size) pending_.assign(data + used, size - used);
        return;
    }
    pending_.append(data, size);
    if (pending_.size() < needed_) return;
    const std::size_t used = parse(pending_.data(), pending_.size());
    pending_.erase(0, used);
}

void TableStreamDecoder::finish() const {
    switch (state_) {
        case State::Ended:
        case State::ErrorReceived:
            return;
        case State::Failed:
            throw TableStreamError(failReason_);
        case State::Header:
            if (pending_.empty()) throw TableStreamError(QStringLiteral("veri gelmedi"));
            [[fallthrough]];
        default:
            throw TableStreamError(QStringLiteral("veri yarıda kesildi"));
    }
}

std::size_t TableStreamDecoder::parse(const char* data, std::size_t size) {
    std::size_t pos = 0;
    while (pos < size) {
        const char* p = data + pos;
        const std::size_t left = size - pos;
        std::size_t need = 0;
        std::size_t used = 0;
        switch (state_) {
            case State::Header:
                used = parseHeader(p, left, need);
                break;
            case State::Columns:
                if (*p == kColumnsTag) {
                    used = parseColumns(p, left, need);
                } else if (*p == kErrorTag) {
                    used = parseError(p, left, need);
                } else {
                    fail(QStringLiteral("sütun bilgisi yerine başka bir kayıt geldi"));
                }
                break;
            case State::Rows:
                if (*p == kRowTag) {
                    used = parseRow(p, left, need);
                } else if (*p == kEndTag) {
                    used = parseEnd(p, left, need);
                } else if (*p == kErrorTag) {
                    used = parseError(p, left, need);
                } else {
                    fail(QStringLiteral("bilinmeyen kayıt türü"));
                }
                break;
            case State::Ended:
            case State::ErrorReceived:
                fail(QStringLiteral("son kayıttan sonra veri geldi"));
            case State::Failed:
                throw TableStreamError(failReason_);
        }
        if (used == 0) {
            needed_ = need;
            return pos;
        }
        pos += used;
    }
    needed_ = 0;
    return pos;
}

std::size_t TableStreamDecoder::parseHeader(const char* p, std::size_t n, std::size_t& need) {
    const std::size_t check = n < sizeof(kMagic) ? n : sizeof(kMagic);
    if (std::memcmp(p, kMagic, check) != 0) fail(QStringLiteral("tanınmayan başlık"));
    if (n < kHeaderSize) {
        need = kHeaderSize;
        return 0;
    }
    if (readU16(p + sizeof(kMagic)) != kVersion) fail(QStringLiteral("desteklenmeyen sürüm"));
    state_ = State::Columns;
    return kHeaderSize;
}

std::size_t TableStreamDecoder::parseColumns(const char* p, std::size_t n, std::size_t& need) {
    std::size_t pos = 1;
    if (n < pos + 2) {
        need = pos + 2;
        return 0;
    }
    const std::size_t count = readU16(p + pos);
    pos += 2;
    if (count == 0 || count > kMaxColumns) fail(QStringLiteral("geçersiz sütun sayısı"));

    // Check that the whole record is here before building anything.
    const std::size_t start = pos;
    for (std::size_t i = 0; i < count; ++i) {
        if (n < pos + 2) {
            need = pos + 2;
            return 0;
        }
        const std::size_t nameLength = readU16(p + pos);
        if (nameLength > kMaxNameBytes) fail(QStringLiteral("sütun adı çok uzun"));
        pos += 2 + nameLength;
        if (n < pos + 4) {
            need = pos + 4;
            return 0;
        }
        if ((static_cast<unsigned char>(p[pos + 1]) & ~(kAutoIncrementFlag | kValuesNotReadFlag)) !=
            0) {
            fail(QStringLiteral("geçersiz sütun bayrağı"));
        }
        pos += 4;
    }

    std::vector<RawColumn> columns(count);
    pos = start;
    for (RawColumn& column : columns) {
        const std::size_t nameLength = readU16(p + pos);
        pos += 2;
        column.name = QString::fromUtf8(p + pos, static_cast<qsizetype>(nameLength));
        pos += nameLength;
        column.jetType = static_cast<unsigned char>(p[pos]);
        column.autoIncrement = (p[pos + 1] & kAutoIncrementFlag) != 0;
        column.valuesRead = (p[pos + 1] & kValuesNotReadFlag) == 0;
        column.size = readU16(p + pos + 2);
        column.kind = fieldKindForJetType(column.jetType, column.autoIncrement);
        pos += 4;
    }
    table_.columns = std::move(columns);
    state_ = State::Rows;
    return pos;
}

std::size_t TableStreamDecoder::parseRow(const char* p, std::size_t n, std::size_t& need) {
    const std::size_t count = table_.columns.size();
    std::size_t pos = 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (n - pos < 4) {
            need = pos + 4;
            return 0;
        }
        const std::uint32_t length = readU32(p + pos);
        pos += 4;
        if (length == kNullLength) continue;
        if (length > kMaxCellBytes) fail(QStringLiteral("değer çok uzun"));
        if (pos + length > kMaxRowBytes) fail(QStringLiteral("satır çok uzun"));
        if (n - pos < length) {
            need = pos + length;
            return 0;
        }
        pos += length;
    }

    pos = 1;
    try {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t length = readU32(p + pos);
            pos += 4;
            if (length == kNullLength) {
                table_.appendNull();
            } else {
                table_.appendUtf8(p + pos, static_cast<qsizetype>(length));
                pos += length;
            }
        }
    } catch (const std::length_error&) {
        fail(QStringLiteral("tablo belleğe sığmayacak kadar büyük"));
    }
    ++rows_;
    return pos;
}

std::size_t TableStreamDecoder::parseEnd(const char* p, std::size_t n, std::size_t& need) {
    if (n < 9) {
        need = 9;
        return 0;
    }
    if (readU64(p + 1) != rows_) fail(QStringLiteral("satır sayısı tutmuyor"));
    table_.squeeze();
    state_ = State::Ended;
    return 9;
}

std::size_t TableStreamDecoder::parseError(const char* p, std::size_t n, std::size_t& need) {
    if (n < 4) {
        need = 4;
        return 0;
    }
    const auto code = static_cast<unsigned char>(p[1]);
    if (code == 0 || code > kLastStreamError) fail(QStringLiteral("bilinmeyen hata kodu"));
    const std::size_t length = readU16(p + 2);
    if (length > kMaxDetailBytes) fail(QStringLiteral("hata açıklaması çok uzun"));
    if (n < 4 + length) {
        need = 4 + length;
        return 0;
    }
    errorCode_ = static_cast<StreamError>(code);
    errorDetail_ = QString::fromUtf8(p + 4, static_cast<qsizetype>(length));
    state_ = State::ErrorReceived;
    return 4 + length;
}
