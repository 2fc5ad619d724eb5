#pragma once

#include <QStringList>

#include <vector>

#include "data/OccupationRecordSet.h"

// What the grid's window of a record set shows, for comparisons in tests.

// The codes of the rows in the window, top to bottom.
inline QStringList shownCodes(const OccupationRecordSet& records) {
    QStringList codes;
    for (int i = 0; i < records.windowCount(); ++i)
        codes << records.windowFieldText(i, OccupationRecordSet::MeslekKodu);
    return codes;
}

// The record numbers of the rows in the window, top to bottom.
inline std::vector<int> windowPositions(const OccupationRecordSet& records) {
    std::vector<int> positions;
    for (int i = 0; i < records.windowCount(); ++i) positions.push_back(records.windowRecNo(i));
    return positions;
}
