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
    // The same as a view, inline and without a QString around it (empty for
    // a null): for loops over many rows.
    QStringView viewAt(int position, int column) const {
        if (position < 1 || position > count_ || column < 0 || column >= columnCount()) return {};
        return table_->cellView(rows_[position - 1], static_cast<std::size_t>(column));
    }

    // The rows as read, in physical order, and the physical row at a position:
    // a loop over every row reads memory in sequence in physical order.
    const RawTable& table() const { return *table_; }
    // The table as shared with other results of the same read.
    const std::shared_ptr<const RawTable>& sharedTable() const { return table_; }
    std::uint32_t physicalRow(int position) const { return rows_[position - 1]; }
    // The physical rows in statement order, as shared with other results.
    const std::shared_ptr<const std::vector<std::uint32_t>>& sharedOrder() const { return order_; }

    // Hints for loops over many rows in statement order, whose rows lie all
    // over memory: a loop asks for the bookkeeping of the row it reaches
    // some 16 steps later, and for the text of a cell 8 steps later, and so
    // waits far less on memory. Positions out of range are let be. Inlined
    // always: GCC takes a function that only prefetches for one without
    // effects, and drops a call to it before it would inline it.
    static constexpr int BookkeepingAhead = 16;
    static constexpr int TextAhead = 8;
    [[gnu::always_inline]] void prefetchBookkeeping(int position) const {
        if (position >= 1 && position <= count_) {
            __builtin_prefetch(table_->cellAddress(rows_[position - 1], 0));
        }
    }
    // Two cache lines: a cell and the one after it, often.
    [[gnu::always_inline]] void prefetchText(int position, int column) const {
        if (position >= 1 && position <= count_) {
            const QStringView text =
                table_->cellView(rows_[position - 1], static_cast<std::size_t>(column));
            __builtin_prefetch(text.data());
            __builtin_prefetch(text.data() + 32);
        }
    }

private:
    std::shared_ptr<const RawTable> table_;
    std::shared_ptr<const std::vector<std::uint32_t>> order_;
    const std::uint32_t* rows_;  // order_'s rows
    int count_;
    int position_ = 0;
};
