#include <QFile>
#include <QFontMetrics>
#include <QScrollBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "grid/GridFixture.h"
#include "grid/GridGlyphs.h"
#include "grid/TitleRow.h"
#include "widgets/Fonts.h"
#include "widgets/WindowsTextMetrics.h"

namespace {

using namespace grid_test;

const QColor EdgeLight(250, 250, 250);
const QColor EdgeShadow(90, 90, 90);

// Counts the times the set was opened.
class OpenCounter : public RecordSetObserver {
public:
    explicit OpenCounter(OccupationRecordSet& set) : set_(set) { set_.addObserver(this); }
    ~OpenCounter() override { set_.removeObserver(this); }
    void recordSetStateChanged() override { opens += set_.active() ? 1 : 0; }
    int opens = 0;

private:
    OccupationRecordSet& set_;
};

class TitleRowTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        QPalette palette = grid->palette();
        palette.setColor(QPalette::Light, EdgeLight);
        palette.setColor(QPalette::Dark, EdgeShadow);
        grid->setPalette(palette);
    }

    QWidget* viewport() const { return grid->viewport(); }
    QPoint title(int column) const { return grid->cellRect(-1, column).center(); }
    QPoint corner() const { return grid->cellRect(-1, -1).center(); }
    // The boundary right of a column's title, plus `offset`.
    QPoint boundary(int column, int offset = 0) const {
        const QRect cell = grid->cellRect(-1, column);
        return QPoint(cell.left() + cell.width() + offset, cell.center().y());
    }

    void send(QEvent::Type type, const QPoint& at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &event);
    }
    void press(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
        send(QEvent::MouseButtonPress, at, button, button);
    }
    void drag(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
        send(QEvent::MouseMove, at, Qt::NoButton, button);
    }
    void release(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
        send(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }
    void click(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
        press(at, button);
        release(at, button);
    }

    std::string statement() const { return set->sql().join(QLatin1Char('|')).toStdString(); }
    QString firstName() const { return set->windowFieldText(0, OccupationRecordSet::MeslekAdi); }
    QImage picture() const { return viewport()->grab().toImage(); }
};

std::string sortedBy(const char* field, const char* direction) {
    return std::string("select * FROM meslekler ORDER BY ") + field + " " + direction;
}

TEST(GridGlyphs, BitmapsArePixelForPixel) {
    // Corner arrow: rows of 7, 5, 5, 3, 3, 1 black pixels from the third row, centred.
    const QImage& arrow = GridGlyphs::cornerArrow();
    ASSERT_EQ(arrow.size(), QSize(9, 9));
    const int widths[9] = {0, 0, 7, 5, 5, 3, 3, 1, 0};
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            const bool black = std::abs(x - 4) * 2 < widths[y];
            EXPECT_EQ(arrow.pixelColor(x, y), black ? QColor(Qt::black) : GridGlyphs::CornerKey)
                << x << "," << y;
        }
    }

    const QImage& up = GridGlyphs::sortUp();
    const QImage& down = GridGlyphs::sortDown();
    ASSERT_EQ(up.size(), QSize(10, 9));
    ASSERT_EQ(down.size(), QSize(10, 9));
    const auto count = [](const QImage& image, const QColor& colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
        }
        return n;
    };
    // Up: the tip at the top, a shadowed left slope, a light right slope and base.
    EXPECT_EQ(up.pixelColor(4, 0), GridGlyphs::MarkerShadow);
    EXPECT_EQ(up.pixelColor(5, 0), GridGlyphs::MarkerLight);
    EXPECT_EQ(up.pixelColor(1, 7), GridGlyphs::MarkerShadow);
    EXPECT_EQ(up.pixelColor(8, 7), GridGlyphs::MarkerLight);
    for (int x = 1; x < 10; ++x) EXPECT_EQ(up.pixelColor(x, 8), GridGlyphs::MarkerLight) << x;
    EXPECT_EQ(up.pixelColor(4, 4), GridGlyphs::MarkerKey);  // hollow
    EXPECT_EQ(count(up, GridGlyphs::MarkerShadow), 9);
    // Down: the mirror image, with the shadowed edge along the top.
    for (int x = 0; x < 10; ++x) EXPECT_EQ(down.pixelColor(x, 0), GridGlyphs::MarkerShadow) << x;
    EXPECT_EQ(down.pixelColor(4, 8), GridGlyphs::MarkerShadow);
    EXPECT_EQ(down.pixelColor(5, 8), GridGlyphs::MarkerLight);
    EXPECT_EQ(down.pixelColor(1, 1), GridGlyphs::MarkerShadow);
    EXPECT_EQ(down.pixelColor(8, 1), GridGlyphs::MarkerLight);
    EXPECT_EQ(down.pixelColor(4, 4), GridGlyphs::MarkerKey);
    EXPECT_EQ(count(down, GridGlyphs::MarkerLight), 8);

    const QImage drawable = GridGlyphs::withoutKey(up, GridGlyphs::MarkerKey);
    EXPECT_EQ(qAlpha(drawable.pixel(0, 0)), 0);
    EXPECT_EQ(drawable.pixelColor(4, 0), GridGlyphs::MarkerShadow);
}

