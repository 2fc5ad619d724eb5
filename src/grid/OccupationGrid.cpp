#include "grid/OccupationGrid.h"

#include <QAccessible>
#include <QApplication>

#include "widgets/Accessibility.h"
#include "widgets/Application.h"
#include "grid/GridAccessible.h"
#include "grid/GridGlyphs.h"

#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// Grid lines between fixed cells and between data cells.
const QColor FixedLineColour(0, 0, 0);
const QColor DataLineColour(192, 192, 192);
// One wheel notch.
constexpr int WheelNotch = 120;

std::vector<GridColumn> occupationColumns() {
    return {
        {OccupationRecordSet::MeslekKodu, QStringLiteral("meslek_kodu"),
         QStringLiteral("Meslek Kodu"), 95, Qt::AlignLeft, true},
        {OccupationRecordSet::MeslekAdi, QStringLiteral("meslek_adi"), QStringLiteral("Meslek Adı"),
         400, Qt::AlignLeft, true},
    };
}

}  // namespace

OccupationGrid::OccupationGrid(OccupationRecordSet& recordSet, QWidget* parent)
    : QAbstractScrollArea(parent),
      recordSet_(recordSet),
      geometry_(occupationColumns()),
      titleRow_(geometry_) {
    installGridAccessibleFactory();
    setObjectName(QStringLiteral("meslekkoduGrid"));
    // The sunken client edge: shadow outside and dark shadow inside on the top
    // and left, highlight outside and light inside on the bottom and right.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    // The square between the two bars in the button face, not the panel's
    // colour showing through.
    auto* corner = new QWidget(this);
    corner->setObjectName(QStringLiteral("meslekkoduGridCorner"));
    corner->setBackgroundRole(QPalette::Button);
    corner->setAutoFillBackground(true);
    setCornerWidget(corner);
    setFocusPolicy(Qt::WheelFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    // The pop-up menu opens at the right release, which the mouse rules decide;
    // Qt's context-menu event would come at the press.
    setContextMenuPolicy(Qt::NoContextMenu);
    viewport()->setContextMenuPolicy(Qt::NoContextMenu);

    // The list never follows the thumb while it is dragged; every bar command
    // goes to the record set and the bar is then set from the set.
    // Its context menu's "top" and "bottom" come as actions like the arrows;
    // its "scroll here" sets the value, as nothing else but the set does.
    QScrollBar* bar = verticalScrollBar();
    bar->setTracking(false);
    bar->installEventFilter(this);
    connect(bar, &QAbstractSlider::actionTriggered, this,
            [this](int action) { guardEvent(this, [&] { verticalScrollAction(action); }); });
    autoScroll_.setInterval(AutoScrollIntervalMs);
    connect(&autoScroll_, &QTimer::timeout, this,
            [this] { guardEvent(this, [&] { autoScrollStep(); }); });
    connect(bar, &QAbstractSlider::valueChanged, this, [this](int value) {
        if (syncingBar_) return;
        guardEvent(this, [&] {
            if (recordSet_.active()) verticalScrollTo(value);
            refresh();
        });
    });

    setFont(QFont(QStringLiteral("Tahoma"), 12));
    recordSet_.addObserver(this);
    fontChanged();
}

OccupationGrid::~OccupationGrid() { recordSet_.removeObserver(this); }

// ---- geometry ---------------------------------------------------------------

void OccupationGrid::fontChanged() {
    // Reading the font's tables is work for a new font, not for every resize.
    textMetrics_ = WindowsTextMetrics::of(font());
    geometry_.setTextHeight(textMetrics_.height());
    layoutChanged();
}

void OccupationGrid::syncGeometry() {
    geometry_.setViewportSize(viewport()->size());
    geometry_.setHorizontalOffset(horizontalScrollBar()->value());
}

int OccupationGrid::shownRows() const {
    if (!recordSet_.active()) return 1;
    return std::max(1, recordSet_.windowCount());
}

QPoint OccupationGrid::columnChooserPosition() const {
    const QRect corner = cellRect(-1, -1);
    return viewport()->mapToGlobal(QPoint(corner.left(), corner.top() + corner.height() + 1));
}

// ---- columns ----------------------------------------------------------------

void OccupationGrid::setColumnWidth(int column, int width) {
    if (width < 1 || geometry_.column(column).width == width) return;
    geometry_.setColumnWidth(column, width);
    layoutChanged();
}

void OccupationGrid::setColumnsVisible(const std::vector<std::pair<int, bool>>& visibility) {
    bool changed = false;
    for (const auto& [column, visible] : visibility) {
        if (column < 0 || column >= columnCount() || isColumnVisible(column) == visible) continue;
        geometry_.setColumnVisible(column, visible);
        changed = true;
    }
    if (!changed) return;
    keepCurrentColumnShown();
    layoutChanged();
}

void OccupationGrid::keepCurrentColumnShown() {
    if (isColumnVisible(currentColumn_)) return;
    const int next = geometry_.nextVisibleColumn(currentColumn_, 1);
    const int previous = geometry_.nextVisibleColumn(currentColumn_, -1);
    currentColumn_ = next >= 0 ? next : (previous >= 0 ? previous : currentColumn_);
}

void OccupationGrid::moveColumn(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= columnCount() || to >= columnCount()) return;
    // The current column is the same column after the move.
    int current = currentColumn_;
    if (current == from) {
        current = to;
    } else if (from < current && current <= to) {
        --current;
    } else if (to <= current && current < from) {
        ++current;
    }
    geometry_.moveColumn(from, to);
    currentColumn_ = current;
    layoutChanged();
}

