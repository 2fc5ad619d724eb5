#include <gtest/gtest.h>

#include "exceptions/Exceptions.h"
#include "grid/GridFixture.h"

namespace {

using namespace grid_test;

class OccupationGridTest : public GridFixture {};

TEST_F(OccupationGridTest, WindowHoldsTheRowsThatFitWhollyBelowTheTitle) {
    const auto fits = [this] {
        const int rows = grid->visibleDataRows();
        const int height = grid->viewport()->height();
        EXPECT_LE(grid->cellRect(rows - 1, 0).bottom(), height - 1);
        EXPECT_GT(grid->cellRect(rows, 0).bottom(), height - 1);
        EXPECT_EQ(set->windowSize(), rows);
        EXPECT_EQ(set->windowCount(), rows);
    };
    EXPECT_EQ(grid->objectName(), "meslekkoduGrid");
    fits();
    const int before = grid->visibleDataRows();
    grid->resize(545, 520);
    fits();
    EXPECT_GT(grid->visibleDataRows(), before);
    grid->resize(545, 150);
    fits();
    EXPECT_LT(grid->visibleDataRows(), before);
    // Every height over one row's step: one of them fits n rows exactly,
    // less the grid line below the last (it lies past the viewport).
    for (int height = 300; height <= 330; ++height) {
        grid->resize(545, height);
        fits();
    }
    grid->resize(545, 30);
    EXPECT_EQ(grid->visibleDataRows(), 1);
    EXPECT_EQ(set->windowSize(), 1);

    // A closed set keeps its size; the next open fills the window to the grid.
    set->close();
    grid->resize(545, 400);
    EXPECT_EQ(set->windowSize(), 1);
    set->open();
    EXPECT_EQ(set->windowSize(), grid->visibleDataRows());
    EXPECT_EQ(set->windowCount(), grid->visibleDataRows());
}

// The client edge is sunken in two tones, and the square between the two
// bars is the button face, not the colour of what lies behind the grid.
TEST_F(OccupationGridTest, SunkenTwoToneEdgeAndAButtonFaceCornerBetweenTheBars) {
    QPalette behind = host->palette();
    behind.setColor(QPalette::Window, QColor(0x6A, 0xB3, 0xE8));
    host->setPalette(behind);
    host->setAutoFillBackground(true);
    grid->resize(200, 300);  // narrower than the columns: both bars show
    QApplication::processEvents();
    ASSERT_TRUE(grid->horizontalScrollBar()->isVisible());
    const QImage shot = host->grab(grid->geometry()).toImage();
    const QPalette pal = grid->palette();
    const int y = shot.height() / 2;
    const int x = shot.width() / 2;
    EXPECT_EQ(shot.pixel(0, y), pal.color(QPalette::Dark).rgb()) << "outer top-left: shadow";
    EXPECT_EQ(shot.pixel(1, y), pal.color(QPalette::Shadow).rgb()) << "inner: dark shadow";
    EXPECT_EQ(shot.pixel(x, 0), pal.color(QPalette::Dark).rgb());
    EXPECT_EQ(shot.pixel(x, 1), pal.color(QPalette::Shadow).rgb());
    EXPECT_EQ(shot.pixel(shot.width() - 1, y), pal.color(QPalette::Light).rgb())
        << "outer bottom-right: highlight";
    EXPECT_EQ(shot.pixel(shot.width() - 2, y), pal.color(QPalette::Midlight).rgb())
        << "inner: light";
    EXPECT_EQ(shot.pixel(x, shot.height() - 1), pal.color(QPalette::Light).rgb());
    EXPECT_EQ(shot.pixel(x, shot.height() - 2), pal.color(QPalette::Midlight).rgb());
    const QScrollBar* vertical = grid->verticalScrollBar();
    const QScrollBar* horizontal = grid->horizontalScrollBar();
    const QPoint corner(vertical->mapTo(grid.get(), vertical->rect().center()).x(),
                        horizontal->mapTo(grid.get(), horizontal->rect().center()).y());
    EXPECT_EQ(shot.pixel(corner), pal.color(QPalette::Button).rgb())
        << "the square between the bars";
}

TEST_F(OccupationGridTest, StripesFollowPositionNumbersAndTheCurrentCellIsHighlighted) {
    ASSERT_FALSE(grid->hasFocus());
    EXPECT_EQ(cellColour(0, 0), Highlight);  // current, although the focus is elsewhere
    EXPECT_EQ(cellColour(0, 1), Light);
    EXPECT_EQ(cellColour(1, 0), White);
    EXPECT_EQ(cellColour(1, 1), White);
    EXPECT_EQ(cellColour(2, 0), Light);
    EXPECT_TRUE(hasIndicator(0));
    EXPECT_FALSE(hasIndicator(1));

    filterTo({3, 4, 7});
    ASSERT_EQ(set->windowCount(), 3);
    EXPECT_EQ(cellColour(0, 1), Light);
    EXPECT_EQ(cellColour(1, 1), White);
    EXPECT_EQ(cellColour(2, 1), Light);
    EXPECT_EQ(cellColour(0, 0), Highlight);
    // Below the last row: the grid's background.
    EXPECT_EQ(cellColour(3, 1), Base);

    set->setFiltered(false);
    filterTo({3, 5});
    EXPECT_EQ(cellColour(0, 1), Light);
    EXPECT_EQ(cellColour(1, 1), Light);

    // The focus leaves the highlight where it is.
    grid->setFocus();
    EXPECT_EQ(cellColour(0, 0), Highlight);
    EXPECT_EQ(cellColour(1, 0), Light);
}

TEST_F(OccupationGridTest, ClosedSetShowsOneBlankRowInTheWindowColour) {
    set->close();
    grid->setFocus();
    EXPECT_EQ(grid->shownRows(), 1);
    EXPECT_EQ(cellColour(0, 0), Base);
    EXPECT_EQ(cellColour(0, 1), Base);
    EXPECT_FALSE(hasIndicator(0));
    // Keys do nothing and fail nothing while closed.
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_FALSE(set->active());
}

TEST_F(OccupationGridTest, SearchWithoutMatchesShowsOneBlankRowWithTheCurrentCell) {
    filterTo({});
    ASSERT_TRUE(set->isEmpty());
    EXPECT_EQ(grid->shownRows(), 1);
    EXPECT_EQ(cellColour(0, 0), Highlight);
    EXPECT_EQ(cellColour(0, 1), White);
    EXPECT_TRUE(hasIndicator(0));
    EXPECT_EQ(cellColour(1, 0), Base);
    // First and last at once: the coarse thumb stands at the top.
    EXPECT_EQ(grid->verticalScrollBar()->maximum(), 4);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);