TEST(WindowsTextMetrics, TahomaMeasuresTheWindowsWay) {
    if (!registerTahoma()) GTEST_SKIP() << "Tahoma (fonts-wine) is not installed";
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(16);
    const WindowsTextMetrics metrics = WindowsTextMetrics::of(font);
    EXPECT_EQ(metrics.ascent, 16);
    EXPECT_EQ(metrics.descent, 3);
    font.setPixelSize(11);
    EXPECT_EQ(WindowsTextMetrics::of(font).height(), 13);
    // Ascent and descent are rounded each on its own: 22.01 + 4.54 gives 22 + 5.
    font.setPixelSize(22);
    EXPECT_EQ(WindowsTextMetrics::of(font).height(), 27);
}

TEST_F(TitleRowTest, RowsAreTheWindowsTextHeightPlusTheirMargins) {
    if (!registerTahoma()) GTEST_SKIP() << "Tahoma (fonts-wine) is not installed";
    grid->setFont(QFont(QStringLiteral("Tahoma"), 12));
    QFont font = grid->font();
    font.setPixelSize(16);  // 12 points at 96 dots per inch
    grid->setFont(font);
    EXPECT_EQ(grid->dataRowHeight(), 23);
    EXPECT_EQ(grid->titleRowHeight(), 23);
    EXPECT_EQ(grid->cellRect(1, 0).top(), 48);
}

TEST_F(TitleRowTest, ClicksAlternateTheDirectionAndTheMarkerShowsTheOrder) {
    EXPECT_EQ(grid->sortMarker(), TitleRow::smNone);
    EXPECT_TRUE(grid->sortDirection().isEmpty());

    click(title(1));
    EXPECT_EQ(statement(), sortedBy("meslek_adi", "ASC"));
    EXPECT_EQ(grid->sortedField(), "meslek_adi");
    EXPECT_EQ(grid->sortMarker(), TitleRow::smUp);
    const QString firstAscending = firstName();

    click(title(1));
    EXPECT_EQ(statement(), sortedBy("meslek_adi", "DESC"));
    EXPECT_EQ(grid->sortMarker(), TitleRow::smDown);
    set->last();
    EXPECT_EQ(set->fieldText(OccupationRecordSet::MeslekAdi), firstAscending);

    // The direction alternates whichever title is clicked; the marker follows it.
    click(title(0));
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "ASC"));
    EXPECT_EQ(grid->sortedField(), "meslek_kodu");
    EXPECT_EQ(grid->sortMarker(), TitleRow::smUp);
    // Names and then codes: the codes run downwards under the down marker.
    click(title(0));
    click(title(1));
    click(title(0));
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "DESC"));
    EXPECT_EQ(grid->sortMarker(), TitleRow::smDown);

    // Afterwards the first row of the new order is current, at the top of the list.
    EXPECT_EQ(set->recNo(), 1);
    EXPECT_EQ(set->currentWindowIndex(), 0);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 1);
}

