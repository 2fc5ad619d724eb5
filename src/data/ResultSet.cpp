#include "data/ResultSet.h"

ResultSet::ResultSet(RawTable table, std::vector<std::uint32_t> order)
    : ResultSet(std::make_shared<const RawTable>(std::move(table)),
                std::make_shared<const std::vector<std::uint32_t>>(std::move(order))) {}

ResultSet::ResultSet(std::shared_ptr<const RawTable> table,
                     std::shared_ptr<const std::vector<std::uint32_t>> order)
    : table_(std::move(table)),
      order_(std::move(order)),
      rows_(order_->data()),
      count_(static_cast<int>(order_->size())) {
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

QString ResultSet::value(int column) const {
    if (bof() || eof()) return QString();
    return valueAt(position_, column);
}

QString ResultSet::valueAt(int position, int column) const {
    if (position < 1 || position > recordCount() || column < 0 || column >= columnCount()) {
        return QString();
    }
    return table_->cell(rows_[position - 1], static_cast<std::size_t>(column));
}
