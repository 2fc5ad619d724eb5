#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jetwriter/Jet4Writer.h"
#include "jetwriter/TableLayout.h"
#include "jetwriter/TextEncoder.h"

// The values of one row in their stored form: the fixed-size area, the
// presence mask, and the bytes of every variable-size column, laid out for
// the row writer to assemble. Values of the wrong type or out of range are
// refused with the table, the row and the column.
namespace jet4 {

class RowValues {
public:
    // `lastAutoNumber`: the table's last auto-increment value, which NULLs
    // in an auto-increment column take the next of and given values raise.
    RowValues(const Layout& layout, std::int64_t& lastAutoNumber);

    // Encodes `values`, one for each column, of row `rowNumber` (for messages).
    void encode(const std::vector<Value>& values, std::uint32_t rowNumber);

    const std::vector<unsigned char>& fixedArea() const { return fixed_; }
    const std::vector<unsigned char>& mask() const { return mask_; }
    bool present(std::size_t column) const { return (mask_[column / 8] >> (column % 8)) & 1; }

    // Variable-size column `var` (in the order of the layout's varIndex).
    const unsigned char* varData(std::size_t var) const {
        return varBytes_.data() + varStart_[var];
    }
    std::size_t varLength(std::size_t var) const { return varLength_[var]; }

private:
    [[noreturn]] void badValue(std::size_t column, const char* expected) const;
    void setPresent(std::size_t column) { mask_[column / 8] |= 1u << (column % 8); }
    void writeFixed(const StoredColumn& c, std::size_t column, const Value& v);
    void writeAutoNumber(unsigned char* at, std::size_t column);
    void encodeVariable(const StoredColumn& c, std::size_t column, const Value& v);

    const Layout& layout_;
    std::int64_t& lastAutoNumber_;
    std::uint32_t rowNumber_ = 0;
    TextEncoder encoder_;
    std::vector<unsigned char> fixed_;
    std::vector<unsigned char> mask_;
    std::vector<unsigned char> varBytes_;
    std::vector<std::size_t> varStart_;
    std::vector<std::size_t> varLength_;
};

}  // namespace jet4
