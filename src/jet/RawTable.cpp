#include "jet/RawTable.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

int findColumn(const std::vector<RawColumn>& columns, const QString& name) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QChar* RawTable::reserveText(qsizetype units) {
    if (units > qsizetype(NullBit - 1) - used_) {
        throw std::length_error("table text exceeds 2^31 UTF-16 units");
    }
    if (text_.size() - used_ < units) {
        // Grows by half again; large blocks are moved by the allocator's
        // remapping rather than copied.
        const qsizetype room = std::max<qsizetype>(
            {used_ + units, text_.size() + text_.size() / 2, qsizetype(1) << 16});
        text_.resize(std::min<qsizetype>(room, qsizetype(NullBit - 1)));
    }
    return text_.data() + used_;
}

void RawTable::endCell(qsizetype used, bool null) {
    used_ = used;
    ends_.push_back(static_cast<std::uint32_t>(used_) | (null ? NullBit : 0));
}

void RawTable::appendCell(QStringView text, bool null) {
    if (null || text.isEmpty()) {
        endCell(used_, null);
        return;
    }
    QChar* out = reserveText(text.size());
    std::copy_n(text.data(), text.size(), out);
    endCell(used_ + text.size(), false);
}

namespace {

// Well-formed UTF-8 to UTF-16, written to `out`; nullptr at the first byte
// that does not belong to a well-formed sequence (the caller then decodes the
// text the slow way). Runs of ASCII go eight bytes at a time; Turkish letters
// take the two-byte branch.
char16_t* decodeWellFormed(const unsigned char* p, const unsigned char* end, char16_t* out) {
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                for (int i = 0; i < 8; ++i) out[i] = p[i];
                p += 8;
                out += 8;
                continue;
            }
        }
        const unsigned c = *p;
        if (c < 0x80) {
            *out++ = static_cast<char16_t>(c);
            ++p;
        } else if (c >= 0xC2 && c < 0xE0) {
            if (end - p < 2 || (p[1] & 0xC0) != 0x80) return nullptr;
            *out++ = static_cast<char16_t>(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (c >= 0xE0 && c < 0xF0) {
            if (end - p < 3 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return nullptr;
            const unsigned u = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            // Overlong forms and surrogates are not well-formed.
            if (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF)) return nullptr;
            *out++ = static_cast<char16_t>(u);
            p += 3;
        } else {
            // Four-byte sequences are rare: the slow way has them.
            return nullptr;
        }
    }
    return out;
}

}  // namespace

void RawTable::appendUtf8(const char* data, qsizetype size) {
    // UTF-8 never takes fewer bytes than UTF-16 code units.
    QChar* const start = reserveText(size);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (char16_t* end = decodeWellFormed(bytes, bytes + size, reinterpret_cast<char16_t*>(start))) {
        endCell(used_ + (end - reinterpret_cast<char16_t*>(start)), false);
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QChar* const end = utf8.appendToBuffer(start, QByteArrayView(data, size));
    endCell(used_ + (end - start), false);
}

namespace {

// Gives the whole pages of [data, data + bytes) back to the system: memory
// that is read for the last time need not stay resident until it is freed.
void releasePages(const void* data, std::size_t bytes) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(page - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

}  // namespace

void RawTable::appendRows(RawTable&& other) {
    if (other.ends_.empty()) return;
    const qsizetype base = used_;
    if (other.used_ > qsizetype(NullBit - 1) - used_) {
        throw std::length_error("table text exceeds 2^31 UTF-16 units");
    }
    // Exactly the room needed: nothing follows.
    if (text_.size() - used_ < other.used_) text_.resize(used_ + other.used_);
    // Copied a piece at a time, each piece of `other` let go once copied: the
    // two halves of a large table are not held twice at any moment.
    constexpr qsizetype Piece = qsizetype(4) << 20;
    for (qsizetype done = 0; done < other.used_; done += Piece) {
        const qsizetype length = std::min(Piece, other.used_ - done);
        std::copy_n(other.text_.constData() + done, length, text_.data() + used_ + done);
        releasePages(other.text_.constData() + done,
                     static_cast<std::size_t>(length) * sizeof(QChar));
    }
    used_ += other.used_;
    ends_.reserve(ends_.size() + other.ends_.size());
    for (const std::uint32_t end : other.ends_) {
        ends_.push_back((end & NullBit) | ((end & ~NullBit) + static_cast<std::uint32_t>(base)));
    }
    other = RawTable();
}

void RawTable::squeeze() {
    text_.resize(used_);
    text_.squeeze();
}
