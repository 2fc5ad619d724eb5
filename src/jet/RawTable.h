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

// Index of the column with that name (case-insensitive), or -1.
int findColumn(const std::vector<RawColumn>& columns, const QString& name);

// Where the texts of a table read from a file live: a few large blocks, each
// cell a view into one of them, instead of a heap block per cell. Copies of
// the arena share its blocks, so the views stay valid while any copy lives.
// The views are not zero-terminated: use constData() and size(), never
// QString::utf16(), which would copy the text into the cell.
class TextArena {
public:
    QString decodeUtf8(const char* data, qsizetype size);

private:
    std::vector<QString> blocks_;
    QChar* free_ = nullptr;
    qsizetype room_ = 0;
};

// A table as read from the file: columns and rows in physical order. Cells are
// row-major; a null value is a null QString. Numbers are kept as their text.
struct RawTable {
    std::vector<RawColumn> columns;
    std::vector<QString> cells;
    TextArena texts;  // what the cells of a decoded table point into

    std::size_t columnCount() const { return columns.size(); }
    std::size_t rowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
    const QString& cell(std::size_t row, std::size_t column) const {
        return cells[row * columns.size() + column];
    }
    int columnIndex(const QString& name) const { return findColumn(columns, name); }
};
