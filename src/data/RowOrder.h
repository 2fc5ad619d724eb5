#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "jet/RawTable.h"

// Orders the rows of a table by one column: text with the Turkish collation,
// case-insensitive (c < ç, ı < i); integers and other numbers numerically;
// nulls first when ascending and last when descending; ties keep file order.
// Orders are physical row indexes.
//
// Each order is worked out once for the table's life: a column's sort keys
// are kept, the second direction comes from the first in one pass (its groups
// of equal keys in reverse), and a column of codes (ASCII digits and dots,
// where code-unit order is the collation's order) that is already in order
// costs one check and no sort. The table must outlive this.
class TableOrders {
public:
    explicit TableOrders(const RawTable& table);
    ~TableOrders();
    TableOrders(const TableOrders&) = delete;
    TableOrders& operator=(const TableOrders&) = delete;

    const std::vector<std::uint32_t>& by(int column, bool descending) {
        return *shared(column, descending);
    }
    // The same order, shared with the results that use it.
    const std::shared_ptr<const std::vector<std::uint32_t>>& shared(int column, bool descending);

private:
    struct ColumnOrders;
    ColumnOrders& columnOrders(int column);

    const RawTable& table_;
    std::map<int, std::unique_ptr<ColumnOrders>> columns_;
};

// One order, worked out from scratch.
std::vector<std::uint32_t> orderRows(const RawTable& table, int column, bool descending);

// Physical order, for statements without ORDER BY.
std::vector<std::uint32_t> physicalOrder(const RawTable& table);
