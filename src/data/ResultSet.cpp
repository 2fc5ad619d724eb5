#include "data/ResultSet.h"

ResultSet::ResultSet(RawTable table, std::vector<std::uint32_t> order)
    : ResultSet(std::make_shared<const RawTable>(std::move(table)), std::move(order)) {}

ResultSet::ResultSet(std::shared_ptr<const RawTable> table, std::vector<std::uint32_t> order)
    : table_(std::move(table)), order_(std::move(order)) {
    position_ = recordCount() > 0 ? 1 : 0;
}

void ResultSet::moveFirst() { position_ = recordCount() > 0 ? 1 : 0; }

void ResultSet::moveLast() { position_ = recordCount(); }

void ResultSet::moveNext() {
    if (!eof()) ++position_;
}

void ResultSet::movePrevious() {
    if (!bof()) --position_;
}

bool ResultSet::moveToBookmark(Bookmark bookmark) {
    if (bookmark < 1 || bookmark > recordCount()) return false;
    position_ = bookmark;
    return true;
}

const QString& ResultSet::value(int column) const {
    if (bof() || eof()) return none_;
    return valueAt(position_, column);
}

const QString& ResultSet::valueAt(int position, int column) const {
    if (position < 1 || position > recordCount() || column < 0 || column >= columnCount()) {
        return none_;
    }
    return table_->cell(order_[static_cast<std::size_t>(position - 1)],
                       static_cast<std::size_t>(column));
}
