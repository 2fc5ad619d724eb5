#include "grid/GridGeometry.h"

#include <algorithm>
#include <cstdlib>

void GridGeometry::setTextHeight(int textHeight) {
    dataRowHeight_ = textHeight + 3 + GridLineWidth;
    titleRowHeight_ = textHeight + 4;
}

int GridGeometry::rowTop(int row) const {
    return row < 0 ? 0 : dataTop() + row * (dataRowHeight_ + GridLineWidth);
}

int GridGeometry::visibleDataRows() const {
    const int rows =
        (viewport_.height() - dataTop() + GridLineWidth) / (dataRowHeight_ + GridLineWidth);
    return std::max(1, rows);
}

void GridGeometry::moveColumn(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= columnCount() || to >= columnCount()) return;
    const GridColumn moved = columns_[static_cast<std::size_t>(from)];
    columns_.erase(columns_.begin() + from);
    columns_.insert(columns_.begin() + to, moved);
}

int GridGeometry::visibleColumnCount() const {
    return static_cast<int>(std::count_if(columns_.begin(), columns_.end(),
                                          [](const GridColumn& c) { return c.visible; }));
}

int GridGeometry::nextVisibleColumn(int column, int direction) const {
    for (int i = column + direction; i >= 0 && i < columnCount(); i += direction) {
        if (columns_[static_cast<std::size_t>(i)].visible) return i;
    }
    return -1;
}

int GridGeometry::columnsWidth() const {
    int width = 0;
    for (const GridColumn& column : columns_) {
        if (column.visible) width += column.width + GridLineWidth;
    }
    return width;
}

int GridGeometry::columnContentLeft(int column) const {
    int left = dataLeft();
    for (int i = 0; i < column; ++i) {
        const GridColumn& c = columns_[static_cast<std::size_t>(i)];
        if (c.visible) left += c.width + GridLineWidth;
    }
    return left;
}

QRect GridGeometry::cellRect(int row, int column) const {
    const int top = rowTop(row);
    const int height = row < 0 ? titleRowHeight_ : dataRowHeight_;
    if (column < 0) return QRect(0, top, IndicatorWidth, height);
    if (column >= columnCount() || !this->column(column).visible) return QRect();
    return QRect(columnContentLeft(column) - offset_, top, this->column(column).width, height);
}

GridHit GridGeometry::hitTest(const QPoint& point, int shownRows) const {
    GridHit hit;
    if (point.x() < 0 || point.y() < 0 || point.x() >= viewport_.width() ||
        point.y() >= viewport_.height()) {
        return hit;
    }
    if (point.y() >= dataTop()) {
        const int row = (point.y() - dataTop()) / (dataRowHeight_ + GridLineWidth);
        if (row >= shownRows) return hit;
        hit.row = row;
    }
    if (point.x() >= dataLeft()) {
        const int x = point.x() + offset_;
        int right = dataLeft();
        int found = -1;
        for (int i = 0; i < columnCount() && found < 0; ++i) {
            if (!column(i).visible) continue;
            right += column(i).width + GridLineWidth;
            if (x < right) found = i;
        }
        if (found < 0) return hit;
        hit.column = found;
    }
    if (hit.row < 0) {
        hit.area = hit.column < 0 ? GridHit::Corner : GridHit::Title;
    } else {
        hit.area = hit.column < 0 ? GridHit::Indicator : GridHit::Data;
    }
    return hit;
}

int GridGeometry::resizeColumnAt(const QPoint& point) const {
    if (point.y() < 0 || point.y() >= titleRowHeight_ || point.x() < dataLeft()) return -1;
    int best = -1;
    int bestDistance = ResizeMargin + 1;
    for (int i = 0; i < columnCount(); ++i) {
        const QRect cell = cellRect(-1, i);
        if (cell.isNull()) continue;
        // The boundary is the grid line after the cell.
        const int distance = std::abs(point.x() - (cell.left() + cell.width()));
        if (distance <= ResizeMargin && distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

GridGeometry::Landing GridGeometry::landingAt(int from, int x) const {
    // The moved column goes before the first shown column whose middle lies
    // right of x, or after the last one.
    Landing landing{from, columnContentLeft(from) - offset_};
    int target = -1;
    for (int i = 0; i < columnCount(); ++i) {
        const QRect cell = cellRect(-1, i);
        if (cell.isNull()) continue;
        if (x < cell.left() + cell.width() / 2) {
            target = i;
            landing.markX = cell.left() - GridLineWidth;
            break;
        }
    }
    if (target < 0) {
        target = columnCount();
        landing.markX = dataLeft() + columnsWidth() - offset_ - GridLineWidth;
    }
    landing.position = target > from ? target - 1 : target;
    return landing;
}
