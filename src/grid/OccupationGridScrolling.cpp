// The grid's scroll bars: set from the record set, and their commands carried
// to it.
#include "grid/OccupationGrid.h"

#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

#include "widgets/Application.h"

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