int OccupationGrid::firstVisibleColumn() const {
    const int column = geometry_.nextVisibleColumn(-1, 1);
    return column >= 0 ? column : currentColumn_;
}

int OccupationGrid::lastVisibleColumn() const {
    const int column = geometry_.nextVisibleColumn(columnCount(), -1);
    return column >= 0 ? column : currentColumn_;
}

void OccupationGrid::setCurrentColumn(int column) {
    if (column < 0 || column >= columnCount() || !isColumnVisible(column)) return;
    if (column != currentColumn_) {
        currentColumn_ = column;
        viewport()->update();
    }
    ensureColumnVisible(column);
}

void OccupationGrid::ensureColumnVisible(int column) {
    QScrollBar* bar = horizontalScrollBar();
    const int left = geometry_.columnContentLeft(column) - geometry_.dataLeft();
    const int right = left + columnWidth(column);
    const int width = viewport()->width() - geometry_.dataLeft();
    if (left < bar->value()) {
        bar->setValue(left);
    } else if (right > bar->value() + width) {
        bar->setValue(std::min(left, right - width));
    }
}

int OccupationGrid::currentRow() const {
    const int index = recordSet_.currentWindowIndex();
    return index < 0 ? 0 : index;
}

bool OccupationGrid::isCurrentCell(int row, int column) const {
    return row == currentRow() && column == currentColumn_;
}

// ---- the title click --------------------------------------------------------

void OccupationGrid::meslekkoduGridTitleClick(int column) {
    const QString old = SortDirection;
    if (old == QLatin1String("ASC")) {
        SortDirection = QStringLiteral("DESC");
    } else if (old == QLatin1String("DESC")) {
        SortDirection = QStringLiteral("ASC");
    } else if (old.isEmpty()) {
        SortDirection = QStringLiteral("ASC");
    }
    const QString& field = columnFieldName(column);
    // The marker shows the order the list is about to be in.
    titleRow_.setSortMarker(
        field, SortDirection == QLatin1String("ASC") ? TitleRow::smUp : TitleRow::smDown);
    viewport()->update();
    recordSet_.resort(field, SortDirection);
}

// ---- keeping up with the record set and the size ---------------------------

void OccupationGrid::layoutChanged() {
    syncGeometry();
    syncWindowSize();
    syncScrollBars();
    viewport()->update();
    tellAssistiveTechnology();
}

void OccupationGrid::syncWindowSize() {
    if (syncingWindow_ || !recordSet_.active() || recordSet_.isEmpty()) return;
    const int rows = visibleDataRows();
    if (recordSet_.windowSize() == rows) return;
    QScopedValueRollback<bool> guard(syncingWindow_, true);
    recordSet_.setWindowSize(rows);
}

void OccupationGrid::syncScrollBars() {
    QScrollBar* bar = horizontalScrollBar();
    const int width = viewport()->width() - geometry_.dataLeft();
    bar->setRange(0, std::max(0, geometry_.columnsWidth() - width));
    bar->setPageStep(std::max(1, width));
    bar->setSingleStep(16);
    geometry_.setHorizontalOffset(bar->value());
    syncVerticalScrollBar();
}

