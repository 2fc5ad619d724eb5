#pragma once

#include <cstdint>
#include <vector>

#include "jetwriter/FileBuilder.h"

// Usage maps: which pages hold a table's rows, and which have room. They are
// kept as rows on pages owned by no table, page 1 first.
namespace jet4 {

class MapWriter {
public:
    MapWriter(FileBuilder& file, std::uint32_t firstPage);

    // A map of `pages` (ascending): an inline bitmap when they span at most
    // 512 pages, otherwise a list of bitmap pages of type 0x05. An empty map
    // starts at `emptyStart`. Returns the map row's page/row.
    std::uint32_t addPageMap(const std::vector<std::uint32_t>& pages, std::uint32_t emptyStart);

    // An inline map of no pages, starting at `start`.
    std::uint32_t addEmptyMap(std::uint32_t start);

private:
    std::uint32_t add(const std::vector<unsigned char>& row);
    std::uint32_t addBitmapPages(const std::vector<std::uint32_t>& pages);

    FileBuilder& file_;
    std::uint32_t page_;
};

}  // namespace jet4
