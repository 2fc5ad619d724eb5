#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "jetwriter/Jet4Writer.h"

// A table's layout as stored in its definition page, and what writing its
// rows leaves for that page.
namespace jet4 {

enum TypeCode : std::uint8_t {
    TypeInt = 0x03,
    TypeLong = 0x04,
    TypeDouble = 0x07,
    TypeDateTime = 0x08,
    TypeText = 0x0A,
    TypeOle = 0x0B,
    TypeMemo = 0x0C,
};

struct StoredColumn {
    QString name;
    std::uint8_t type = TypeText;
    int size = 0;  // bytes
    bool fixed = false;
    bool autoIncrement = false;
    bool compressible = false;
    int fixedOffset = 0;
    int varIndex = 0;
};

struct Layout {
    QString name;
    bool system = false;
    std::vector<StoredColumn> columns;
    int fixedSize = 0;
    int varCount = 0;
    int maskBytes = 0;
};

// Where a table's rows went.
struct TableOutput {
    std::uint32_t tdefPage = 0;
    std::vector<std::uint32_t> dataPages;
    std::uint32_t rowCount = 0;
    std::int64_t lastAutoNumber = 0;
};

// The layout of a user's table; refuses names and columns the file cannot hold.
Layout userLayout(const TableDef& table);

// The layout of the catalog, MSysObjects: the columns libmdb reads.
Layout catalogLayout();

}  // namespace jet4
