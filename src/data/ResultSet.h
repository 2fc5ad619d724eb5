#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "jet/RawTable.h"

// The whole result of a statement, held in memory, with a cursor. Positions are
// 1-based in statement order. A bookmark identifies a row for as long as the
// result lives.
class ResultSet {
public:
    using Bookmark = std::int32_t;

    ResultSet(RawTable table, std::vector<std::uint32_t> order);
    // A table and an order shared with other results of the same read.
    ResultSet(std::shared_ptr<const RawTable> table,
              std::shared_ptr<const std::vector<std::uint32_t>> order);

    int recordCount() const { return count_; }
    int columnCount() const { return static_cast<int>(table_->columns.size()); }
    const RawColumn& column(int index) const { return table_->columns[index]; }
    const std::vector<RawColumn>& columns() const { return table_->columns; }
    int columnIndex(const QString& name) const { return table_->columnIndex(name); }

    // Cursor. Before the first row `bof()` holds, after the last `eof()`.
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    bool bof() const { return recordCount() == 0 || position_ < 1; }
    bool eof() const { return recordCount() == 0 || position_ > recordCount(); }
    // 1-based position of the current row, or -1 at begin or end.
    int absolutePosition() const { return bof() || eof() ? -1 : position_; }

    Bookmark bookmark() const { return absolutePosition(); }
    // Returns false (and leaves the cursor) for a bookmark of no row.
    bool moveToBookmark(Bookmark bookmark);
    int positionOfBookmark(Bookmark bookmark) const { return bookmark; }

    // The current row's value; a null string at begin or end and for nulls.
    // The value views the table's text: it stays valid while the table lives.
    QString value(int column) const;
    // The value of the row at a 1-based position.
    QString valueAt(int position, int column) const;

    // The rows as read, in physical order, and the physical row at a position:
    // a loop over every row reads memory in sequence in physical order.
    const RawTable& table() const { return *table_; }
    // The table as shared with other results of the same read.
    const std::shared_ptr<const RawTable>& sharedTable() const { return table_; }
    std::uint32_t physicalRow(int position) const { return rows_[position - 1]; }
    // The physical rows in statement order, as shared with other results.
    const std::shared_ptr<const std::vector<std::uint32_t>>& sharedOrder() const { return order_; }

private:
    std::shared_ptr<const RawTable> table_;
    std::shared_ptr<const std::vector<std::uint32_t>> order_;
    const std::uint32_t* rows_;  // order_'s rows
    int count_;
    int position_ = 0;
};
