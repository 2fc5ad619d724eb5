#include "jet/RawTable.h"

#include <QStringDecoder>

#include <algorithm>
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

void RawTable::appendUtf8(const char* data, qsizetype size) {
    // UTF-8 never takes fewer bytes than UTF-16 code units.
    QChar* const start = reserveText(size);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QChar* const end = utf8.appendToBuffer(start, QByteArrayView(data, size));
    endCell(used_ + (end - start), false);
}

void RawTable::squeeze() {
    text_.resize(used_);
    text_.squeeze();
}
