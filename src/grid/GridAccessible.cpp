#include "grid/GridAccessible.h"

#include <QScrollBar>

#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"

namespace {

// One cell of the grid, or a column title (row -1), as assistive technology
// sees it. It holds its place in the table, not a copy of its text.
class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCellAccessible(OccupationGrid* grid, int row, int column)
        : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override { return !grid_.isNull() && table() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QAccessible::Role role() const override {
        return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QString text(QAccessible::Text t) const override {
        const OccupationGridAccessible* table = gridTable();
        if (t != QAccessible::Name || table == nullptr) return QString();
        const int column = table->gridColumn(column_);
        if (column < 0) return QString();
        if (row_ < 0) return grid_->columnTitle(column);
        const OccupationRecordSet& set = grid_->recordSet();
        return set.positionFieldText(set.shownPosition(row_), grid_->columnField(column));
    }

    QRect rect() const override {
        const OccupationGridAccessible* table = gridTable();
        if (table == nullptr) return QRect();
        const int windowRow = row_ < 0 ? -1 : table->windowRowOfShownRow(row_);
        if (row_ >= 0 && windowRow < 0) return QRect();
        const QRect cell = grid_->cellRect(windowRow, table->gridColumn(column_));
        if (cell.isEmpty()) return QRect();
        QWidget* viewport = grid_->viewport();
        return QRect(viewport->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        const OccupationGridAccessible* table = gridTable();
        if (table == nullptr) {
            state.invalid = true;
            return state;
        }
        state.readOnly = true;
        if (row_ < 0) return state;
        state.selectable = true;
        state.focusable = true;
        if (isSelected()) {
            state.selected = true;
            state.focused = grid_->hasFocus();
        }
        if (table->windowRowOfShownRow(row_) < 0) {
            state.offscreen = true;
            state.invisible = true;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface) {
            return static_cast<QAccessibleTableCellInterface*>(this);
        }
        return nullptr;
    }

    // QAccessibleTableCellInterface
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        const OccupationGridAccessible* table = gridTable();
        if (table == nullptr || row_ < 0) return {};
        return {table->headerCell(column_)};
    }
    bool isSelected() const override {
        const OccupationGridAccessible* table = gridTable();
        if (table == nullptr || row_ < 0) return false;
        const QAccessibleInterface* current = table->currentCell();
        return current == this;
    }
    QAccessibleInterface* table() const override { return parent(); }

private:
    const OccupationGridAccessible* gridTable() const {
        if (grid_.isNull()) return nullptr;
        return dynamic_cast<OccupationGridAccessible*>(
            QAccessible::queryAccessibleInterface(grid_.data()));
    }

    QPointer<OccupationGrid> grid_;
    int row_;
    int column_;
};

qint64 cellKey(int row, int column) { return (qint64(row) + 1) * 1024 + column; }

}  // namespace

OccupationGridAccessible::OccupationGridAccessible(OccupationGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table) {}

OccupationGridAccessible::~OccupationGridAccessible() { reset(); }

OccupationGrid* OccupationGridAccessible::grid() const {
    return static_cast<OccupationGrid*>(widget());
}

QString OccupationGridAccessible::text(QAccessible::Text t) const {
    QString text = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && text.isEmpty()) text = QStringLiteral("Meslek listesi");
    return text;
}

void* OccupationGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

// Children: the header cells, then the cells row by row.
int OccupationGridAccessible::childCount() const { return (rowCount() + 1) * columnCount(); }

QAccessibleInterface* OccupationGridAccessible::child(int index) const {
    const int columns = columnCount();
    if (index < 0 || columns == 0 || index >= childCount()) return nullptr;
    return cell(index / columns - 1, index % columns);
}

int OccupationGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) return -1;
    auto* found = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    if (found != nullptr) {
        const bool header = child->role() == QAccessible::ColumnHeader;
        const int row = header ? -1 : found->rowIndex();
        if (cell(row, found->columnIndex()) == child) {
            return (row + 1) * columnCount() + found->columnIndex();
        }
    }
    return -1;
}

