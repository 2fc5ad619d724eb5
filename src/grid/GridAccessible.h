#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class OccupationGrid;

// Installs the factory that gives every OccupationGrid this interface; once
// is enough, later calls do nothing.
void installGridAccessibleFactory();

// The result grid as assistive technology sees it: a table whose rows are the
// whole shown list (every row the search lets through, not just the window the
// grid draws) and whose columns are the shown columns in display order, with
// the column titles as header cells. The current cell is the focused and
// selected cell. Cells read their texts from the record set when asked, so
// they stay right while the user moves; the grid calls reset() whenever the
// list or the columns change, which forgets every cell handed out.
//
// Made by the grid's own accessibility factory, which the first grid installs
// (installGridAccessibleFactory).
class OccupationGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit OccupationGridAccessible(OccupationGrid* grid);
    ~OccupationGridAccessible() override;

    OccupationGrid* grid() const;

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return QString(); }
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { reset(); }

    // The header cell of a shown column.
    QAccessibleInterface* headerCell(int column) const;
    // The current cell; null while the set is closed or shows nothing.
    QAccessibleInterface* currentCell() const;
    // Forgets every cell handed out: the list or the columns changed.
    void reset();

    // The grid column (display position) behind a shown column, -1 when none.
    int gridColumn(int column) const;
    // The shown column of a grid column, -1 for a hidden one.
    int shownColumn(int gridColumn) const;
    // The shown row (0-based in the shown list) of a window row, -1 when none.
    int shownRowOfWindowRow(int windowRow) const;
    // The window row of a shown row, -1 when the grid does not draw it.
    int windowRowOfShownRow(int row) const;

private:
    // Row -1 is the header row.
    QAccessibleInterface* cell(int row, int column) const;

    mutable QHash<qint64, QAccessible::Id> cells_;
};
