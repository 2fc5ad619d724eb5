#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jetwriter/FileBuilder.h"
#include "jetwriter/Jet4Writer.h"
#include "jetwriter/LongValueStore.h"
#include "jetwriter/RowValues.h"
#include "jetwriter/TableLayout.h"

// Writes the rows of one table onto its data pages: assembles each row from
// its stored values, moves memo values that do not fit it to long-value
// pages, and keeps in `out` the pages, the count and the last auto number.
namespace jet4 {

class RowWriter {
public:
    RowWriter(FileBuilder& file, const Layout& layout, TableOutput& out);

    void write(const std::vector<Value>& values);

private:
    bool isMemo(std::size_t var) const { return layout_.columns[varColumn_[var]].type == TypeMemo; }
    bool present(std::size_t var) const { return values_.present(varColumn_[var]); }
    std::size_t storedLength(std::size_t var) const;
    std::size_t rowLength() const;
    void moveMemosOutOfRow();
    void putMemoHeader(std::size_t var);
    void putVariableArea();
    void assemble();
    void storeRow();

    FileBuilder& file_;
    const Layout& layout_;
    TableOutput& out_;
    RowValues values_;
    LongValueStore longValues_;
    std::uint32_t dataPage_ = 0;
    std::uint32_t rowNumber_ = 0;
    std::vector<std::size_t> varColumn_;  // the column of each variable-size column
    std::vector<bool> memoOutside_;
    std::vector<int> offsets_;
    std::vector<unsigned char> row_;
};

}  // namespace jet4
