#include "jetwriter/FileBuilder.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace jet4 {

namespace {

constexpr int RowTableOffset = 14;  // first row offset on a data page
constexpr int MaxRowsPerPage = 255;
constexpr std::uint32_t MaxPages = 1u << 24;  // page numbers share 32 bits with a row byte

}  // namespace

std::uint32_t FileBuilder::newPage() {
    if (pages_ >= MaxPages) fail(QStringLiteral("the database would exceed 2^24 pages"));
    const qsizetype needed = (static_cast<qsizetype>(pages_) + 1) * PageSize;
    if (needed > file_.capacity()) file_.reserve(std::max(needed, 2 * file_.capacity()));
    file_.append(PageSize, '\0');
    return pages_++;
}

void initDataPage(unsigned char* p, std::uint32_t owner) {
    p[0] = 0x01;
    p[1] = 0x01;
    put16(p + 2, PageSize - RowTableOffset);
    put32(p + 4, owner);
}

int addRow(unsigned char* p, const unsigned char* row, int length) {
    const int rows = get16(p + 12);
    const int free = get16(p + 2);
    if (rows >= MaxRowsPerPage || length + 2 > free) return -1;
    const int end = rows == 0 ? PageSize : (get16(p + RowTableOffset + 2 * (rows - 1)) & 0x1FFF);
    const int start = end - length;
    std::memcpy(p + start, row, static_cast<std::size_t>(length));
    put16(p + RowTableOffset + 2 * rows, static_cast<std::uint32_t>(start));
    put16(p + 12, static_cast<std::uint32_t>(rows + 1));
    put16(p + 2, static_cast<std::uint32_t>(free - length - 2));
    return rows;
}

}  // namespace jet4
