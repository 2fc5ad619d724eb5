// The grid's input: keys, the mouse on the cells and the title row (and the
// scrolling while a moved column is held past an edge), the wheel.
#include "grid/OccupationGrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

#include "widgets/Application.h"

namespace {

// One wheel notch.
constexpr int WheelNotch = 120;

}  // namespace

void OccupationGrid::handleKey(QKeyEvent* event) {
    if (!recordSet_.active()) {
        event->ignore();
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    OccupationRecordSet& set = recordSet_;
    // Ctrl with Up/Down and the page keys: the top or bottom row of the window.
    const int toTop = -currentRow();
    const int toBottom = std::max(0, set.windowCount() - 1 - currentRow());
    switch (event->key()) {
        case Qt::Key_Up:
            set.moveBy(ctrl ? toTop : -1);
            break;
        case Qt::Key_Down:
            set.moveBy(ctrl ? toBottom : 1);
            break;
        case Qt::Key_PageUp:
            set.moveBy(ctrl ? toTop : -visibleDataRows());
            break;
        case Qt::Key_PageDown:
            set.moveBy(ctrl ? toBottom : visibleDataRows());
            break;
        case Qt::Key_Left: {
            const int column =
                ctrl ? firstVisibleColumn() : geometry_.nextVisibleColumn(currentColumn_, -1);
            setCurrentColumn(column);
            break;
        }
        case Qt::Key_Right: {
            const int column =
                ctrl ? lastVisibleColumn() : geometry_.nextVisibleColumn(currentColumn_, 1);
            setCurrentColumn(column);
            break;
        }
        case Qt::Key_Home:
            if (ctrl || visibleColumnCount() <= 1) {
                set.first();
            } else {
                setCurrentColumn(firstVisibleColumn());
            }
            break;
        case Qt::Key_End:
            if (ctrl || visibleColumnCount() <= 1) {
                set.last();
            } else {
                setCurrentColumn(lastVisibleColumn());
            }
            break;
        case Qt::Key_Insert:
        case Qt::Key_Delete:
            // Read-only: no row is ever inserted or deleted here.
            break;
        default:
            event->ignore();
            return;
    }
    event->accept();
    refresh();
}

void OccupationGrid::handleMousePress(QMouseEvent* event, bool doubleClick) {
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
    const QPoint point = event->position().toPoint();
    const GridHit hit = hitTest(point);
    const bool open = recordSet_.active();
    if (titleRow_.press(point, button, doubleClick, open, hit)) {
        viewport()->update();
        return;
    }
    if (!open) return;
    if (hit.area == GridHit::Data || hit.area == GridHit::Indicator) {
        if (hit.row < recordSet_.windowCount()) recordSet_.setCurrentWindowIndex(hit.row);
        if (hit.area == GridHit::Data) setCurrentColumn(hit.column);
        refresh();
    }
}

void OccupationGrid::handleMouseRelease(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    const QPoint point = event->position().toPoint();
    const TitleRow::Outcome outcome =
        titleRow_.release(point, button, recordSet_.active(), hitTest(point));
    autoScroll_.stop();
    viewport()->update();
    carryOut(outcome, point);
}

void OccupationGrid::carryOut(const TitleRow::Outcome& outcome, const QPoint& point) {
    if (outcome.resizeColumn >= 0) setColumnWidth(outcome.resizeColumn, outcome.width);
    if (outcome.moveFrom >= 0) moveColumn(outcome.moveFrom, outcome.moveTo);
    if (outcome.openChooser && chooserOpener_) {
        chooserOpener_(*this);
        viewport()->update();
    }
    if (outcome.titleClick) {
        const GridHit hit = hitTest(point);
        if (hit.area == GridHit::Title) meslekkoduGridTitleClick(hit.column);
    }
    if (outcome.popupMenu) emit popupMenuRequested(viewport()->mapToGlobal(point));
}

// The event functions run their bodies guarded: no failure may cross Qt's own
// code on the way out.
void OccupationGrid::keyPressEvent(QKeyEvent* event) {
    guardEvent(this, [&] { handleKey(event); });
}

void OccupationGrid::mousePressEvent(QMouseEvent* event) {
    guardEvent(this, [&] { handleMousePress(event, false); });
}

// The second press of a double click.
void OccupationGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    guardEvent(this, [&] { handleMousePress(event, true); });
}

void OccupationGrid::mouseMoveEvent(QMouseEvent* event) {
    guardEvent(this, [&] {
        const QPoint point = event->position().toPoint();
        if (titleRow_.move(point, hitTest(point))) viewport()->update();
        dragPoint_ = point;
        followMovedColumn();
    });
}

// While a column is moved with the pointer held past the left of the titles
// or the right edge, the grid scrolls that way, a step at each tick.
int OccupationGrid::autoScrollDirection() const {
    if (!titleRow_.moving()) return 0;
    const int x = titleRow_.dragX();
    if (x >= viewport()->width()) return 1;
    if (x < geometry_.dataLeft()) return -1;
    return 0;
}

void OccupationGrid::followMovedColumn() {
    if (autoScrollDirection() == 0) {
        autoScroll_.stop();
    } else if (!autoScroll_.isActive()) {
        autoScroll_.start();
    }
}

void OccupationGrid::autoScrollStep() {
    const int direction = autoScrollDirection();
    if (direction == 0) {
        autoScroll_.stop();
        return;
    }
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(bar->value() + direction * bar->singleStep());
    titleRow_.move(dragPoint_, hitTest(dragPoint_));
    viewport()->update();
}

void OccupationGrid::mouseReleaseEvent(QMouseEvent* event) {
    guardEvent(this, [&] { handleMouseRelease(event); });
}

void OccupationGrid::paintEvent(QPaintEvent*) {
    guardEvent(this, [&] { paint(); });
}

void OccupationGrid::wheelEvent(QWheelEvent* event) {
    guardEvent(this, [&] { handleWheel(event); });
}

bool OccupationGrid::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the scroll bar moves the current row like the wheel over the cells.
    if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
        guardEvent(this, [&] { handleWheel(static_cast<QWheelEvent*>(event)); });
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void OccupationGrid::handleWheel(QWheelEvent* event) {
    event->accept();
    setFocus(Qt::MouseFocusReason);
    // Some platforms turn the vertical wheel sideways while Alt is held.
    const QPoint delta = event->angleDelta();
    const bool sideways = delta.y() == 0 && (event->modifiers() & Qt::AltModifier);
    wheelRemainder_ += sideways ? delta.x() : delta.y();
    while (std::abs(wheelRemainder_) >= WheelNotch) {
        const bool down = wheelRemainder_ < 0;
        wheelRemainder_ += down ? WheelNotch : -WheelNotch;
        wheelNotch(down, event->modifiers());
    }
}

void OccupationGrid::wheelNotch(bool down, Qt::KeyboardModifiers modifiers) {
    if (!recordSet_.active()) return;
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    // Down pages whenever Ctrl is held; up only with Ctrl alone.
    const bool page = down ? bool(held & Qt::ControlModifier) : held == Qt::ControlModifier;
    const int distance = page ? visibleDataRows() - 1 : 1;
    recordSet_.moveBy(down ? distance : -distance);
    refresh();
}
