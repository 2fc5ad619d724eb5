#pragma once

#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/FieldKind.h"

struct RawColumn {
    QString name;
    int jetType = 0;
    bool autoIncrement = false;
    int size = 0;  // declared size in bytes, as stored
    FieldKind kind = FieldKind::Bytes;
    // False when the reader was told to leave the column's values out: its
    // cells are all null, whatever the file holds.
    bool valuesRead = true;
};

// Index of the column with that name (case-insensitive), or -1.
int findColumn(const std::vector<RawColumn>& columns, const QString& name);

// A table as read from the file: columns and rows in physical order, numbers
// kept as their text. Every text lives in one block, cell after cell in
// row-major order, and a cell costs four bytes beside it: where its text ends,
// with the top bit set for a null value. A cell is handed out as a QString
// viewing the block, valid while the table (or a copy of it) lives. The views
// are not zero-terminated: use constData() and size(), never QString::utf16(),
// which would copy the text into the cell.
class RawTable {
public:
    std::vector<RawColumn> columns;

    std::size_t columnCount() const { return columns.size(); }
    std::size_t cellCount() const { return ends_.size(); }
    std::size_t rowCount() const { return columns.empty() ? 0 : ends_.size() / columns.size(); }
    int columnIndex(const QString& name) const { return findColumn(columns, name); }

    // The cell's text; a null QString for a null value.
    QString cell(std::size_t row, std::size_t column) const {
        if (isNull(row, column)) return QString();
        const QStringView text = cellView(row, column);
        return QString::fromRawData(text.data(), text.size());
    }
    // The cell's text as a view of the block, without a QString around it
    // (an empty view for a null value): for loops over many cells.
    QStringView cellView(std::size_t row, std::size_t column) const {
        const std::size_t index = row * columns.size() + column;
        const std::uint32_t end = ends_[index] & ~NullBit;
        const std::uint32_t start = index == 0 ? 0 : ends_[index - 1] & ~NullBit;
        return QStringView(text_.constData() + start, end - start);
    }
    bool isNull(std::size_t row, std::size_t column) const {
        return (ends_[row * columns.size() + column] & NullBit) != 0;
    }
    // Where the cell's bookkeeping lies, to prefetch it.
    const void* cellAddress(std::size_t row, std::size_t column) const {
        return &ends_[row * columns.size() + column];
    }

    // Appending, cell after cell in row-major order. A null QString appends a
    // null value. Throws std::length_error past 2^31 UTF-16 units of text.
    void appendCell(QStringView text, bool null = false);
    void appendCell(const QString& text) { appendCell(QStringView(text), text.isNull()); }
    void appendNull() { appendCell(QStringView(), true); }
    void appendUtf8(const char* data, qsizetype size);
    // Appends the rows of `other`, a table of the same columns, in their
    // order, and empties `other` (letting its memory go as it is copied).
    // Throws std::length_error past 2^31 UTF-16 units of text.
    void appendRows(RawTable&& other);
    // Gives back the room kept for more text, once the table is complete.
    void squeeze();

private:
    static constexpr std::uint32_t NullBit = 0x80000000u;

    QChar* reserveText(qsizetype units);
    void endCell(qsizetype used, bool null);

    std::vector<std::uint32_t> ends_;
    QString text_;  // size() is the room; used_ units of it hold text
    qsizetype used_ = 0;
};
