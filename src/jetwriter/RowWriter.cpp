#include "jetwriter/RowWriter.h"

#include <QString>

#include "jetwriter/FileFormat.h"

namespace jet4 {

namespace {

constexpr int MaxDataRow = 4060;  // Access's limit for one table row
constexpr int MemoHeader = 12;

}  // namespace

RowWriter::RowWriter(FileBuilder& file, const Layout& layout, TableOutput& out)
    : file_(file),
      layout_(layout),
      out_(out),
      values_(layout, out.lastAutoNumber),
      longValues_(file) {
    varColumn_.resize(static_cast<std::size_t>(layout.varCount));
    for (std::size_t i = 0; i < layout.columns.size(); ++i)
        if (!layout.columns[i].fixed) varColumn_[layout.columns[i].varIndex] = i;
}

void RowWriter::write(const std::vector<Value>& values) {
    const auto& columns = layout_.columns;
    ++rowNumber_;
    if (values.size() != columns.size())
        fail(QStringLiteral("table \"%1\", row %2: %3 values for %4 columns")
                 .arg(layout_.name)
                 .arg(rowNumber_)
                 .arg(values.size())
                 .arg(columns.size()));
    values_.encode(values, rowNumber_);
    moveMemosOutOfRow();
    assemble();
    storeRow();
}

// The stored size of variable column `var`: memo values carry a 12-byte
// header, and only the header stays in the row once the text moves out.
std::size_t RowWriter::storedLength(std::size_t var) const {
    if (!isMemo(var) || !present(var)) return values_.varLength(var);
    return MemoHeader + (memoOutside_[var] ? 0 : values_.varLength(var));
}

std::size_t RowWriter::rowLength() const {
    std::size_t length = 2 + static_cast<std::size_t>(layout_.fixedSize + layout_.maskBytes);
    if (layout_.varCount == 0) return length;
    length += 2 * static_cast<std::size_t>(layout_.varCount) + 4;
    for (std::size_t v = 0; v < varColumn_.size(); ++v) length += storedLength(v);
    return length;
}

// Moves memo values to long-value pages, largest first, until the row fits.
void RowWriter::moveMemosOutOfRow() {
    const std::size_t count = varColumn_.size();
    memoOutside_.assign(count, false);
    while (rowLength() > MaxDataRow) {
        std::size_t largest = count;
        for (std::size_t v = 0; v < count; ++v)
            if (isMemo(v) && present(v) && !memoOutside_[v] &&
                (largest == count || values_.varLength(v) > values_.varLength(largest)))
                largest = v;
        if (largest == count)
            fail(QStringLiteral("table \"%1\", row %2: the row needs %3 bytes, but at most "
                                "%4 fit a page")
                     .arg(layout_.name)
                     .arg(rowNumber_)
                     .arg(rowLength())
                     .arg(MaxDataRow));
        memoOutside_[largest] = true;
    }
}

void RowWriter::putMemoHeader(std::size_t var) {
    const unsigned char* data = values_.varData(var);
    const auto length = static_cast<std::uint32_t>(values_.varLength(var));
    const std::size_t at = row_.size();
    row_.resize(at + MemoHeader, 0);
    unsigned char* header = row_.data() + at;
    if (!memoOutside_[var]) {
        put32(header, length | 0x80000000u);
        row_.insert(row_.end(), data, data + length);
    } else if (length <= LongValueStore::MaxRow) {
        put32(header, length | 0x40000000u);
        put32(header + 4, longValues_.storeRow(data, static_cast<int>(length)));
    } else {
        put32(header, length);
        put32(header + 4, longValues_.storeChain(data, length));
    }
}

// The variable-size values, then their offsets from the last to the first
// with the end of the data before them, then their count.
void RowWriter::putVariableArea() {
    offsets_.resize(static_cast<std::size_t>(layout_.varCount) + 1);
    for (std::size_t v = 0; v < varColumn_.size(); ++v) {
        offsets_[v] = static_cast<int>(row_.size());
        if (isMemo(v) && present(v)) {
            putMemoHeader(v);
        } else {
            const unsigned char* data = values_.varData(v);
            row_.insert(row_.end(), data, data + values_.varLength(v));
        }
    }
    offsets_.back() = static_cast<int>(row_.size());  // end of the variable data
    for (int v = layout_.varCount; v >= 0; --v) {
        row_.push_back(static_cast<unsigned char>(offsets_[v]));
        row_.push_back(static_cast<unsigned char>(offsets_[v] >> 8));
    }
    row_.push_back(static_cast<unsigned char>(layout_.varCount));
    row_.push_back(static_cast<unsigned char>(layout_.varCount >> 8));
}

void RowWriter::assemble() {
    row_.clear();
    row_.push_back(static_cast<unsigned char>(layout_.columns.size()));
    row_.push_back(static_cast<unsigned char>(layout_.columns.size() >> 8));
    const std::vector<unsigned char>& fixed = values_.fixedArea();
    row_.insert(row_.end(), fixed.begin(), fixed.end());
    if (layout_.varCount > 0) putVariableArea();
    row_.insert(row_.end(), values_.mask().begin(), values_.mask().end());
}

void RowWriter::storeRow() {
    const int length = static_cast<int>(row_.size());
    if (dataPage_ == 0 || addRow(file_.page(dataPage_), row_.data(), length) < 0) {
        dataPage_ = file_.newPage();
        initDataPage(file_.page(dataPage_), out_.tdefPage);
        out_.dataPages.push_back(dataPage_);
        addRow(file_.page(dataPage_), row_.data(), length);
    }
    ++out_.rowCount;
}

}  // namespace jet4
