#include "jet/RawTable.h"

#include <QStringDecoder>

#include <algorithm>

int findColumn(const std::vector<RawColumn>& columns, const QString& name) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString TextArena::decodeUtf8(const char* data, qsizetype size) {
    // UTF-8 never takes fewer bytes than UTF-16 code units.
    if (room_ < size) {
        const qsizetype block = std::max<qsizetype>(qsizetype(1) << 20, size);
        blocks_.emplace_back(block, Qt::Uninitialized);
        free_ = blocks_.back().data();
        room_ = block;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QChar* const start = free_;
    free_ = utf8.appendToBuffer(free_, QByteArrayView(data, size));
    room_ -= free_ - start;
    return QString::fromRawData(start, free_ - start);
}