    grid->setFocus();
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(cellColour(0, 0), White);
    EXPECT_EQ(cellColour(0, 1), Highlight);
}

TEST_F(OccupationGridTest, EmptyTableKeepsTheGridsOwnColours) {
    openWith({});
    ASSERT_EQ(set->recordCount(), 0);
    EXPECT_EQ(cellColour(0, 0), Base);
    EXPECT_EQ(cellColour(0, 1), Base);
    grid->setFocus();
    EXPECT_EQ(cellColour(0, 0), Highlight);
    EXPECT_EQ(cellColour(0, 1), Base);
    // Every scroll command on an empty set is harmless.
    dropThumb(1);
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    wheel(-1, Qt::ControlModifier);
    EXPECT_TRUE(set->isEmpty());
}

TEST_F(OccupationGridTest, KeysMoveTheRowAndTheColumn) {
    grid->setFocus();
    const int page = grid->visibleDataRows();
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(set->recNo(), 2);
    EXPECT_EQ(cellColour(1, 0), Highlight);
    EXPECT_EQ(cellColour(0, 0), Light);
    EXPECT_TRUE(hasIndicator(1));
    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    EXPECT_EQ(set->recNo(), 2 + page);
    QTest::keyClick(grid.get(), Qt::Key_PageUp);
    EXPECT_EQ(set->recNo(), 2);
    QTest::keyClick(grid.get(), Qt::Key_Up);
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_EQ(set->recNo(), 1);

    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(set->recNo(), RowCount);
    EXPECT_EQ(set->currentWindowIndex(), set->windowCount() - 1);
    QTest::keyClick(grid.get(), Qt::Key_Down);  // read-only: nothing past the last row
    EXPECT_EQ(set->recNo(), RowCount);
    EXPECT_EQ(set->windowCount(), page);
    QTest::keyClick(grid.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(set->recNo(), 1);

    EXPECT_EQ(grid->currentColumn(), 0);
    QTest::keyClick(grid.get(), Qt::Key_End);
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(set->recNo(), 1);
    EXPECT_EQ(cellColour(0, 1), Highlight);
    EXPECT_EQ(cellColour(0, 0), Light);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    EXPECT_EQ(grid->currentColumn(), 1);
    QTest::keyClick(grid.get(), Qt::Key_Home);
    EXPECT_EQ(grid->currentColumn(), 0);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QTest::keyClick(grid.get(), Qt::Key_Left);
    EXPECT_EQ(grid->currentColumn(), 0);

    // With one column shown, Home and End go to the first and last row.
    grid->setColumnVisible(0, false);
    EXPECT_EQ(grid->currentColumn(), 1);
    QTest::keyClick(grid.get(), Qt::Key_End);
    EXPECT_EQ(set->recNo(), RowCount);
    QTest::keyClick(grid.get(), Qt::Key_Home);
    EXPECT_EQ(set->recNo(), 1);
    grid->setColumnVisible(0, true);

    // Tab leaves the grid.
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    EXPECT_EQ(host->focusWidget(), other);
}

TEST_F(OccupationGridTest, WheelTakesTheFocusAndMovesByRowsOrPages) {
    const int page = grid->visibleDataRows() - 1;
    wheel(-1);
    EXPECT_EQ(host->focusWidget(), grid.get());
    EXPECT_EQ(set->recNo(), 2);
    wheel(-3);
    EXPECT_EQ(set->recNo(), 5);
    wheel(1);
    EXPECT_EQ(set->recNo(), 4);

    wheel(-1, Qt::ControlModifier);
    EXPECT_EQ(set->recNo(), 4 + page);
    wheel(-1, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(set->recNo(), 4 + 2 * page);
    wheel(1, Qt::ControlModifier | Qt::ShiftModifier);  // up pages only with Ctrl alone
    EXPECT_EQ(set->recNo(), 3 + 2 * page);
    wheel(1, Qt::ControlModifier);
    EXPECT_EQ(set->recNo(), 3 + page);

    // The wheel over the scroll bar moves the row too.
    const QPointF at(5, 5);
    QWheelEvent event(at, at, QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->verticalScrollBar(), &event);
    EXPECT_EQ(set->recNo(), 4 + page);
}

TEST_F(OccupationGridTest, PressOnACellMakesItCurrent) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->cellRect(3, 1).center());
    EXPECT_EQ(host->focusWidget(), grid.get());
    EXPECT_EQ(set->currentWindowIndex(), 3);
    EXPECT_EQ(set->recNo(), 4);
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(cellColour(3, 1), Highlight);

    // A cell's first pixel is that cell's; the grid line before it belongs
    // to the cell on its left.
    const QRect name = grid->cellRect(2, 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(name.left() - 1, name.center().y()));
    EXPECT_EQ(grid->currentColumn(), 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(name.left(), name.center().y()));
    EXPECT_EQ(grid->currentColumn(), 1);

    // The indicator column moves the row and keeps the column.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->cellRect(5, -1).center());
    EXPECT_EQ(set->recNo(), 6);
    EXPECT_EQ(grid->currentColumn(), 1);

    // The right button makes the cell current as well; a press on a title does not.
    QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::NoModifier,
                      grid->cellRect(1, 0).center());
    EXPECT_EQ(set->recNo(), 2);
    EXPECT_EQ(grid->currentColumn(), 0);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid->cellRect(-1, 1).center());
    EXPECT_EQ(set->recNo(), 2);
    EXPECT_EQ(grid->currentColumn(), 0);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                        grid->cellRect(-1, 1).center());
}