TEST_F(TitleRowTest, PressedLookFollowsThePointerAndTheReleaseDecidesTheColumn) {
    set->moveBy(3);
    press(title(0));
    EXPECT_EQ(grid->pressedTitle(), 0);
    EXPECT_EQ(set->recNo(), 4);  // a title press moves nothing
    const QImage down = picture();
    const QRect cell = grid->cellRect(-1, 0);
    EXPECT_EQ(down.pixelColor(cell.topLeft()), EdgeShadow);
    EXPECT_EQ(down.pixelColor(cell.bottomRight()), EdgeLight);

    drag(title(1));
    EXPECT_EQ(grid->pressedTitle(), -1);
    drag(title(0));
    EXPECT_EQ(grid->pressedTitle(), 0);
    drag(title(1));
    release(title(1));
    EXPECT_EQ(grid->pressedTitle(), -1);
    EXPECT_EQ(statement(), sortedBy("meslek_adi", "ASC"));
    EXPECT_EQ(grid->sortedField(), "meslek_adi");
    const QImage up = picture();
    EXPECT_EQ(up.pixelColor(cell.topLeft()), EdgeLight);
    EXPECT_EQ(up.pixelColor(cell.bottomRight()), EdgeShadow);

    // A press on a data cell released over a title is a title click too.
    press(grid->cellRect(2, 0).center());
    release(title(0));
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "DESC"));

    // Released elsewhere: no title click.
    press(title(0));
    release(grid->cellRect(3, 1).center());
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "DESC"));
}

TEST_F(TitleRowTest, MarkerSitsAtTheRightEndAndMovesWithThePress) {
    click(title(0));
    const QRect cell = grid->cellRect(-1, 0);
    // The up marker's tip: its left edge 13 pixels left of the inner right edge, centred.
    const QPoint tip(cell.left() + cell.width() - 1 - 13 + 4,
                     cell.top() + 1 + (cell.height() - 2 - 9) / 2);
    EXPECT_EQ(picture().pixelColor(tip), GridGlyphs::MarkerShadow);
    press(title(0));
    const QImage pressed = picture();
    EXPECT_EQ(pressed.pixelColor(tip + QPoint(1, 1)), GridGlyphs::MarkerShadow);
    EXPECT_NE(pressed.pixelColor(tip + QPoint(1, 0)), GridGlyphs::MarkerShadow);
    release(grid->cellRect(3, 1).center());

    // A caption that would fit without the marker is cut, so that it leaves the
    // marker its 16 pixels: the column two pixels left of the marker is blank.
    const QFontMetrics metrics(grid->font());
    grid->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("Meslek Kodu")) + 4);
    const QRect fitted = grid->cellRect(-1, 0);
    const int markerLeft = fitted.left() + fitted.width() - 1 - 13;
    const QImage cut = picture();
    for (const int x : {markerLeft - 2}) {
        for (int y = fitted.top() + 2; y < fitted.bottom() - 1; ++y) {
            EXPECT_GT(qGray(cut.pixel(x, y)), 128) << "text at " << x << "," << y;
        }
    }

    // A column too narrow for the marker shows none.
    grid->setColumnWidth(0, 9);
    const QRect narrow = grid->cellRect(-1, 0);
    const QImage image = picture();
    for (int x = narrow.left(); x < narrow.left() + narrow.width(); ++x) {
        for (int y = narrow.top(); y < narrow.top() + narrow.height(); ++y) {
            ASSERT_NE(image.pixelColor(x, y), GridGlyphs::MarkerShadow) << x << "," << y;
        }
    }
}

