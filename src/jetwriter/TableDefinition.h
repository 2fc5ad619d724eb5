#pragma once

#include <cstdint>

#include "jetwriter/TableLayout.h"

// A table's definition page: its row count and last auto number, its columns
// and their names, and the places of its usage maps.
namespace jet4 {

// Writes the definition of `layout` onto `page`; refuses one that does not
// fit the page.
void writeTableDefinition(unsigned char* page, const Layout& layout, const TableOutput& out,
                          std::uint32_t usageMap, std::uint32_t freeMap);

}  // namespace jet4
