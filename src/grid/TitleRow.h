#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include "grid/GridGeometry.h"

class QFont;
class QPainter;
class QPalette;
struct WindowsTextMetrics;

// The grid's title row: the sort marker, the mouse gestures that start there
// (resizing a column, pressing a title, moving a column with the right
// button) and the painting of the title cells and the corner cell. It decides
// what a gesture means; the grid carries it out.
//
// A left press within ResizeMargin of a column's right boundary resizes that
// column. A left press on a title while the set is open presses the title (not
// the second press of a double click); the pressed look follows the pointer.
// A right press on a title while the set is open starts moving the column.
// At the release: a finished resize gives a width (under MinimumWidth keeps the
// old one) and nothing else; otherwise a left release over the corner cell
// opens the column chooser while the set is open, and over a title it is a
// title click. A right release that ends a press on a title is a title click
// when it is over a title (after the move, if any) and never opens the menu;
// any other right release over the data rows, the indicator column or the
// corner cell opens the pop-up menu.
class TitleRow {
public:
    enum SortMarker { smNone, smDown, smUp };

    // What a release asks the grid to do, in this order.
    struct Outcome {
        int resizeColumn = -1;  // set this column's width to `width`
        int width = 0;
        int moveFrom = -1;  // move the column at moveFrom to moveTo
        int moveTo = -1;
        bool openChooser = false;
        // Run the title click with the column under the pointer (after the move), if any.
        bool titleClick = false;
        bool popupMenu = false;
    };

    explicit TitleRow(const GridGeometry& geometry) : geometry_(geometry) {}

    const QString& sortedField() const { return sortedField_; }
    SortMarker sortMarker() const { return sortMarker_; }
    void setSortMarker(const QString& field, SortMarker marker) {
        sortedField_ = field;
        sortMarker_ = marker;
    }
    // The title of this column shows the marker (the field compared without letter case).
    bool showsMarker(const GridColumn& column) const;

    // A press of the left or right button. Returns true when the press belongs
    // to the title row (the grid then leaves the current cell alone).
    bool press(const QPoint& point, Qt::MouseButton button, bool doubleClick, bool setOpen,
               const GridHit& hit);
    // The pointer moved with a button held; true when the title row needs repainting.
    bool move(const QPoint& point, const GridHit& hit);
    Outcome release(const QPoint& point, Qt::MouseButton button, bool setOpen, const GridHit& hit);
    // Drops whatever gesture is going on (the grid lost the mouse).
    void cancel();

    // The column shown pressed, -1 when none.
    int pressedColumn() const { return pressed_ && pressLooksDown_ ? pressedColumn_ : -1; }
    bool resizing() const { return gesture_ == Gesture::Resizing; }
    bool moving() const { return gesture_ == Gesture::Moving; }
    // The pointer's x while a column is moved.
    int dragX() const { return dragX_; }

    // The corner cell and every shown title.
    void paint(QPainter& painter, const QPalette& palette, const QFont& font,
               const WindowsTextMetrics& metrics, bool enabled) const;
    // The line that follows a resize and the mark where a moved column lands
    // (kept inside the viewport), over the whole height of the grid; painted last.
    void paintFeedback(QPainter& painter, const QPalette& palette, const QSize& viewport) const;
    // A caption cut to fit `available` pixels: its first n characters and
    // "...", with n from length - 2 down to 0; "..." alone when none fits.
    static QString fittedCaption(const QString& caption, const QFont& font, int available);

private:
    enum class Gesture { None, Resizing, Pressing, Moving, RightOnTitle, Other };

    void paintTitleCell(QPainter& painter, const QPalette& palette, const QFont& font,
                        const WindowsTextMetrics& metrics, bool enabled, int column) const;
    void paintCornerCell(QPainter& painter, const QPalette& palette) const;

    const GridGeometry& geometry_;
    QString sortedField_;
    SortMarker sortMarker_ = smNone;

    Gesture gesture_ = Gesture::None;
    Qt::MouseButton button_ = Qt::NoButton;
    int pressedColumn_ = -1;  // the title pressed, resized or moved
    bool pressed_ = false;
    bool pressLooksDown_ = false;
    int dragX_ = 0;
    // How far right of the boundary being resized the press was.
    int grabOffset_ = 0;
};
