#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>

#include <functional>
#include <utility>
#include <vector>

#include "data/OccupationRecordSet.h"
#include "grid/GridGeometry.h"
#include "grid/TitleRow.h"
#include "widgets/WindowsTextMetrics.h"

class QPainter;

// The result grid: a read-only table of the occupation record set's window.
// It shows the window rows the set holds (not the whole list), one per grid
// row, and tells the set how many rows fit. The current row is the set's
// current row; the current column is the grid's own.
//
// A click on a column's title re-reads the list sorted by that column, the
// direction alternating with every title click; the title row's gestures
// (resizing, pressing, moving columns) are TitleRow's. Column widths, order and
// visibility last as long as the grid.
//
// Coordinates: rows are window rows (0 = first shown row), -1 is the title
// row; columns are positions in display order, -1 is the indicator column.
class OccupationGrid : public QAbstractScrollArea, public RecordSetObserver {
    Q_OBJECT

public:
    static constexpr int IndicatorWidth = GridGeometry::IndicatorWidth;
    static constexpr int GridLineWidth = GridGeometry::GridLineWidth;
    static inline const QColor StripeColour{255, 255, 192};
    static inline const QColor PlainColour{255, 255, 255};

    explicit OccupationGrid(OccupationRecordSet& recordSet, QWidget* parent = nullptr);
    ~OccupationGrid() override;

    OccupationRecordSet& recordSet() const { return recordSet_; }

    // Data rows that fit wholly below the title row, at least 1: the set's window size.
    int visibleDataRows() const { return geometry_.visibleDataRows(); }
    // Rows the grid draws: the window's rows, or one blank row when there are none.
    int shownRows() const;
    int dataRowHeight() const { return geometry_.dataRowHeight(); }
    int titleRowHeight() const { return geometry_.titleRowHeight(); }

    int columnCount() const { return geometry_.columnCount(); }
    OccupationRecordSet::Field columnField(int column) const {
        return geometry_.column(column).field;
    }
    const QString& columnFieldName(int column) const { return geometry_.column(column).fieldName; }
    const QString& columnTitle(int column) const { return geometry_.column(column).title; }
    int columnWidth(int column) const { return geometry_.column(column).width; }
    void setColumnWidth(int column, int width);
    bool isColumnVisible(int column) const { return geometry_.column(column).visible; }
    void setColumnVisible(int column, bool visible) { setColumnsVisible({{column, visible}}); }
    // Shows several columns or hides them at once; the grid lays itself out
    // once, at the end. Pairs of (column, visible); columns out of range are skipped.
    void setColumnsVisible(const std::vector<std::pair<int, bool>>& visibility);
    int visibleColumnCount() const { return geometry_.visibleColumnCount(); }
    // Takes the column at `from` to position `to`; the current column moves with it.
    void moveColumn(int from, int to);

    int currentColumn() const { return currentColumn_; }
    void setCurrentColumn(int column);
    // The window row of the current cell: the set's current row, 0 on an empty window.
    int currentRow() const;

    // A cell's rectangle in viewport coordinates, without its trailing grid
    // lines; empty for a hidden column.
    QRect cellRect(int row, int column) const { return geometry_.cellRect(row, column); }

    // The direction word of the last title click, "ASC" or "DESC"; empty before the first.
    const QString& sortDirection() const { return SortDirection; }
    const QString& sortedField() const { return titleRow_.sortedField(); }
    TitleRow::SortMarker sortMarker() const { return titleRow_.sortMarker(); }
    // The column whose title is shown pressed, -1 when none.
    int pressedTitle() const { return titleRow_.pressedColumn(); }

    // The title click: alternates SortDirection, puts the marker on the
    // column (up for "ASC", down for "DESC") and re-reads the list sorted by
    // the column's field. The search filter stays; afterwards the first row of
    // the new order is current. A failed re-read propagates and leaves the set
    // closed; the next click tries again with the next direction.
    void meslekkoduGridTitleClick(int column);

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
    // The wait cursor while the table is read.
    void recordSetBusy(bool busy) override;

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
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The geometry follows the font, the columns and the viewport's size.
    void layoutChanged();
    void fontChanged();
    void syncGeometry();
    void syncWindowSize();
    void syncScrollBars();
    void syncVerticalScrollBar();
    void refresh();
    void keepCurrentColumnShown();

    void ensureColumnVisible(int column);
    int firstVisibleColumn() const;
    int lastVisibleColumn() const;
    GridHit hitTest(const QPoint& point) const { return geometry_.hitTest(point, shownRows()); }
    bool isCurrentCell(int row, int column) const;

    void paintIndicatorCell(QPainter& painter, int row, const QRect& rect);
    void paintDataCell(QPainter& painter, int row, int column, const QRect& rect);
    void paintGridLines(QPainter& painter, int rows);
    void paintFocusRect(QPainter& painter, const QRect& rect);
    void drawCellText(QPainter& painter, const QRect& rect, const QString& text,
                      Qt::Alignment alignment);
    QColor cellTextColour() const;

    // Scroll bar and wheel commands; all of them act on the set, never on the bar's value.
    void verticalScrollAction(int action);
    // The bar's thumb put at `position` by a drop or by "scroll here".
    void verticalScrollTo(int position);
    // Scrolling while a moved column is held past an edge.
    int autoScrollDirection() const;
    void followMovedColumn();
    void autoScrollStep();
    static constexpr int AutoScrollIntervalMs = 50;
    void wheelNotch(bool down, Qt::KeyboardModifiers modifiers);
    void handleWheel(QWheelEvent* event);
    void handleKey(QKeyEvent* event);
    void handleMousePress(QMouseEvent* event, bool doubleClick);
    void handleMouseRelease(QMouseEvent* event);
    void carryOut(const TitleRow::Outcome& outcome, const QPoint& point);
    void paint();
    // Tells assistive technology about a new current cell (a selection event,
    // and a focus event while the grid has the focus) or a new list: once the
    // event at hand is done, so that a command that moves the cell several
    // times tells only where it ended, and the cell's focus comes after Qt's
    // focus event for the grid itself.
    void tellAssistiveTechnology(bool focusIn = false);
    void tellAssistiveTechnologyNow();

    OccupationRecordSet& recordSet_;
    GridGeometry geometry_;
    TitleRow titleRow_;
    WindowsTextMetrics textMetrics_;
    QString SortDirection;
    int currentColumn_ = 0;
    int paintingRow_ = -1;
    int wheelRemainder_ = 0;
    bool syncingWindow_ = false;
    bool syncingBar_ = false;  // the bar is being set from the set
    QTimer autoScroll_;
    QPoint dragPoint_;  // the pointer's last place while a button is held
    ColumnChooserOpener chooserOpener_;
    // What assistive technology was last told: the list, the shown columns
    // (fields in display order) and the current cell (shown row, shown column).
    quint64 toldGeneration_ = ~quint64(0);
    std::vector<int> toldColumns_;
    QPoint toldCell_{-1, -1};
    bool tellPending_ = false;
    bool tellFocusIn_ = false;
};
