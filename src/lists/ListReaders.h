#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>
#include <vector>

#include "lists/OccupationList.h"
#include "workbook/XlsxReader.h"

// The two ways an occupation list comes in: a UTF-8 CSV file of our own
// columns, and a workbook as the employment agency publishes it. Both give
// the rows as they are, in their order; blank rows are left out. Whether the
// rows make a good list is for check() to say, so that both ways accept the
// same lists.
namespace lists {

// A CSV with the header `meslek_kodu,meslek_adi` or `meslek_kodu,meslek_adi,meslek_ana`
// (see csv::parse). Throws csv::ParseError naming the line.
OccupationList listFromCsv(const QByteArray& csv);

// The columns of a workbook's list, found from the texts of its header row.
struct HeaderColumns {
    int code = 0;
    int name = 0;
    int parent = 0;  // 0: none
};

// Whether a row is the header: lower-cased under Turkish rules, blanks and
// punctuation dropped, one cell contains "kod" (the code) and another starts
// with "meslekad" (the name); a cell that starts with "meslekana" is the
// parent group.
std::optional<HeaderColumns> headerColumns(const std::vector<xlsx::Cell>& cells);

// The list on a sheet of the workbook (`sheet` empty: the first): the rows
// below the first header row. Throws xlsx::Error when the workbook cannot be
// read or has no header row.
OccupationList listFromWorkbook(QIODevice& zip, const QString& sheet);

}  // namespace lists
