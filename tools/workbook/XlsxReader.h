#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <vector>

// Reads the cells of one sheet of an Office Open XML workbook (.xlsx), row
// after row, as a spreadsheet program wrote them. The zip container is read
// through QuaZip and each XML part through QXmlStreamReader; the parts are
// found through the package's relationships (`_rels/.rels`, then the
// workbook's own), never by a guessed path.
//
// The file is untrusted. Limits, whatever the zip headers claim:
//   - each part is cut off at MaxPartBytes inflated bytes, counted here;
//   - a DOCTYPE is refused, so no entity can be declared, let alone grow;
//   - a cell reference past the format's last row (1,048,576) or column
//     (XFD, 16,384) is refused;
//   - shared strings are kept in one text block, at most what the part's
//     bytes hold.
// Every failure throws xlsx::Error, whose Turkish message names the cause but
// not the file (the caller knows its name).
namespace xlsx {

constexpr qint64 MaxPartBytes = 256LL * 1024 * 1024;
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

struct Error {
    QString message;
};

enum class CellKind {
    Text,    // a shared, inline or formula string
    Number,  // a number; `text` is the stored form ("110", "5120.1")
    Other,   // a boolean, an error value or a date
};

struct Cell {
    int column = 0;  // from 1 (A)
    CellKind kind = CellKind::Text;
    QString text;
};

// Called for every row that holds at least one value, in the order of the
// sheet, with the row's number (from 1) and its cells in column order. Cells
// without a value are left out, so a missing cell and an empty one look alike.
using RowHandler = std::function<void(int row, const std::vector<Cell>& cells)>;

// Reads the sheet named `sheetName` (compared without regard to case), or the
// workbook's first sheet when it is empty. `zip` must be open for reading and
// allow seeking (a file or a buffer).
void readSheet(QIODevice& zip, const QString& sheetName, const RowHandler& onRow);

// The names of the workbook's sheets, in the workbook's order.
std::vector<QString> sheetNames(QIODevice& zip);

// "B17" for row 17, column 2.
QString cellName(int row, int column);

}  // namespace xlsx
