#pragma once

#include <cstdint>
#include <vector>

#include "jet/RawTable.h"

// Orders the rows of a table by one column: text with the Turkish collation,
// case-insensitive (c < ç, ı < i); integers and other numbers numerically;
// nulls first when ascending and last when descending; ties keep file order.
// Returns physical row indexes in the new order.
std::vector<std::uint32_t> orderRows(const RawTable& table, int column, bool descending);

// Physical order, for statements without ORDER BY.
std::vector<std::uint32_t> physicalOrder(const RawTable& table);
