#include "jetwriter/LongValueStore.h"

#include <algorithm>
#include <cstring>

#include "jetwriter/FileFormat.h"

namespace jet4 {

namespace {

constexpr int Chunk = LongValueStore::MaxRow - 4;  // a chain's row: the next row's place, then data

}  // namespace

std::uint32_t LongValueStore::newPage() {
    const std::uint32_t page = file_.newPage();
    initDataPage(file_.page(page), LvalMarker);
    return page;
}

std::uint32_t LongValueStore::storeRow(const unsigned char* data, int length) {
    int row = page_ == 0 ? -1 : addRow(file_.page(page_), data, length);
    if (row < 0) {
        page_ = newPage();
        row = addRow(file_.page(page_), data, length);
    }
    return pageRow(page_, row);
}

std::uint32_t LongValueStore::storeChain(const unsigned char* data, std::uint32_t length) {
    const std::uint32_t chunks = (length + Chunk - 1) / Chunk;
    const std::uint32_t first = file_.pageCount();
    chunk_.resize(MaxRow);
    for (std::uint32_t i = 0; i < chunks; ++i) {
        const std::uint32_t page = newPage();
        const std::uint32_t offset = i * Chunk;
        const auto size = static_cast<int>(std::min<std::uint32_t>(Chunk, length - offset));
        put32(chunk_.data(), i + 1 < chunks ? pageRow(page + 1, 0) : 0);
        std::memcpy(chunk_.data() + 4, data + offset, static_cast<std::size_t>(size));
        addRow(file_.page(page), chunk_.data(), size + 4);
    }
    return pageRow(first, 0);
}

}  // namespace jet4
