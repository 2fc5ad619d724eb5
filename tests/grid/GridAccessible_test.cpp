#include <QAccessible>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "widgets/Accessibility.h"

#include <vector>

#include "grid/GridFixture.h"

namespace {

using namespace grid_test;

// What a screen reader would hear of: the events about cells, with the cell's place.
struct CellEvent {
    QAccessible::Event type;
    int row;
    int column;
    QString text;
};
std::vector<CellEvent> events;

void recordEvent(QAccessibleEvent* event) {
    if (event->type() != QAccessible::Focus && event->type() != QAccessible::Selection) return;
    QAccessibleInterface* iface = event->accessibleInterface();
    if (iface == nullptr || iface->tableCellInterface() == nullptr) return;
    events.push_back({event->type(), iface->tableCellInterface()->rowIndex(),
                      iface->tableCellInterface()->columnIndex(), iface->text(QAccessible::Name)});
}

class GridAccessibleTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        previous = setAccessibleEventWatcher(recordEvent);
        // The grid's first word to assistive technology is a new list, which
        // drops every cell handed out before it: let it be said first.
        grid->setFocus();
        QCoreApplication::processEvents();
        other->setFocus();
        QCoreApplication::processEvents();
        events.clear();
    }
    void TearDown() override { setAccessibleEventWatcher(previous); }

    QAccessibleTableInterface* table() const {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid.get());
        EXPECT_EQ(iface->role(), QAccessible::Table);
        return iface->tableInterface();
    }
    QString cellText(int row, int column) const {
        QAccessibleInterface* cell = table()->cellAt(row, column);
        return cell ? cell->text(QAccessible::Name) : QStringLiteral("<none>");
    }
    // The last focus event, which a screen reader speaks. The grid tells once
    // the event at hand is done.
    CellEvent lastFocus() const {
        QCoreApplication::processEvents();
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->type == QAccessible::Focus) return *it;
        }
        return {QAccessible::Focus, -1, -1, QString()};
    }

    AccessibleEventWatcher previous = nullptr;
};

TEST_F(GridAccessibleTest, TableShowsHeadersTheWholeShownListAndItsTexts) {
    QAccessibleTableInterface* t = table();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(grid.get())->text(QAccessible::Name),
              "Meslek listesi");
    ASSERT_EQ(t->columnCount(), 2);
    EXPECT_EQ(t->rowCount(), RowCount);
    const QList<QAccessibleInterface*> headers =
        t->cellAt(0, 1)->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0]->text(QAccessible::Name), "Meslek Adı");
    EXPECT_EQ(headers[0]->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(t->columnDescription(0), "Meslek Kodu");

    EXPECT_EQ(cellText(0, 0), set->windowFieldText(0, OccupationRecordSet::MeslekKodu));
    EXPECT_EQ(cellText(1, 1), set->windowFieldText(1, OccupationRecordSet::MeslekAdi));
    // A row beyond the window is there too, off the screen.
    QAccessibleInterface* far = t->cellAt(RowCount - 1, 1);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->text(QAccessible::Name),
              set->positionFieldText(RowCount, OccupationRecordSet::MeslekAdi));
    EXPECT_TRUE(far->state().offscreen);
    // The rows of the window are where the grid draws them.
    const int last = set->windowCount() - 1;
    EXPECT_FALSE(t->cellAt(last, 0)->state().offscreen);
    EXPECT_TRUE(t->cellAt(last + 1, 0)->state().offscreen);
    const QRect drawn = grid->cellRect(last, 1);
    EXPECT_EQ(t->cellAt(last, 1)->rect(),
              QRect(grid->viewport()->mapToGlobal(drawn.topLeft()), drawn.size()));
    EXPECT_EQ(t->cellAt(RowCount, 0), nullptr);
    // As children: the header row first, then every cell; the last child is
    // the last row's last cell.
    QAccessibleInterface* whole = QAccessible::queryAccessibleInterface(grid.get());
    ASSERT_EQ(whole->childCount(), (RowCount + 1) * 2);
    EXPECT_EQ(whole->child(1)->role(), QAccessible::ColumnHeader);
    QAccessibleInterface* lastChild = whole->child(whole->childCount() - 1);
    ASSERT_NE(lastChild, nullptr);
    EXPECT_EQ(lastChild->text(QAccessible::Name),
              set->positionFieldText(RowCount, OccupationRecordSet::MeslekAdi));
    EXPECT_EQ(whole->indexOfChild(lastChild), whole->childCount() - 1);

    // Under a search the table is the shown list: its rows in order.
    filterTo({3, 4, 7});
    t = table();
    EXPECT_EQ(t->rowCount(), 3);
    EXPECT_EQ(cellText(2, 0), set->positionFieldText(7, OccupationRecordSet::MeslekKodu));

    // A hidden column is not there at all.
    grid->setColumnVisible(0, false);
    t = table();
    ASSERT_EQ(t->columnCount(), 1);
    EXPECT_EQ(t->columnDescription(0), "Meslek Adı");
    EXPECT_EQ(cellText(0, 0), set->positionFieldText(3, OccupationRecordSet::MeslekAdi));
}