void OccupationGrid::syncVerticalScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    const QScopedValueRollback syncing(syncingBar_, true);
    if (!recordSet_.active()) {
        bar->setRange(0, 0);
        return;
    }
    if (recordSet_.isSequenced()) {
        // Positional: the thumb stands at the current row's position. Qt's
        // maximum is the last thumb position, so the range ends at the count.
        bar->setRange(1, std::max(1, recordSet_.recordCount()));
        bar->setPageStep(visibleDataRows());
        bar->setSingleStep(1);
        bar->setValue(recordSet_.recNo());
    } else {
        // Coarse: first, somewhere in between, last.
        bar->setRange(0, 4);
        bar->setPageStep(0);
        bar->setSingleStep(1);
        bar->setValue(recordSet_.atFirstRecord() ? 0 : (recordSet_.atLastRecord() ? 4 : 2));
    }
}

void OccupationGrid::refresh() {
    syncVerticalScrollBar();
    viewport()->update();
    tellAssistiveTechnology();
}

void OccupationGrid::tellAssistiveTechnology(bool focusIn) {
    if (!accessibilityListening()) return;
    tellFocusIn_ = tellFocusIn_ || focusIn;
    if (tellPending_) return;
    tellPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { guardEvent(this, [this] { tellAssistiveTechnologyNow(); }); },
        Qt::QueuedConnection);
}

void OccupationGrid::tellAssistiveTechnologyNow() {
    tellPending_ = false;
    const bool focusIn = std::exchange(tellFocusIn_, false);
    if (!accessibilityListening()) return;
    auto* table =
        dynamic_cast<OccupationGridAccessible*>(QAccessible::queryAccessibleInterface(this));
    if (table == nullptr) return;
    std::vector<int> columns;
    for (int column = 0; column < columnCount(); ++column) {
        if (isColumnVisible(column)) columns.push_back(columnField(column));
    }
    const bool listChanged =
        recordSet_.shownListGeneration() != toldGeneration_ || columns != toldColumns_;
    if (listChanged) {
        table->reset();
        toldGeneration_ = recordSet_.shownListGeneration();
        toldColumns_ = std::move(columns);
    }
    QAccessibleInterface* cell = table->currentCell();
    QPoint at(-1, -1);
    if (cell != nullptr) {
        at = QPoint(cell->tableCellInterface()->columnIndex(),
                    cell->tableCellInterface()->rowIndex());
    }
    if (!focusIn && !listChanged && at == toldCell_) return;
    toldCell_ = at;
    if (cell == nullptr) return;
    if (!focusIn) {
        QAccessibleEvent selection(cell, QAccessible::Selection);
        notifyAccessible(&selection);
    }
    if (hasFocus()) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        notifyAccessible(&focus);
    }
}

void OccupationGrid::recordSetStateChanged() {
    syncWindowSize();
    refresh();
}

void OccupationGrid::recordSetChanged() {
    syncWindowSize();
    refresh();
}

void OccupationGrid::currentRecordMoved() { refresh(); }

void OccupationGrid::recordSetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

// ---- events -----------------------------------------------------------------

void OccupationGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    guardEvent(this, [&] { layoutChanged(); });
}

void OccupationGrid::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    switch (event->type()) {
        case QEvent::FontChange:
            fontChanged();
            break;
        case QEvent::StyleChange:
            layoutChanged();
            break;
        case QEvent::PaletteChange:
        case QEvent::EnabledChange:
            viewport()->update();
            break;
        default:
            break;
    }
}

void OccupationGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    guardEvent(this, [&] { tellAssistiveTechnology(true); });
}

void OccupationGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void OccupationGrid::scrollContentsBy(int, int) {
    geometry_.setHorizontalOffset(horizontalScrollBar()->value());
    viewport()->update();
}

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

void OccupationGrid::verticalScrollAction(int action) {
    QScrollBar* bar = verticalScrollBar();
    const int dropped = bar->sliderPosition();
    // Qt has already moved the thumb; put it back and let the set decide.
    bar->setSliderPosition(bar->value());
    if (!recordSet_.active()) return;

    OccupationRecordSet& set = recordSet_;
    const int page = visibleDataRows();
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            // The row just above the first shown row.
            if (!set.isEmpty()) set.moveBy(-(set.currentWindowIndex() + 1));
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            // The row just below the last shown row.
            if (!set.isEmpty()) set.moveBy(set.windowCount() - set.currentWindowIndex());
            break;
        case QAbstractSlider::SliderPageStepSub:
            set.moveBy(-page);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            set.moveBy(page);
            break;
        case QAbstractSlider::SliderToMinimum:
            set.first();
            break;
        case QAbstractSlider::SliderToMaximum:
            set.last();
            break;
        case QAbstractSlider::SliderMove:
            verticalScrollTo(dropped);
            break;
        default:
            break;
    }
    refresh();
}

