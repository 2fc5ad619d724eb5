#include "data/ShownList.h"

#include <algorithm>
#include <cstddef>

void ShownList::renew(int rows, bool filtering) {
    rows_ = rows;
    filtering_ = filtering;
    positions_.reset();
    ++generation_;
}

int ShownList::count() const {
    if (!filtering_) return rows_;
    return static_cast<int>(positions().size());
}

int ShownList::position(int row) const {
    if (row < 0 || row >= count()) return 0;
    if (!filtering_) return row + 1;
    return positions()[static_cast<std::size_t>(row)];
}

int ShownList::rowOf(int position) const {
    if (position < 1 || position > rows_) return -1;
    if (!filtering_) return position - 1;
    const std::vector<int>& shown = positions();
    const auto found = std::lower_bound(shown.begin(), shown.end(), position);
    if (found == shown.end() || *found != position) return -1;
    return static_cast<int>(found - shown.begin());
}

const std::vector<int>& ShownList::positions() const {
    if (positions_ == nullptr) positions_ = std::make_unique<const std::vector<int>>(collect_());
    return *positions_;
}