QAccessibleInterface* OccupationGridAccessible::childAt(int x, int y) const {
    const OccupationGrid* g = grid();
    const QPoint point = g->viewport()->mapFromGlobal(QPoint(x, y));
    const int windowRows = g->recordSet().active() ? g->recordSet().windowCount() : 0;
    for (int column = 0; column < columnCount(); ++column) {
        const int gridCol = gridColumn(column);
        if (g->cellRect(-1, gridCol).contains(point)) return headerCell(column);
        for (int row = 0; row < windowRows; ++row) {
            if (g->cellRect(row, gridCol).contains(point)) {
                return cellAt(shownRowOfWindowRow(row), column);
            }
        }
    }
    return nullptr;
}

QAccessibleInterface* OccupationGridAccessible::focusChild() const {
    return grid()->hasFocus() ? currentCell() : nullptr;
}

QAccessibleInterface* OccupationGridAccessible::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
    return cell(row, column);
}

int OccupationGridAccessible::columnCount() const { return grid()->visibleColumnCount(); }

int OccupationGridAccessible::rowCount() const { return grid()->recordSet().shownCount(); }

QString OccupationGridAccessible::columnDescription(int column) const {
    const int gridCol = gridColumn(column);
    return gridCol < 0 ? QString() : grid()->columnTitle(gridCol);
}

int OccupationGridAccessible::selectedCellCount() const { return currentCell() ? 1 : 0; }

QList<QAccessibleInterface*> OccupationGridAccessible::selectedCells() const {
    QAccessibleInterface* current = currentCell();
    if (current == nullptr) return {};
    return {current};
}

QAccessibleInterface* OccupationGridAccessible::headerCell(int column) const {
    if (column < 0 || column >= columnCount()) return nullptr;
    return cell(-1, column);
}

QAccessibleInterface* OccupationGridAccessible::currentCell() const {
    const OccupationGrid* g = grid();
    const OccupationRecordSet& set = g->recordSet();
    if (!set.active() || set.isEmpty()) return nullptr;
    return cellAt(shownRowOfWindowRow(set.currentWindowIndex()), shownColumn(g->currentColumn()));
}

void OccupationGridAccessible::reset() {
    for (const QAccessible::Id id : std::as_const(cells_))
        QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
}

int OccupationGridAccessible::gridColumn(int column) const {
    const OccupationGrid* g = grid();
    for (int gridCol = 0; gridCol < g->columnCount(); ++gridCol) {
        if (!g->isColumnVisible(gridCol)) continue;
        if (column-- == 0) return gridCol;
    }
    return -1;
}

int OccupationGridAccessible::shownColumn(int gridCol) const {
    const OccupationGrid* g = grid();
    if (gridCol < 0 || gridCol >= g->columnCount() || !g->isColumnVisible(gridCol)) return -1;
    int shown = 0;
    for (int before = 0; before < gridCol; ++before) {
        if (g->isColumnVisible(before)) ++shown;
    }
    return shown;
}

int OccupationGridAccessible::shownRowOfWindowRow(int windowRow) const {
    const OccupationRecordSet& set = grid()->recordSet();
    if (!set.active() || windowRow < 0 || windowRow >= set.windowCount()) return -1;
    return set.shownRowOf(set.windowRecNo(windowRow));
}

// The window holds neighbouring rows of the shown list.
int OccupationGridAccessible::windowRowOfShownRow(int row) const {
    const int first = shownRowOfWindowRow(0);
    if (first < 0 || row < first) return -1;
    const int windowRow = row - first;
    return windowRow < grid()->recordSet().windowCount() ? windowRow : -1;
}

QAccessibleInterface* OccupationGridAccessible::cell(int row, int column) const {
    const qint64 key = cellKey(row, column);
    const auto found = cells_.constFind(key);
    if (found != cells_.constEnd()) return QAccessible::accessibleInterface(*found);
    auto* made = new GridCellAccessible(grid(), row, column);
    cells_.insert(key, QAccessible::registerAccessibleInterface(made));
    return made;
}

namespace {

QAccessibleInterface* makeGridAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("OccupationGrid")) {
        return new OccupationGridAccessible(static_cast<OccupationGrid*>(object));
    }
    return nullptr;
}

}  // namespace

void installGridAccessibleFactory() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(makeGridAccessible);
}
