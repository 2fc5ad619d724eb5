#include "grid/OccupationGrid.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <utility>

#include "grid/GridAccessible.h"
#include "widgets/Accessibility.h"
#include "widgets/Application.h"

namespace {

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
