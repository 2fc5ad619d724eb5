#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "jet/RawTable.h"

// The binary form in which meslek-reader sends a table to the program over a
// pipe. Every integer is little-endian.
//
//   header   8 bytes magic "MKTS\r\n\x1a\n", u16 version (1)
//   columns  'C', u16 count (1..255), per column:
//              u16 name length, UTF-8 name, u8 Jet type code,
//              u8 flags (bit 0: auto-increment; bit 1: values not read, every
//              cell comes as NULL), u16 declared size in bytes
//   row      'R', per column: u32 length (0xFFFFFFFF: NULL), then that many UTF-8 bytes
//   end      'E', u64 number of rows sent
//   error    'X', u8 StreamError code, u16 detail length, UTF-8 detail
//
// A stream is a header, then either an error record, or a column record
// followed by rows and then an end record or an error record. Nothing may
// follow the end or error record.
namespace TableStream {

inline constexpr char kMagic[8] = {'M', 'K', 'T', 'S', '\r', '\n', '\x1a', '\n'};
inline constexpr std::uint16_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = sizeof(kMagic) + 2;

inline constexpr char kColumnsTag = 'C';
inline constexpr char kRowTag = 'R';
inline constexpr char kEndTag = 'E';
inline constexpr char kErrorTag = 'X';

inline constexpr unsigned kAutoIncrementFlag = 1;
inline constexpr unsigned kValuesNotReadFlag = 2;

inline constexpr std::uint32_t kNullLength = 0xFFFFFFFFu;
inline constexpr std::size_t kMaxColumns = 255;
inline constexpr std::size_t kMaxNameBytes = 1024;
inline constexpr std::size_t kMaxDetailBytes = 4096;
inline constexpr std::size_t kMaxCellBytes = 1u << 20;
inline constexpr std::size_t kMaxRowBytes = 16u << 20;

}  // namespace TableStream

// Why the reader could not send the table.
enum class StreamError : std::uint8_t {
    Usage = 1,              // wrong arguments
    FileNotFound = 2,       //
    NotAFile = 3,           //
    CannotOpen = 4,         // detail: the errno value in decimal
    NotADatabase = 5,       // libmdb refused to open the file
    CatalogUnreadable = 6,  // MSysObjects could not be read
    TableNotFound = 7,      //
    TableUnreadable = 8,    // table definition, usage map or columns damaged; detail says which
    OutOfMemory = 9,        //
    Internal = 10,          // anything else; detail says what
    Truncated = 11,         // pages the file needs lie beyond its end; detail says which
};
inline constexpr std::uint8_t kLastStreamError = static_cast<std::uint8_t>(StreamError::Truncated);

// A malformed stream. The reason is a short Turkish phrase.
class TableStreamError : public std::runtime_error {
public:
    explicit TableStreamError(const QString& reason);
    QString reason() const { return QString::fromUtf8(what()); }
};

struct StreamColumn {
    std::string name;  // UTF-8
    int jetType = 0;
    bool autoIncrement = false;
    int size = 0;
    bool valuesRead = true;  // false: every cell of the column comes as a null
};

// Builds a stream in a growing buffer and, when given an fd,
// writes it out in large pieces. Over-long names, details and cells are cut
// to the limits, so the output is always something the decoder accepts.
class TableStreamEncoder {
public:
    // fd < 0 keeps the whole stream in memory (see buffer()).
    explicit TableStreamEncoder(int fd = -1, std::size_t flushThreshold = 256 * 1024);

    void header();
    void columns(const std::vector<StreamColumn>& columns);

    void beginRow() {
        rowStart_ = buffer_.size();
        inRow_ = true;
        buffer_.push_back(TableStream::kRowTag);
    }
    void cell(const char* data, std::size_t size) {
        if (size > TableStream::kMaxCellBytes) size = TableStream::kMaxCellBytes;
        appendU32(static_cast<std::uint32_t>(size));
        buffer_.append(data, size);
    }
    void nullCell() { appendU32(TableStream::kNullLength); }
    void endRow() {
        inRow_ = false;
        if (fd_ >= 0 && buffer_.size() >= flushThreshold_) flush();
    }

    void end(std::uint64_t rowCount);
    // Drops a row that was begun but not ended.
    void error(StreamError code, std::string_view detail);

    // Writes the buffered bytes to the fd. Returns false once any
    // write has failed; later output is then discarded.
    bool flush();
    bool failed() const { return failed_; }

    const std::string& buffer() const { return buffer_; }

private:
    void appendU32(std::uint32_t value) {
        const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                               static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
        buffer_.append(bytes, 4);
    }
    void appendU16(std::uint16_t value);
    void appendText16(std::string_view text, std::size_t limit);

    int fd_;
    std::size_t flushThreshold_;
    bool failed_ = false;
    bool inRow_ = false;
    std::size_t rowStart_ = 0;
    std::string buffer_;
};

// Decodes a stream as it arrives. feed() consumes every complete record and
// keeps an incomplete one until the rest arrives; it throws TableStreamError
// as soon as the data cannot belong to a well-formed stream, and keeps
// throwing afterwards. Memory grows only with bytes actually received.
class TableStreamDecoder {
public:
    TableStreamDecoder();

    void feed(const char* data, std::size_t size);
    // The stream has ended (EOF): throws unless an end or error record was the last thing read.
    void finish() const;

    // An end record with the right row count has arrived.
    bool complete() const { return state_ == State::Ended; }
    // An error record has arrived.
    bool hasError() const { return state_ == State::ErrorReceived; }
    StreamError errorCode() const { return errorCode_; }
    const QString& errorDetail() const { return errorDetail_; }

    const RawTable& table() const { return table_; }
    RawTable takeTable() { return std::move(table_); }

private:
    enum class State { Header, Columns, Rows, Ended, ErrorReceived, Failed };

    // Each returns the bytes consumed, or 0 with need set to the total size
    // the record needs at least.
    std::size_t parse(const char* data, std::size_t size);
    std::size_t parseHeader(const char* data, std::size_t size, std::size_t& need);
    std::size_t parseColumns(const char* data, std::size_t size, std::size_t& need);
    std::size_t parseRow(const char* data, std::size_t size, std::size_t& need);
    std::size_t parseEnd(const char* data, std::size_t size, std::size_t& need);
    std::size_t parseError(const char* data, std::size_t size, std::size_t& need);
    [[noreturn]] void fail(const QString& reason);

    State state_ = State::Header;
    QString failReason_;
    std::string pending_;
    std::size_t needed_ = 0;
    RawTable table_;
    std::uint64_t rows_ = 0;
    StreamError errorCode_ = StreamError::Internal;
    QString errorDetail_;
};