void OccupationGrid::verticalScrollTo(int position) {
    OccupationRecordSet& set = recordSet_;
    if (set.isSequenced()) {
        const int count = set.recordCount();
        if (position <= 1) {
            set.first();
        } else if (position >= count) {
            set.last();
        } else {
            set.moveToRecNo(position);
        }
        return;
    }
    const int page = visibleDataRows();
    switch (position) {
        case 0:
            set.first();
            break;
        case 1:
            set.moveBy(-page);
            break;
        case 3:
            set.moveBy(page);
            break;
        case 4:
            set.last();
            break;
        default:
            break;
    }
}

// ---- painting ---------------------------------------------------------------

void OccupationGrid::paint() {
    QPainter painter(viewport());
    const QPalette pal = palette();
    painter.fillRect(viewport()->rect(), pal.color(QPalette::Active, QPalette::Base));
    painter.setFont(font());

    const int rows = shownRows();
    titleRow_.paint(painter, pal, font(), textMetrics_, isEnabled());
    for (int row = 0; row < rows; ++row) paintIndicatorCell(painter, row, cellRect(row, -1));

    // The data columns scroll sideways under the fixed indicator column.
    const int dataLeft = geometry_.dataLeft();
    painter.save();
    painter.setClipRect(
        QRect(dataLeft, 0, std::max(0, viewport()->width() - dataLeft), viewport()->height()));
    for (int column = 0; column < columnCount(); ++column) {
        if (!isColumnVisible(column)) continue;
        for (int row = 0; row < rows; ++row) {
            paintDataCell(painter, row, column, cellRect(row, column));
        }
    }
    painter.restore();
    paintGridLines(painter, rows);
    titleRow_.paintFeedback(painter, pal, viewport()->size());
}

void OccupationGrid::paintGridLines(QPainter& painter, int rows) {
    const GridGeometry& g = geometry_;
    const int dataLeft = g.dataLeft();
    const int titleHeight = g.titleRowHeight();
    const int gridBottom = g.rowTop(rows - 1) + g.dataRowHeight();  // the last horizontal line
    const int gridRight = dataLeft + g.columnsWidth() - g.horizontalOffset();
    const QRect dataArea(dataLeft, 0, std::max(0, viewport()->width() - dataLeft),
                         viewport()->height());

    // Lines of the fixed cells: below the title row, right of and between the indicator cells.
    painter.fillRect(QRect(0, titleHeight, IndicatorWidth + GridLineWidth, GridLineWidth),
                     FixedLineColour);
    painter.fillRect(QRect(IndicatorWidth, 0, GridLineWidth, gridBottom + GridLineWidth),
                     FixedLineColour);
    for (int row = 0; row < rows; ++row) {
        painter.fillRect(QRect(0, g.rowTop(row) + g.dataRowHeight(), IndicatorWidth, GridLineWidth),
                         FixedLineColour);
    }

    painter.save();
    painter.setClipRect(dataArea);
    painter.fillRect(QRect(dataLeft, titleHeight, gridRight - dataLeft, GridLineWidth),
                     FixedLineColour);
    for (int column = 0; column < columnCount(); ++column) {
        const QRect cell = cellRect(-1, column);
        if (cell.isNull()) continue;
        const int x = cell.left() + cell.width();
        painter.fillRect(QRect(x, 0, GridLineWidth, titleHeight), FixedLineColour);
        painter.fillRect(
            QRect(x, g.dataTop(), GridLineWidth, gridBottom + GridLineWidth - g.dataTop()),
            DataLineColour);
    }
    for (int row = 0; row < rows; ++row) {
        painter.fillRect(
            QRect(dataLeft, g.rowTop(row) + g.dataRowHeight(), gridRight - dataLeft, GridLineWidth),
            DataLineColour);
    }
    painter.restore();
}