TEST(TitleCaption, IsCutToItsFirstCharactersAndAnEllipsis) {
    const QFont font(QStringLiteral("Tahoma"), 12);
    const QFontMetrics metrics(font);
    const QString caption = QStringLiteral("Meslek Kodu");
    const int full = metrics.horizontalAdvance(caption);
    EXPECT_EQ(TitleRow::fittedCaption(caption, font, full), caption);
    // The first try drops two characters, not one.
    const QString cut = TitleRow::fittedCaption(caption, font, full - 1);
    ASSERT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_LE(cut.size(), caption.size() - 2 + 3);
    EXPECT_LE(metrics.horizontalAdvance(cut), full - 1);
    const QString nine = caption.left(caption.size() - 2) + QStringLiteral("...");
    EXPECT_EQ(TitleRow::fittedCaption(caption, font, metrics.horizontalAdvance(nine)), nine);
    EXPECT_EQ(TitleRow::fittedCaption(caption, font, metrics.horizontalAdvance(nine) - 1),
              caption.left(caption.size() - 3) + QStringLiteral("..."));
    EXPECT_EQ(TitleRow::fittedCaption(caption, font, 1), QStringLiteral("..."));

    // Even where dropping one character would fit, the cut drops two.
    const QString wide = QStringLiteral("Meslek WWWW");
    const int oneDropped = metrics.horizontalAdvance(wide.left(wide.size() - 1) + "...");
    ASSERT_LT(oneDropped, metrics.horizontalAdvance(wide));
    EXPECT_EQ(TitleRow::fittedCaption(wide, font, oneDropped),
              wide.left(wide.size() - 2) + QStringLiteral("..."));
}

// What a platform delivers for a double click: press, release, a double-click
// event for the second press, release.
TEST_F(TitleRowTest, DoubleClickReReadsTwiceAndEndsDescending) {
    OpenCounter opens(*set);
    click(title(1));
    // The second press is not a title press: nothing looks pressed.
    send(QEvent::MouseButtonDblClick, title(1), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(grid->pressedTitle(), -1);
    release(title(1));
    EXPECT_EQ(opens.opens, 2);
    EXPECT_EQ(statement(), sortedBy("meslek_adi", "DESC"));
    EXPECT_EQ(grid->sortMarker(), TitleRow::smDown);
    EXPECT_EQ(grid->pressedTitle(), -1);
}

TEST_F(TitleRowTest, TitleClickKeepsTheSearchFilter) {
    filterTo({3, 4, 9, 120});
    click(title(1));
    EXPECT_TRUE(set->filtered());
    ASSERT_EQ(set->windowCount(), 4);
    std::set<int> ids;
    for (int row = 0; row < 4; ++row) {
        set->setCurrentWindowIndex(row);
        ids.insert(positionOf(*set));
        const int n = set->windowRecNo(row);
        if (row != grid->currentRow()) {
            EXPECT_EQ(cellColour(row, 0), n % 2 == 1 ? Light : White) << row;
        }
    }
    EXPECT_EQ(ids, (std::set<int>{3, 4, 9, 120}));
}

TEST_F(TitleRowTest, AFailedReReadIsReportedAndTheNextClickTriesAgain) {
    ApplicationReporter reporter;
    ASSERT_TRUE(reporter.installed());
    const auto& boxes = reporter.boxes;

    // The wait cursor shows while the table is read, and never over a box.
    struct CursorWatch : RecordSetObserver {
        void recordSetBusy(bool busy) override {
            if (busy)
                shapes << (QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                          : Qt::ArrowCursor);
        }
        QList<Qt::CursorShape> shapes;
    } watch;
    set->addObserver(&watch);

    const QString file = QStringLiteral("AnaData/MeslekAna.mdb");
    ASSERT_TRUE(QFile::rename(file, file + QStringLiteral(".away")));
    click(title(1));
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(watch.shapes, QList<Qt::CursorShape>{Qt::WaitCursor});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(set->active());
    EXPECT_EQ(grid->sortDirection(), "ASC");
    EXPECT_EQ(grid->sortMarker(), TitleRow::smUp);
    // While closed a title click still runs (no press look) and tries again.
    click(title(1));
    EXPECT_EQ(boxes.shown.size(), 2u);
    ASSERT_TRUE(QFile::rename(file + QStringLiteral(".away"), file));
    click(title(0));
    EXPECT_TRUE(set->active());
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "ASC"));
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(watch.shapes.size(), 3);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    set->removeObserver(&watch);
}

