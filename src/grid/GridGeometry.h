#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

#include "data/OccupationRecordSet.h"

// One column of the result grid.
struct GridColumn {
    OccupationRecordSet::Field field;
    QString fieldName;
    QString title;
    int width;
    Qt::Alignment alignment;
    bool visible;
};

// What lies under a viewport point. A grid line belongs to the cell before it.
struct GridHit {
    enum Area { Nothing, Corner, Title, Indicator, Data } area = Nothing;
    int row = -1;     // window row, -1 in the title row
    int column = -1;  // column position, -1 in the indicator column
};

// The one place that knows where the grid's cells are: the columns in display
// order with their widths and visibility, the row heights that follow from the
// text height, the viewport's size and the horizontal scroll offset.
//
// Coordinates: rows are window rows (0 = first shown row), -1 is the title
// row; columns are positions in display order, -1 is the indicator column.
// Rectangles exclude the grid line that follows each cell.
class GridGeometry {
public:
    static constexpr int IndicatorWidth = 11;
    static constexpr int GridLineWidth = 1;
    // A press this close to a column's right boundary resizes the column.
    static constexpr int ResizeMargin = 5;
    // Releasing a resize narrower than this keeps the old width.
    static constexpr int MinimumWidth = 2;

    explicit GridGeometry(std::vector<GridColumn> columns) : columns_(std::move(columns)) {}

    // Data rows are the text height plus 3 plus the grid line; the title row the text height
    // plus 4.
    void setTextHeight(int textHeight);
    void setViewportSize(const QSize& size) { viewport_ = size; }
    void setHorizontalOffset(int offset) { offset_ = offset; }
    int horizontalOffset() const { return offset_; }

    int dataRowHeight() const { return dataRowHeight_; }
    int titleRowHeight() const { return titleRowHeight_; }
    int dataLeft() const { return IndicatorWidth + GridLineWidth; }
    int dataTop() const { return titleRowHeight_ + GridLineWidth; }
    int rowTop(int row) const;
    // Data rows that fit wholly below the title row, at least 1.
    int visibleDataRows() const;

    const std::vector<GridColumn>& columns() const { return columns_; }
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const GridColumn& column(int column) const {
        return columns_[static_cast<std::size_t>(column)];
    }
    void setColumnWidth(int column, int width) {
        columns_[static_cast<std::size_t>(column)].width = width;
    }
    void setColumnVisible(int column, bool visible) {
        columns_[static_cast<std::size_t>(column)].visible = visible;
    }
    // Takes the column at `from` out and puts it in at `to` (positions before the move).
    void moveColumn(int from, int to);

    int visibleColumnCount() const;
    // The next shown column from `column` in `direction` (+1 or -1); -1 when none.
    int nextVisibleColumn(int column, int direction) const;
    // Width of all shown columns with their grid lines.
    int columnsWidth() const;
    // Left edge of a column's cell in content coordinates (before horizontal scrolling).
    int columnContentLeft(int column) const;

    // Empty for a hidden column.
    QRect cellRect(int row, int column) const;
    // `shownRows` is the number of data rows the grid draws.
    GridHit hitTest(const QPoint& point, int shownRows) const;
    // The column whose right boundary is within ResizeMargin of a title-row
    // point (the nearest when two are); -1 when none. The indicator column is
    // never resized.
    int resizeColumnAt(const QPoint& point) const;
    // Where a moved column would land if dropped at x: the position it would
    // take after `from` is taken out, and the x of the boundary that shows it.
    struct Landing {
        int position;
        int markX;
    };
    Landing landingAt(int from, int x) const;

private:
    std::vector<GridColumn> columns_;
    QSize viewport_;
    int offset_ = 0;
    int dataRowHeight_ = 0;
    int titleRowHeight_ = 0;
};
