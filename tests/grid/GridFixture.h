#pragma once

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"
#include "support/OccupationFixtures.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"
#include "widgets/Application.h"
#include "widgets/FailureReporter.h"

// A grid over a generated database of synthetic occupations, in a shown host
// window with another widget that holds the focus at the start.
namespace grid_test {

// Failures that escape the grid's event functions go to the running
// application's reporter; this one records them for as long as it lives.
class ApplicationReporter {
public:
    ApplicationReporter() : application_(dynamic_cast<Application*>(QCoreApplication::instance())) {
        if (application_) application_->setFailureReporter(&reporter_);
    }
    ~ApplicationReporter() {
        if (application_) application_->setFailureReporter(nullptr);
    }
    bool installed() const { return application_ != nullptr; }

    RecordingBoxes boxes;

private:
    Application* application_;
    FailureReporter reporter_{boxes};
};

constexpr int RowCount = 200;
// Colours of the grid's own painting, set apart from the stripe colours.
const QColor Base(200, 220, 240);
const QColor Highlight(0, 0, 128);
const QColor Light = OccupationGrid::StripeColour;
const QColor White(255, 255, 255);

class GridFixture : public ::testing::Test {
protected:
    void SetUp() override { openWith(jet4::syntheticOccupations(RowCount)); }

    // A fresh database, set and grid; the statement keeps the table's order,
    // so that a row's position is its place in `rows`.
    void openWith(const std::vector<jet4::OccupationRow>& rows) {
        tableRows = rows;
        grid.reset();
        set.reset();
        connection.reset();
        work.reset();  // gives the working directory back before the next one takes it
        work = std::make_unique<TempWorkDir>();
        work->writeProgramDatabase(rows);
        connection = std::make_unique<Connection>();
        ConnectionSettings::applyTo(*connection);
        set = std::make_unique<OccupationRecordSet>(*connection);
        set->setSql({QStringLiteral("select * from meslekler")});
        set->open();

        host = std::make_unique<QWidget>();
        host->resize(600, 560);
        grid = std::make_unique<OccupationGrid>(*set, host.get());
        QPalette palette = grid->palette();
        palette.setColor(QPalette::Base, Base);
        palette.setColor(QPalette::Highlight, Highlight);
        grid->setPalette(palette);
        grid->setGeometry(0, 0, 545, 400);
        other = new QLineEdit(host.get());
        other->setGeometry(0, 420, 200, 30);
        host->show();
        host->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
        other->setFocus();
    }

    // Accepts the rows whose position is in `positions` and switches the filter on.
    void filterTo(std::set<int> positions) {
        set->setOnFilterRecord([this, positions](OccupationRecordSet& rows, bool& accept) {
            accept = positions.count(positionOf(rows)) > 0;
        });
        set->setFiltered(true);
    }

    // The position in the table of the set's current row, known by its code
    // and name (the set never reads the table's ID).
    int positionOf(const OccupationRecordSet& rows) const {
        const QString code = rows.fieldText(OccupationRecordSet::MeslekKodu);
        const QString name = rows.fieldText(OccupationRecordSet::MeslekAdi);
        for (std::size_t i = 0; i < tableRows.size(); ++i) {
            if (tableRows[i].code == code && tableRows[i].name == name) return int(i) + 1;
        }
        return 0;
    }

    // The background of a cell, read just inside its top-left corner (before
    // the text, inside the focus rectangle).
    QColor cellColour(int row, int column) const {
        const QImage image = grid->viewport()->grab().toImage();
        const QRect rect = grid->cellRect(row, column);
        return image.pixelColor(rect.left() + 1, rect.top() + 1);
    }

    bool hasIndicator(int row) const {
        const QImage image = grid->viewport()->grab().toImage();
        const QRect rect = grid->cellRect(row, -1);
        // The triangle's tip column, two pixels before the right edge, at mid-height.
        return image.pixelColor(rect.right() - 2, rect.center().y()) == QColor(Qt::black);
    }

    void wheel(int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at = grid->cellRect(0, 1).center();
        QWheelEvent event(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
    }

    int visibleRowsShown() const { return set->windowCount(); }

    void dropThumb(int position) {
        QScrollBar* bar = grid->verticalScrollBar();
        bar->setSliderDown(true);
        bar->setSliderPosition(position);
        bar->setSliderDown(false);
    }

    std::vector<jet4::OccupationRow> tableRows;
    std::unique_ptr<TempWorkDir> work;
    std::unique_ptr<Connection> connection;
    std::unique_ptr<OccupationRecordSet> set;
    std::unique_ptr<QWidget> host;
    std::unique_ptr<OccupationGrid> grid;
    QLineEdit* other = nullptr;
};

}  // namespace grid_test