void OccupationGrid::paintIndicatorCell(QPainter& painter, int row, const QRect& rect) {
    painter.fillRect(rect, palette().color(QPalette::Active, QPalette::Button));
    GridGlyphs::drawEdge(painter, rect, palette(), false);
    if (!recordSet_.active() || row != currentRow()) return;
    // A black triangle pointing right, 6 by 11, ending 2 pixels before the right edge.
    constexpr int Width = 6;
    constexpr int Height = 11;
    const int left = rect.left() + rect.width() - 2 - Width;
    const int top = rect.top() + (rect.height() - Height) / 2;
    for (int i = 0; i < Width; ++i) {
        painter.fillRect(QRect(left + i, top + i, 1, Height - 2 * i), Qt::black);
    }
}

QColor OccupationGrid::cellTextColour() const {
    return palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
}

void OccupationGrid::paintDataCell(QPainter& painter, int row, int column, const QRect& rect) {
    const QPalette pal = palette();
    if (!recordSet_.active()) {
        painter.fillRect(rect, pal.color(QPalette::Active, QPalette::Base));
        return;
    }
    const bool current = isCurrentCell(row, column);
    const bool focusHighlight = current && hasFocus();

    // The grid's own painting. The painting rule covers every pixel of it again
    // whenever the result has rows, so then it is left out.
    if (recordSet_.recordCount() == 0) {
        const QString text = row < recordSet_.windowCount()
                                 ? recordSet_.windowFieldText(row, geometry_.column(column).field)
                                 : QString();
        painter.fillRect(rect, pal.color(QPalette::Active,
                                         focusHighlight ? QPalette::Highlight : QPalette::Base));
        painter.setPen(focusHighlight ? pal.color(QPalette::Active, QPalette::HighlightedText)
                                      : cellTextColour());
        drawCellText(painter, rect, text, geometry_.column(column).alignment);
    }

    paintingRow_ = row;
    ozlukizleDrawColumnCell(painter, rect, column, current);
    paintingRow_ = -1;

    if (current && window()->focusWidget() == this) paintFocusRect(painter, rect);
}

void OccupationGrid::ozlukizleDrawColumnCell(QPainter& painter, const QRect& rect, int column,
                                             bool selected) {
    if (recordSet_.recordCount() == 0) return;
    const QPalette pal = palette();
    QColor background;
    if (selected) {
        background = pal.color(QPalette::Active, QPalette::Highlight);
        painter.setPen(pal.color(QPalette::Active, QPalette::HighlightedText));
    } else {
        const int n = paintingRow_ >= 0 && paintingRow_ < recordSet_.windowCount()
                          ? recordSet_.windowRecNo(paintingRow_)
                          : -1;
        background = n > 0 && n % 2 == 1 ? StripeColour : PlainColour;
        painter.setPen(cellTextColour());
    }
    painter.fillRect(rect, background);
    const QString text =
        paintingRow_ >= 0 && paintingRow_ < recordSet_.windowCount()
            ? recordSet_.windowFieldText(paintingRow_, geometry_.column(column).field)
            : QString();
    drawCellText(painter, rect, text, geometry_.column(column).alignment);
}

void OccupationGrid::drawCellText(QPainter& painter, const QRect& rect, const QString& text,
                                  Qt::Alignment alignment) {
    if (text.isEmpty()) return;
    const QFontMetrics metrics(painter.font());
    int x = rect.left() + 2;
    if (alignment & Qt::AlignRight) {
        x = rect.left() + rect.width() - 3 - metrics.horizontalAdvance(text);
    } else if (alignment & Qt::AlignHCenter) {
        x = rect.left() + (rect.width() - metrics.horizontalAdvance(text)) / 2;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    // Windows puts the text's top 2 pixels below the cell's; its baseline follows the Windows
    // ascent.
    painter.drawText(x, rect.top() + 2 + textMetrics_.ascent, text);
    painter.restore();
}

void OccupationGrid::paintFocusRect(QPainter& painter, const QRect& rect) {
    // Every other pixel of the cell's outline, inverted.
    const int left = rect.left();
    const int top = rect.top();
    const int right = left + rect.width() - 1;
    const int bottom = top + rect.height() - 1;
    QPolygon dots;
    const auto dot = [&](int x, int y) {
        if ((x - left + y - top) % 2 == 0) dots << QPoint(x, y);
    };
    for (int x = left; x <= right; ++x) {
        dot(x, top);
        if (bottom != top) dot(x, bottom);
    }
    for (int y = top + 1; y < bottom; ++y) {
        dot(left, y);
        if (right != left) dot(right, y);
    }
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawPoints(dots);
    painter.restore();
}