TEST_F(OccupationGridTest, PositionalScrollBarFollowsAndMovesTheSet) {
    QScrollBar* bar = grid->verticalScrollBar();
    const int page = grid->visibleDataRows();
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(),
              RowCount);  // the last thumb position: the range ends at count + page - 1
    EXPECT_EQ(bar->pageStep(), page);
    EXPECT_EQ(bar->value(), 1);

    dropThumb(57);
    EXPECT_EQ(set->recNo(), 57);
    EXPECT_EQ(bar->value(), 57);
    dropThumb(1);
    EXPECT_EQ(set->recNo(), 1);
    dropThumb(RowCount);
    EXPECT_EQ(set->recNo(), RowCount);
    EXPECT_TRUE(set->eof());

    // Arrows: the row just outside the shown rows; page clicks: by the shown rows.
    set->first();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(set->recNo(), page + 1);
    EXPECT_EQ(bar->value(), page + 1);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(set->recNo(), 1);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(set->recNo(), 1 + page);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(set->recNo(), RowCount);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(set->recNo(), RowCount - page);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(set->recNo(), 1);
    EXPECT_EQ(bar->value(), 1);

    // The bar's own context menu: "top" and "bottom" are the two actions
    // above; "scroll here" sets the value, which moves the set there.
    EXPECT_EQ(bar->contextMenuPolicy(), Qt::DefaultContextMenu);
    bar->setValue(80);
    EXPECT_EQ(set->recNo(), 80);
    EXPECT_EQ(bar->value(), 80);
    bar->setValue(RowCount);
    EXPECT_TRUE(set->eof());
}