TEST_F(GridAccessibleTest, CurrentCellIsSelectedAndFocusedWithTheGrid) {
    QAccessibleInterface* current = table()->cellAt(0, 0);
    EXPECT_TRUE(current->state().selected);
    EXPECT_FALSE(current->state().focused);  // the focus is in the other box
    EXPECT_EQ(table()->selectedCells(), QList<QAccessibleInterface*>{current});

    grid->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(current->state().focused);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(grid.get())->focusChild(), current);
    // Taking the focus tells which cell has it.
    EXPECT_EQ(lastFocus().row, 0);
    EXPECT_EQ(lastFocus().text, set->windowFieldText(0, OccupationRecordSet::MeslekKodu));

    // With the code column hidden, the name is the table's first column, and
    // the current cell is found there.
    grid->setColumnVisible(0, false);
    QCoreApplication::processEvents();
    events.clear();
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QCoreApplication::processEvents();
    QAccessibleInterface* name = table()->cellAt(1, 0);
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->state().selected);
    EXPECT_TRUE(name->state().focused);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(grid.get())->focusChild(), name);
    EXPECT_EQ(lastFocus().row, 1);
    EXPECT_EQ(lastFocus().column, 0);
    EXPECT_EQ(lastFocus().text, set->windowFieldText(1, OccupationRecordSet::MeslekAdi));
}

TEST_F(GridAccessibleTest, EveryMoveOfTheCurrentCellIsAFocusEvent) {
    grid->setFocus();
    QCoreApplication::processEvents();
    const auto movedTo = [this](int row, int column) {
        const CellEvent focus = lastFocus();
        EXPECT_EQ(focus.row, row);
        EXPECT_EQ(focus.column, column);
        EXPECT_EQ(focus.text, cellText(row, column));
        events.clear();
    };
    QTest::keyClick(grid.get(), Qt::Key_Down);
    movedTo(1, 0);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    movedTo(1, 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->cellRect(3, 0).center());
    movedTo(3, 0);
    wheel(-2);
    movedTo(5, 0);
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    movedTo(RowCount - 1, 0);

    // A search and a re-sort put the first row of the new list in front.
    filterTo({10, 20});
    movedTo(0, 0);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QCoreApplication::processEvents();
    ASSERT_EQ(events.size(), 2u);  // selected, then focused
    EXPECT_EQ(events.front().text, set->positionFieldText(20, OccupationRecordSet::MeslekKodu));
    events.clear();
    QTest::keyClick(grid.get(), Qt::Key_Home, Qt::ControlModifier);
    movedTo(0, 0);
    // The same place in a new order is a new cell.
    grid->meslekkoduGridTitleClick(1);
    movedTo(0, 0);

    // A key that moves nothing tells nothing.
    QTest::keyClick(grid.get(), Qt::Key_Left);
    QCoreApplication::processEvents();
    EXPECT_TRUE(events.empty());

    // Without the focus the new cell is only selected.
    other->setFocus();
    QCoreApplication::processEvents();
    events.clear();
    set->moveBy(1);
    QCoreApplication::processEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events.back().type, QAccessible::Selection);
    EXPECT_EQ(events.back().row, 1);
    EXPECT_EQ(lastFocus().row, -1);
}

}  // namespace
