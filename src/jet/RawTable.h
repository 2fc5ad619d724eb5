#pragma once

#include <QString>

#include <cstddef>
#include <vector>

#include "jet/FieldKind.h"

struct RawColumn {
    QString name;
    int jetType = 0;
    bool autoIncrement = false;
    int size = 0;  // declared size in bytes, as stored
    FieldKind kind = FieldKind::Bytes;
};

// A table as read from the file: columns and rows in physical order. Cells are
// row-major; a null value is a null QString. Numbers are kept as their text.
// Index of the column with that name (case-insensitive), or -1.
int findColumn(const std::vector<RawColumn>& columns, const QString& name);

struct RawTable {
    std::vector<RawColumn> columns;
    std::vector<QString> cells;

    std::size_t columnCount() const { return columns.size(); }
    std::size_t rowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
    const QString& cell(std::size_t row, std::size_t column) const {
        return cells[row * columns.size() + column];
    }
    int columnIndex(const QString& name) const { return findColumn(columns, name); }
};
