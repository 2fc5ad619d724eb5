#pragma once

#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The texts of one column for every row, back to back in one block, so that a
// search term is looked for in all rows by one scan instead of one search per
// row. The filter (SearchFilter) scans them; the record set's search-text
// cache (SearchTextCache) builds them.
//
// Texts are kept in a byte form: every UTF-16 unit written on its own as UTF-8
// writes a code point of that value (1 byte below U+0080, 2 below U+0800, 3
// otherwise; a surrogate, paired or not, takes 3 bytes of its own). Each unit
// becomes a lead byte (never 10xxxxxx) and a fixed number of continuation
// bytes (10xxxxxx), so a run of units is found in a text exactly when its byte
// form is found in the text's byte form: a match can only begin on a lead
// byte, and from there both sides decode unit by unit. Well-formed names and
// codes thus take their UTF-8 size, about half of UTF-16 for the mostly ASCII
// names, and a scan reads half the memory.
//
// Every row is followed by one separator byte, 0xFF. No byte form holds 0xFF
// (lead bytes are at most 0xEF), neither a row nor a term, so a hit never
// spans two rows. After the last separator a few more 0xFF bytes let the
// vector loads of a scan read past the end of the rows.
class RowTextBlock {
public:
    static constexpr unsigned char Separator = 0xFF;
    static constexpr std::size_t Padding = 32;

    RowTextBlock() = default;
    // A block for rows whose byte forms start at `start[r]` and take
    // `start[r + 1] - start[r] - 1` bytes (the last byte is the separator):
    // exactly that many bytes, plus the padding. The separators are in place;
    // the caller writes each row's bytes through rowData().
    explicit RowTextBlock(std::vector<std::uint32_t> start);

    int rowCount() const { return static_cast<int>(start_.size()) - 1; }
    // Bytes of all rows, separators included; the padding not counted.
    std::size_t size() const { return start_.back(); }
    unsigned char* rowData(int row) { return bytes_.get() + start_[static_cast<std::size_t>(row)]; }

    // The same rows in another order: row r of the result is row from[r] of
    // this block. `from` must name every row once.
    RowTextBlock rearranged(const std::vector<std::uint32_t>& from) const;

    // The first row in [lo, hi) whose text holds `needle` (a byte form), or
    // `hi` when none does or the needle is empty.
    int firstRowWith(std::string_view needle, int lo, int hi) const;
    // The last row in [lo, hi) whose text holds `needle`, or `lo - 1`.
    int lastRowWith(std::string_view needle, int lo, int hi) const;

private:
    std::vector<std::uint32_t> start_{0};
    std::unique_ptr<unsigned char[]> bytes_;
};

// Names folded and codes as stored, each in a block, rows in statement order.
struct SearchTexts {
    RowTextBlock names;
    RowTextBlock codes;
};

// Byte forms (see RowTextBlock) and their sizes.
std::size_t scanFormSize(QStringView text);
unsigned char* writeScanForm(QStringView text, unsigned char* out);
std::string scanForm(QStringView text);
// FoldSearchText(text) in byte form, without making the folded text.
std::size_t foldedScanFormSize(QStringView text);
unsigned char* writeFoldedScanForm(QStringView text, unsigned char* out);

// The byte scans behind RowTextBlock: the first (last) offset `i` in
// [begin, end) at which `needle` (not empty) starts in `data`, or npos. `data`
// must be readable for Padding bytes past `size`, and a match must end at or
// before `size`. Each kernel gives the same answers; Best is the fastest
// this processor runs (AVX2, else SSE2 on x86-64; elsewhere the plain loop).
namespace byte_scan {
enum class Kernel { Plain, Sse2, Avx2, Best };
constexpr std::size_t npos = static_cast<std::size_t>(-1);
bool available(Kernel kernel);
std::size_t findFirst(Kernel kernel, const unsigned char* data, std::size_t size, std::size_t begin,
                      std::size_t end, std::string_view needle);
std::size_t findLast(Kernel kernel, const unsigned char* data, std::size_t size, std::size_t begin,
                     std::size_t end, std::string_view needle);
}  // namespace byte_scan
