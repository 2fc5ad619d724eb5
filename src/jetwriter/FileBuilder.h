#pragma once

#include <QByteArray>

#include <cstdint>
#include <utility>

#include "jetwriter/FileFormat.h"

// The file being built, page by page, and rows stored on its data pages.
namespace jet4 {

class FileBuilder {
public:
    // Appends an empty page and returns its number.
    std::uint32_t newPage();
    unsigned char* page(std::uint32_t n) {
        return reinterpret_cast<unsigned char*>(file_.data()) +
               static_cast<qsizetype>(n) * PageSize;
    }
    std::uint32_t pageCount() const { return pages_; }
    QByteArray take() { return std::move(file_); }

private:
    QByteArray file_;
    std::uint32_t pages_ = 0;
};

// The owner of long-value pages, in the place of a table's definition page.
constexpr std::uint32_t LvalMarker = 0x4C41564C;  // "LVAL"

// Makes `p` an empty data page of `owner` (a table's definition page, LvalMarker or 0).
void initDataPage(unsigned char* p, std::uint32_t owner);

// Stores a row below the lowest one on the page. Returns its index, or -1
// when the page has no room for it.
int addRow(unsigned char* p, const unsigned char* row, int length);

}  // namespace jet4
