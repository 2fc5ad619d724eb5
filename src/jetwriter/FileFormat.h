#pragma once

#include <QString>

#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "jet/JetHeader.h"

// What every part of the writer shares: the page size, the little-endian
// stores, page/row pointers and the refusal of a definition.
namespace jet4 {

constexpr int PageSize = JetHeader::PageSize;

inline void put16(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

inline void putDouble(unsigned char* p, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(bits >> (8 * i));
}

inline int get16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// A row's place: its page in the top 24 bits, its index on the page below.
inline std::uint32_t pageRow(std::uint32_t page, int row) {
    return (page << 8) | static_cast<std::uint32_t>(row);
}

// A definition the file cannot hold.
[[noreturn]] inline void fail(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

}  // namespace jet4
