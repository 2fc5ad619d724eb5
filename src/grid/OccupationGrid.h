#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QRect>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

#include "data/OccupationRecordSet.h"

class QPainter;

// The result grid: a read-only table of the occupation record set's window.
// It shows the window rows the set holds (not the whole list), one per grid
// row, and tells the set how many rows fit. The current row is the set's
// current row; the current column is the grid's own.
//
// Coordinates: rows are window rows (0 = first shown row), -1 is the title
// row; columns are positions in display order, -1 is the indicator column.
class OccupationGrid : public QAbstractScrollArea, public RecordSetObserver {
    Q_OBJECT

public:
    static constexpr int IndicatorWidth = 11;
    static constexpr int GridLineWidth = 1;
    static inline const QColor StripeColour{255, 255, 192};
    static inline const QColor PlainColour{255, 255, 255};

    explicit OccupationGrid(OccupationRecordSet& recordSet, QWidget* parent = nullptr);
    ~OccupationGrid() override;

    OccupationRecordSet& recordSet() const { return recordSet_; }

    // Data rows that fit wholly below the title row, at least 1: the set's window size.
    int visibleDataRows() const;
    // Rows the grid draws: the window's rows, or one blank row when there are none.
    int shownRows() const;
    int dataRowHeight() const { return dataRowHeight_; }
    int titleRowHeight() const { return titleRowHeight_; }

    int columnCount() const { return static_cast<int>(columns_.size()); }
    OccupationRecordSet::Field columnField(int column) const { return columns_[column].field; }
    const QString& columnFieldName(int column) const { return columns_[column].fieldName; }
    const QString& columnTitle(int column) const { return columns_[column].title; }
    int columnWidth(int column) const { return columns_[column].width; }
    void setColumnWidth(int column, int width);
    bool isColumnVisible(int column) const { return columns_[column].visible; }
    void setColumnVisible(int column, bool visible);
    int visibleColumnCount() const;

    int currentColumn() const { return currentColumn_; }
    void setCurrentColumn(int column);
    // The window row of the current cell: the set's current row, 0 on an empty window.
    int currentRow() const;

    // A cell's rectangle in viewport coordinates, without its trailing grid
    // lines; empty for a hidden column.
    QRect cellRect(int row, int column) const;

    // Shows several columns or hides them at once; the grid lays itself out
    // once, at the end. Pairs of (column, visible); columns out of range are skipped.
    void setColumnsVisible(const std::vector<std::pair<int, bool>>& visibility);

    // Opens the column chooser (modally) for this grid; set by the window. The
    // grid calls it at a left release over the corner cell while the set is
    // open, and repaints itself afterwards.
    using ColumnChooserOpener = std::function<void(OccupationGrid& grid)>;
    void setColumnChooserOpener(ColumnChooserOpener opener) { chooserOpener_ = std::move(opener); }
    // Where the chooser's top-left corner goes, in global coordinates: the
    // corner cell's left edge, 1 pixel below its bottom edge.
    QPoint columnChooserPosition() const;

    // RecordSetObserver
    void recordSetStateChanged() override;
    void recordSetChanged() override;
    void currentRecordMoved() override;

signals:
    // The right button was released where the pop-up menu opens (data rows,
    // indicator column, corner cell); the position is global.
    void popupMenuRequested(const QPoint& globalPos);

protected:
    // Paints a data cell over the grid's own painting: stripes by position
    // number, the selection colours on the current cell (with or without the
    // focus). Called for every data cell of an open set; the window row being
    // painted is `paintingRow_`.
    void ozlukizleDrawColumnCell(QPainter& painter, const QRect& rect, int column, bool selected);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Column {
        OccupationRecordSet::Field field;
        QString fieldName;
        QString title;
        int width;
        Qt::Alignment alignment;
        bool visible;
    };

    // What lies under a viewport point. A grid line belongs to the cell before it.
    struct Hit {
        enum Area { Nothing, Corner, Title, Indicator, Data } area = Nothing;
        int row = -1;
        int column = -1;
    };

    // The geometry follows the font, the columns and the viewport's size.
    void layoutChanged();
    void updateRowHeights();
    void syncWindowSize();
    void syncScrollBars();
    void syncVerticalScrollBar();
    void refresh();

    int dataLeft() const { return IndicatorWidth + GridLineWidth; }
    int dataTop() const { return titleRowHeight_ + GridLineWidth; }
    int rowTop(int row) const;
    int columnsWidth() const;
    // Left edge of a column's cell in content coordinates (before horizontal scrolling).
    int columnContentLeft(int column) const;
    void ensureColumnVisible(int column);
    int firstVisibleColumn() const;
    int lastVisibleColumn() const;
    int nextVisibleColumn(int column, int direction) const;
    Hit hitTest(const QPoint& point) const;
    bool isCurrentCell(int row, int column) const;

    void paintCornerCell(QPainter& painter, const QRect& rect);
    void paintTitleCell(QPainter& painter, int column, const QRect& rect);
    void paintIndicatorCell(QPainter& painter, int row, const QRect& rect);
    void paintDataCell(QPainter& painter, int row, int column, const QRect& rect);
    void paintGridLines(QPainter& painter, int rows);
    void paintFocusRect(QPainter& painter, const QRect& rect);
    void drawCellText(QPainter& painter, const QRect& rect, const QString& text,
                      Qt::Alignment alignment);
    QColor cellTextColour() const;

    // Scroll bar and wheel commands; all of them act on the set, never on the bar's value.
    void verticalScrollAction(int action);
    void wheelNotch(bool down, Qt::KeyboardModifiers modifiers);
    void handleWheel(QWheelEvent* event);
    void handleKey(QKeyEvent* event);
    void handleMousePress(QMouseEvent* event);
    void paint();

    OccupationRecordSet& recordSet_;
    std::vector<Column> columns_;
    int currentColumn_ = 0;
    int dataRowHeight_ = 0;
    int titleRowHeight_ = 0;
    int paintingRow_ = -1;
    int wheelRemainder_ = 0;
    bool syncingWindow_ = false;
    ColumnChooserOpener chooserOpener_;
};
