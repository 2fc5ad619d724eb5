#include "jetwriter/UsageMaps.h"

#include "jetwriter/FileFormat.h"

namespace jet4 {

namespace {

constexpr int InlineMapBytes = 64;
constexpr int InlineMapPages = InlineMapBytes * 8;
constexpr std::uint32_t PagesPerMapPage = (PageSize - 4) * 8;

}  // namespace

MapWriter::MapWriter(FileBuilder& file, std::uint32_t firstPage) : file_(file), page_(firstPage) {
    initDataPage(file_.page(page_), 0);
}

std::uint32_t MapWriter::add(const std::vector<unsigned char>& row) {
    int index = addRow(file_.page(page_), row.data(), static_cast<int>(row.size()));
    if (index < 0) {
        page_ = file_.newPage();
        initDataPage(file_.page(page_), 0);
        index = addRow(file_.page(page_), row.data(), static_cast<int>(row.size()));
    }
    return pageRow(page_, index);
}

std::uint32_t MapWriter::addPageMap(const std::vector<std::uint32_t>& pages,
                                    std::uint32_t emptyStart) {
    if (!pages.empty() && pages.back() - pages.front() >= InlineMapPages)
        return addBitmapPages(pages);
    const std::uint32_t start = pages.empty() ? emptyStart : pages.front();
    std::vector<unsigned char> row(5 + InlineMapBytes, 0);
    put32(row.data() + 1, start);
    for (std::uint32_t p : pages) row[5 + (p - start) / 8] |= 1u << ((p - start) % 8);
    return add(row);
}

// Type 1: the page numbers of bitmap pages, each covering PagesPerMapPage pages.
std::uint32_t MapWriter::addBitmapPages(const std::vector<std::uint32_t>& pages) {
    const std::uint32_t entries = pages.back() / PagesPerMapPage + 1;
    std::vector<unsigned char> row(1 + 4 * static_cast<std::size_t>(entries), 0);
    row[0] = 0x01;
    std::uint32_t bitmapPage = 0;
    std::uint32_t bitmapIndex = entries;  // none yet
    for (std::uint32_t p : pages) {
        const std::uint32_t index = p / PagesPerMapPage;
        if (index != bitmapIndex) {
            bitmapIndex = index;
            bitmapPage = file_.newPage();
            unsigned char* bitmap = file_.page(bitmapPage);
            bitmap[0] = 0x05;
            bitmap[1] = 0x01;
            put32(row.data() + 1 + 4 * index, bitmapPage);
        }
        const std::uint32_t bit = p % PagesPerMapPage;
        file_.page(bitmapPage)[4 + bit / 8] |= static_cast<unsigned char>(1u << (bit % 8));
    }
    return add(row);
}

std::uint32_t MapWriter::addEmptyMap(std::uint32_t start) {
    std::vector<unsigned char> row(5 + InlineMapBytes, 0);
    put32(row.data() + 1, start);
    return add(row);
}

}  // namespace jet4