TEST_F(TitleRowTest, DraggingNearABoundaryResizesAndIsNeverATitleClick) {
    const std::string before = statement();
    press(boundary(0, -3));
    drag(boundary(0, 40));
    release(boundary(0, 40));
    EXPECT_EQ(grid->columnWidth(0), 95 + 43);
    EXPECT_EQ(statement(), before);

    // From the other side of the boundary, within 5 pixels.
    press(boundary(0, 5));
    release(boundary(0, -5));
    EXPECT_EQ(grid->columnWidth(0), 138 - 10);
    // 6 pixels away is a title press, and its release a title click.
    press(boundary(0, -6));
    release(boundary(0, -6));
    EXPECT_EQ(grid->columnWidth(0), 128);
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "ASC"));

    // Narrower than 2 pixels keeps the old width; 2 is allowed.
    const int left = grid->cellRect(-1, 0).left();
    press(boundary(0));
    release(QPoint(left + 1, boundary(0).y()));
    EXPECT_EQ(grid->columnWidth(0), 128);
    press(boundary(0));
    release(QPoint(left + 2, boundary(0).y()));
    EXPECT_EQ(grid->columnWidth(0), 2);

    // The indicator column keeps its width.
    const int indicator = grid->cellRect(-1, -1).width();
    press(QPoint(indicator - 1, 5));
    release(QPoint(indicator + 30, 5));
    EXPECT_EQ(grid->cellRect(-1, -1).width(), indicator);
}

TEST_F(TitleRowTest, RightDragMovesAColumnAndEndsInATitleClick) {
    QSignalSpy menu(grid.get(), &OccupationGrid::popupMenuRequested);
    const QRect name = grid->cellRect(-1, 1);
    press(title(0), Qt::RightButton);
    const QPoint target(name.left() + name.width() - 20, name.center().y());
    drag(target, Qt::RightButton);
    // The landing mark stands at the right end of the name column.
    const int markX = name.left() + name.width();
    EXPECT_EQ(picture().pixelColor(markX, grid->cellRect(2, 1).center().y()), Highlight);
    release(target, Qt::RightButton);

    EXPECT_EQ(grid->columnFieldName(0).toStdString(), "meslek_adi");
    EXPECT_EQ(grid->columnFieldName(1).toStdString(), "meslek_kodu");
    EXPECT_EQ(grid->currentColumn(), 1);  // the code column, moved
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "ASC"));
    EXPECT_EQ(grid->sortMarker(), TitleRow::smUp);
    EXPECT_EQ(menu.count(), 0);

    // A move that ends below the titles moves the column and sorts nothing.
    press(title(1), Qt::RightButton);
    release(grid->cellRect(3, 0).topLeft() + QPoint(10, 5), Qt::RightButton);
    EXPECT_EQ(grid->columnFieldName(0).toStdString(), "meslek_kodu");
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "ASC"));
    press(title(1), Qt::RightButton);
    release(title(0) - QPoint(20, 0), Qt::RightButton);
    EXPECT_EQ(statement(), sortedBy("meslek_adi", "DESC"));

    // A plain right click on a title re-sorts without moving.
    click(title(0), Qt::RightButton);
    EXPECT_EQ(grid->columnFieldName(0).toStdString(), "meslek_adi");
    EXPECT_EQ(statement(), sortedBy("meslek_adi", "ASC"));
    EXPECT_EQ(menu.count(), 0);

    // Moved past the current column, the other column leaves the current
    // field where it was.
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::NoModifier, grid->cellRect(2, 1).center());
    ASSERT_EQ(grid->columnFieldName(grid->currentColumn()).toStdString(), "meslek_kodu");
    grid->moveColumn(0, 1);
    EXPECT_EQ(grid->currentColumn(), 0);
    EXPECT_EQ(grid->columnFieldName(grid->currentColumn()).toStdString(), "meslek_kodu");
    grid->moveColumn(1, 0);
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(grid->columnFieldName(grid->currentColumn()).toStdString(), "meslek_kodu");

    // While the set is closed nothing moves, but the click still re-sorts.
    set->close();
    press(title(0), Qt::RightButton);
    drag(title(1), Qt::RightButton);
    release(title(1), Qt::RightButton);
    EXPECT_EQ(grid->columnFieldName(0).toStdString(), "meslek_adi");
    EXPECT_EQ(statement(), sortedBy("meslek_kodu", "DESC"));
}

