#pragma once

#include <cstdint>
#include <vector>

#include "jetwriter/FileBuilder.h"

// Memo values too long for their row, stored as rows of long-value pages.
namespace jet4 {

class LongValueStore {
public:
    // The most one long-value row holds.
    static constexpr int MaxRow = 4076;

    explicit LongValueStore(FileBuilder& file) : file_(file) {}

    // Stores a value of at most MaxRow bytes as one row, on the current
    // long-value page while it has room. Returns the row's page/row.
    std::uint32_t storeRow(const unsigned char* data, int length);

    // A value longer than one long-value row: a chain of rows, one page each,
    // every row starting with the page/row of the next (0 ends the chain).
    // Returns the first row's page/row.
    std::uint32_t storeChain(const unsigned char* data, std::uint32_t length);

private:
    std::uint32_t newPage();

    FileBuilder& file_;
    std::uint32_t page_ = 0;  // the current page; 0 before the first value
    std::vector<unsigned char> chunk_;
};

}  // namespace jet4
