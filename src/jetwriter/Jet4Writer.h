#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

// Writes Jet 4 (.mdb) database files that libmdb and the mdbtools programs read.
// Used by the tests and to build the bundled database.
namespace jet4 {

enum class ColumnType {
    Long,      // 32-bit signed integer; may be auto-increment
    Integer,   // 16-bit signed integer
    Text,      // text of a declared size in characters (1..255)
    Memo,      // long text
    Double,    // IEEE double
    DateTime,  // days since 1899-12-30, as a double
};

struct ColumnDef {
    QString name;
    ColumnType type = ColumnType::Text;
    int textSize = 255;          // characters, for Text
    bool autoIncrement = false;  // for Long; a NULL value there gets the next number
};

// A value: null, an integer (Long, Integer), a double (Double, DateTime) or text (Text, Memo).
using Value = std::variant<std::monostate, std::int64_t, double, QString>;

struct TableDef {
    QString name;
    std::vector<ColumnDef> columns;
    std::vector<std::vector<Value>> rows;
    // Rows made one at a time after `rows`, so that a long list need not be
    // held as values: fills `row` and returns true, or returns false at the end.
    std::function<bool(std::vector<Value>& row)> moreRows;
};

struct DatabaseDef {
    QString password;               // 0 to 20 UTF-16 units
    double creationDate = 44568.5;  // days since 1899-12-30; also masks the password
    std::vector<TableDef> tables;
};

// Memo values are kept in the row while the row fits a page, otherwise on
// long-value pages (one row, or a chain of rows for long values up to 16 MiB).
// Throws std::invalid_argument with an English message when the definition
// cannot be written (bad password length, value of the wrong type, text longer
// than its column, a row that does not fit a page, ...).
QByteArray writeDatabase(const DatabaseDef& database);

// The stored form of a text value: Jet 4's compressed form (FF FE, one byte per
// character, 00 switching to two-byte segments) when that is shorter, UCS-2LE otherwise.
QByteArray encodeText(QStringView text);

// Writes atomically (temporary file, then rename). Throws std::runtime_error on I/O failure.
void writeDatabaseFile(const QString& path, const DatabaseDef& database);

}  // namespace jet4