TEST_F(OccupationGridTest, CoarseScrollBarWhileFiltered) {
    std::set<int> even;
    for (int position = 2; position <= RowCount; position += 2) even.insert(position);
    filterTo(even);
    QScrollBar* bar = grid->verticalScrollBar();
    const int page = grid->visibleDataRows();
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 4);
    EXPECT_EQ(bar->value(), 0);

    dropThumb(3);
    EXPECT_EQ(set->recNo(), 2 + 2 * page);
    EXPECT_EQ(bar->value(), 2);
    dropThumb(1);
    EXPECT_EQ(set->recNo(), 2);
    dropThumb(4);
    EXPECT_EQ(set->recNo(), RowCount);
    EXPECT_EQ(bar->value(), 4);
    dropThumb(2);
    EXPECT_EQ(set->recNo(), RowCount);
    dropThumb(0);
    EXPECT_EQ(set->recNo(), 2);
    EXPECT_EQ(bar->value(), 0);

    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(bar->value(), 2);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(set->recNo(), 2 * (page + 1));

    // The thumb follows every way of moving, not only the moves that reach an end.
    const auto thumbAfter = [&](auto move) {
        move();
        return bar->value();
    };
    const auto click = [this](int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->cellRect(row, 1).center());
    };
    EXPECT_EQ(thumbAfter([&] { set->first(); }), 0);
    EXPECT_EQ(thumbAfter([&] { click(2); }), 2);
    EXPECT_EQ(thumbAfter([&] { click(0); }), 0);
    EXPECT_EQ(thumbAfter([&] { wheel(-1); }), 2);
    EXPECT_EQ(thumbAfter([&] { wheel(1); }), 0);
    EXPECT_EQ(thumbAfter([&] { QTest::keyClick(grid.get(), Qt::Key_Down); }), 2);
    EXPECT_EQ(thumbAfter([&] { QTest::keyClick(grid.get(), Qt::Key_Up); }), 0);
    EXPECT_EQ(thumbAfter([&] { QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier); }),
              4);
    EXPECT_EQ(thumbAfter([&] { QTest::keyClick(grid.get(), Qt::Key_Up); }), 2);
    EXPECT_EQ(thumbAfter([&] { click(visibleRowsShown() - 1); }), 4);
    EXPECT_EQ(thumbAfter([&] { bar->triggerAction(QAbstractSlider::SliderToMinimum); }), 0);
    EXPECT_EQ(thumbAfter([&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); }), 2);
    EXPECT_EQ(thumbAfter([&] { QTest::keyClick(grid.get(), Qt::Key_PageUp); }), 0);
    // "Scroll here" on the coarse bar: its five places, as a dropped thumb.
    EXPECT_EQ(thumbAfter([&] { bar->setValue(4); }), 4);
    EXPECT_EQ(set->recNo(), RowCount);
    EXPECT_EQ(thumbAfter([&] { bar->setValue(0); }), 0);
    EXPECT_EQ(set->recNo(), 2);
    EXPECT_EQ(thumbAfter([&] { bar->setValue(3); }), 2);
    EXPECT_EQ(set->recNo(), 2 + 2 * page);

    set->setFiltered(false);
    EXPECT_EQ(bar->maximum(), RowCount);
    EXPECT_EQ(bar->value(), 1);
}

}  // namespace

// A failure in the middle of a key press (here: a predicate that gives up while
// the window scrolls, with no report hook on the set) is reported through the
// application's reporter, and the grid goes on.
TEST_F(OccupationGridTest, FailuresInEventHandlersAreReportedAndTheGridGoesOn) {
    ApplicationReporter reporter;
    ASSERT_TRUE(reporter.installed());
    const auto& boxes = reporter.boxes;

    int calls = 0;
    set->setOnFilterRecord([&calls](OccupationRecordSet&, bool& accept) {
        if (++calls > 20) throw EDatabaseError(QStringLiteral("okunamadı"));
        accept = true;
    });
    set->setFiltered(true);
    grid->setFocus();
    for (int i = 0; i < 30; ++i) QTest::keyClick(grid.get(), Qt::Key_Down);

    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.front().text, "okunamadı.");
    EXPECT_TRUE(set->active());
}
