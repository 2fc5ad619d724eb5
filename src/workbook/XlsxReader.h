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
//   - each part is cut off at MaxPartBytes inflated bytes, counted here, and
//     read to the end of its zip entry, so that its checksum is checked;
//   - two entries whose names differ at most in the case of ASCII letters
//     are refused: the package format takes them for one part;
//   - a DOCTYPE is refused, so no entity can be declared, let alone grow;
//   - elements nest at most MaxDepth deep, with at most MaxNamespaces
//     namespace declarations in force at once, and a start tag holds at most
//     MaxAttributes attributes, counted in the bytes before the XML reader
//     sees them (the reader's time grows with the square of their number);
//   - a text (a cell's value, a shared or inline string) is refused past
//     MaxCellText characters, before it is copied;
//   - a cell reference past the format's last row (1,048,576) or column
//     (XFD, 16,384) is refused, and so is a row of more cells than columns;
//   - shared strings are kept in one text block, at most what the part's
//     bytes hold, and a long one is shared by the cells that use it; what the
//     cells of a sheet hand out is at most MaxSheetText characters, a shared
//     string counted at each use.
// Every failure throws xlsx::Error, whose Turkish message names the cause but
// not the file (the caller knows its name).
namespace xlsx {

constexpr qint64 MaxPartBytes = 256LL * 1024 * 1024;
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;
// What a spreadsheet program lets a cell hold.
constexpr qsizetype MaxCellText = 32767;
// A sheet of MaxPartBytes holds about this much text inline; no more may be
// had from a small one through shared strings used again and again.
constexpr qint64 MaxSheetText = 256000000;
// A worksheet nests some ten elements deep (sheetData, row, c, is, r, t, or
// an extension list); its root declares about ten namespaces and its
// elements a handful of attributes each, so these leave room many times over.
constexpr int MaxDepth = 64;
constexpr int MaxNamespaces = 64;
constexpr int MaxAttributes = 64;

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

// Reads the sheet named `sheetName`, or the workbook's first sheet when it is
// empty. Names are compared without regard to case, under Turkish rules first
// ("işçi" and "İŞÇİ" find "İşçi"), then under the common ones ("liste" finds
// "LISTE"). `zip` must be open for reading and
// allow seeking (a file or a buffer).
void readSheet(QIODevice& zip, const QString& sheetName, const RowHandler& onRow);

// The names of the workbook's sheets, in the workbook's order.
std::vector<QString> sheetNames(QIODevice& zip);

// "B17" for row 17, column 2.
QString cellName(int row, int column);

}  // namespace xlsx