// Columns wider than the grid: a moved column held past the right edge
// scrolls the grid that way, and the landing mark stays in sight.
TEST_F(TitleRowTest, AMovedColumnHeldPastAnEdgeScrollsTheGridAndShowsTheMarkInside) {
    grid->resize(260, grid->height());
    QApplication::processEvents();
    QScrollBar* bar = grid->horizontalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_EQ(bar->value(), 0);
    const int width = viewport()->width();
    press(title(0), Qt::RightButton);
    const QPoint past(width + 30, title(0).y());
    drag(past, Qt::RightButton);
    const int row = grid->cellRect(2, 0).center().y();
    const auto markAt = [&] {
        const QImage shot = picture();
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, row) == Highlight) return x;
        return -1;
    };
    EXPECT_GE(markAt(), 0) << "the mark is in sight from the start";
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() == bar->maximum(); }, 5000))
        << "scrolled to " << bar->value() << " of " << bar->maximum();
    EXPECT_EQ(markAt(), width - 3) << "past the last column: the mark at the right edge";
    release(past, Qt::RightButton);
    EXPECT_EQ(grid->columnFieldName(1).toStdString(), "meslek_kodu") << "moved to the end";
    const int scrolled = bar->value();
    QTest::qWait(150);
    EXPECT_EQ(bar->value(), scrolled) << "the release ends the scrolling";

    // And back: held left of the titles, the grid scrolls to its start. On
    // the way the column would land before the first one, whose left edge is
    // still out of sight: the mark stands at the left edge.
    press(title(1), Qt::RightButton);
    drag(QPoint(2, title(1).y()), Qt::RightButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect first = grid->cellRect(-1, 0);
            return first.left() < -4 && first.center().x() > 2;
        },
        5000));
    EXPECT_EQ(markAt(), 0) << "before the first column: the mark at the left edge";
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() == 0; }, 5000));
    release(QPoint(2, title(1).y()), Qt::RightButton);
    EXPECT_EQ(grid->columnFieldName(0).toStdString(), "meslek_kodu");
}

TEST_F(TitleRowTest, MenuOpensAtTheRightReleaseOverRowsIndicatorAndCorner) {
    QSignalSpy menu(grid.get(), &OccupationGrid::popupMenuRequested);
    const QPoint row = grid->cellRect(4, 1).center();
    press(row, Qt::RightButton);
    EXPECT_EQ(set->recNo(), 5);  // the row is current before the menu opens
    EXPECT_EQ(menu.count(), 0);
    release(row, Qt::RightButton);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.takeFirst().at(0).toPoint(), viewport()->mapToGlobal(row));

    click(grid->cellRect(2, -1).center(), Qt::RightButton);
    press(corner(), Qt::RightButton);
    EXPECT_EQ(menu.count(), 1);
    release(corner(), Qt::RightButton);
    EXPECT_EQ(menu.count(), 2);
    // Not over a title, nor with the left button.
    click(grid->cellRect(4, 1).center());
    EXPECT_EQ(menu.count(), 2);
}

TEST_F(TitleRowTest, LeftReleaseOverTheCornerOpensTheColumnChooser) {
    int opened = 0;
    grid->setColumnChooserOpener([&opened](OccupationGrid&) { ++opened; });
    click(corner());
    EXPECT_EQ(opened, 1);
    // Wherever the press was.
    press(title(1));
    release(corner());
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(grid->sortDirection().isEmpty());
    // Not over the indicator column's data cells, nor while the set is closed.
    click(grid->cellRect(0, -1).center());
    EXPECT_EQ(opened, 2);
    set->close();
    click(corner());
    EXPECT_EQ(opened, 2);

    const QRect cornerCell = grid->cellRect(-1, -1);
    EXPECT_EQ(grid->columnChooserPosition(),
              viewport()->mapToGlobal(QPoint(cornerCell.left(), cornerCell.bottom() + 2)));
}

TEST_F(TitleRowTest, TabLeavesTheGridAndInsertOrCtrlDeleteDoNothing) {
    grid->setFocus();
    set->moveBy(2);
    QTest::keyClick(grid.get(), Qt::Key_Insert);
    QTest::keyClick(grid.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(set->recNo(), 3);
    EXPECT_EQ(set->recordCount(), RowCount);
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

}  // namespace
