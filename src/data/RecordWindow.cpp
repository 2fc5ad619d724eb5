#include "data/RecordWindow.h"

#include <algorithm>
#include <cstddef>

void RecordWindow::reset(int rows) {
    resultRows_ = rows;
    rows_.clear();
    current_ = 0;
    bof_ = true;
    eof_ = true;
}

bool RecordWindow::resize(int rows) {
    rows = std::max(1, rows);
    if (rows == size_) return false;
    size_ = rows;
    if (rows_.empty()) return false;
    const auto size = static_cast<std::size_t>(rows);
    bool changed = false;
    if (rows_.size() < size) {
        while (rows_.size() < size && fetchAfterLast()) changed = true;
        while (rows_.size() < size && fetchBeforeFirst()) {
            ++current_;
            changed = true;
        }
    } else if (rows_.size() > size) {
        // The rows below the current one go first, then those above it.
        while (rows_.size() > size && static_cast<int>(rows_.size()) - 1 > current_) {
            rows_.pop_back();
        }
        if (rows_.size() > size) {
            const auto drop = rows_.size() - size;
            rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(drop));
            current_ -= static_cast<int>(drop);
        }
        changed = true;
    }
    return changed;
}

bool RecordWindow::select(int index) {
    if (index < 0 || index >= count() || index == current_) return false;
    current_ = index;
    return true;
}

int RecordWindow::positionAt(int index) const {
    if (index < 0 || index >= count()) return -1;
    return rows_[static_cast<std::size_t>(index)];
}

void RecordWindow::fillFromStart() {
    rows_.clear();
    current_ = 0;
    const int failures = failures_;
    while (!full() && fetchAfterLast()) {
    }
    if (failures == failures_) {
        // The scan began at the first row, and a window it could not fill ends at the last.
        firstShown_ = rows_.empty() ? 0 : rows_.front();
        if (!full()) lastShown_ = rows_.empty() ? 0 : rows_.back();
    }
    bof_ = true;
    eof_ = rows_.empty();
}

void RecordWindow::fillFromEnd() {
    rows_.clear();
    current_ = 0;
    const int failures = failures_;
    const int position = fetch(resultRows_ + 1, -1);
    if (failures == failures_) lastShown_ = position;
    if (position != 0) {
        rows_.push_back(position);
        while (!full() && fetchBeforeFirst()) {
        }
        current_ = count() - 1;
    }
    eof_ = true;
    bof_ = rows_.empty();
}

bool RecordWindow::stepForward() {
    const int before = currentPosition();
    advance();
    return currentPosition() != before;
}

bool RecordWindow::stepBack() {
    const int before = currentPosition();
    retreat();
    return currentPosition() != before;
}

int RecordWindow::moveBy(int distance) {
    int moved = 0;
    while (distance > 0 && !eof_ && stepForward()) {
        ++moved;
        --distance;
    }
    while (distance < 0 && !bof_ && stepBack()) {
        ++moved;
        ++distance;
    }
    return moved;
}

bool RecordWindow::moveTo(int position) {
    if (resultRows_ == 0) return false;
    position = std::clamp(position, 1, resultRows_);
    const int found = fetch(position - 1, +1);
    if (found == 0) {
        fillFromEnd();
        return true;
    }
    rows_.assign(1, found);
    current_ = 0;
    // The row goes to the middle of the window where the rows around it allow.
    for (int above = (size_ - 1) / 2; above > 0 && fetchBeforeFirst(); --above) ++current_;
    while (!full() && fetchAfterLast()) {
    }
    while (!full() && fetchBeforeFirst()) {
        ++current_;
    }
    bof_ = false;
    eof_ = false;
    return true;
}

bool RecordWindow::atFirst() {
    if (rows_.empty()) return true;
    if (current_ > 0) return false;
    if (firstShown_ == Unknown) {
        const int failures = failures_;
        const int position = fetch(0, +1);
        if (failures != failures_) return false;
        firstShown_ = position;
    }
    return rows_.front() == firstShown_;
}

bool RecordWindow::atLast() {
    if (rows_.empty()) return true;
    if (current_ < count() - 1) return false;
    if (lastShown_ == Unknown) {
        const int failures = failures_;
        const int position = fetch(resultRows_ + 1, -1);
        if (failures != failures_) return false;
        lastShown_ = position;
    }
    return rows_.back() == lastShown_;
}

void RecordWindow::advance() {
    if (rows_.empty()) {
        eof_ = true;
        return;
    }
    if (current_ + 1 < count()) {
        ++current_;
    } else if (fetchAfterLast()) {
        if (rows_.size() > static_cast<std::size_t>(size_)) rows_.erase(rows_.begin());
        current_ = count() - 1;
    } else {
        eof_ = true;
        return;
    }
    bof_ = false;
    eof_ = false;
}

void RecordWindow::retreat() {
    if (rows_.empty()) {
        bof_ = true;
        return;
    }
    if (current_ > 0) {
        --current_;
    } else if (fetchBeforeFirst()) {
        if (rows_.size() > static_cast<std::size_t>(size_)) rows_.pop_back();
        current_ = 0;
    } else {
        bof_ = true;
        return;
    }
    bof_ = false;
    eof_ = false;
}

int RecordWindow::fetch(int from, int step) {
    if (!filtering_) {
        const int position = from + step;
        return position >= 1 && position <= resultRows_ ? position : 0;
    }
    const Fetched found = fetch_(from, step);
    if (found.failed) ++failures_;
    return found.position;
}

bool RecordWindow::fetchAfterLast() {
    const int position = fetch(rows_.empty() ? 0 : rows_.back(), +1);
    if (position == 0) return false;
    rows_.push_back(position);
    return true;
}

bool RecordWindow::fetchBeforeFirst() {
    const int position = fetch(rows_.empty() ? resultRows_ + 1 : rows_.front(), -1);
    if (position == 0) return false;
    rows_.insert(rows_.begin(), position);
    return true;
}
