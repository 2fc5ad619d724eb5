#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Writes small Office Open XML workbooks the way spreadsheet programs do, for
// the tests, the benchmarks and the fuzz seeds: every workbook they read is
// made here from code. Parts can be given whole, so that tests can also write
// workbooks no spreadsheet program would.
namespace xlsx {

struct Part {
    QString name;  // "xl/worksheets/sheet1.xml"
    QByteArray data;
};

struct SheetXml {
    QString name;          // the sheet's name in the workbook
    QByteArray sheetData;  // what goes inside <sheetData>
};

// The parts of a workbook with these sheets ([Content_Types].xml, the
// relationships, xl/workbook.xml, one worksheet part each) and, when
// `sharedStrings` is not empty, xl/sharedStrings.xml holding those <si> items.
std::vector<Part> workbookParts(const std::vector<SheetXml>& sheets,
                                const QByteArray& sharedStrings = {});

// A list as a spreadsheet program saves it: `rows` (the header first) from
// cell (firstRow, firstColumn), every text a shared string. Empty texts are
// left out as missing cells.
std::vector<Part> listWorkbook(const std::vector<QStringList>& rows, int firstRow = 1,
                               int firstColumn = 1,
                               const QString& sheetName = QStringLiteral("Sayfa1"));

// Text escaped for XML content and attributes.
QByteArray escaped(const QString& text);

// A zip of the parts, deflated. Throws std::runtime_error on failure.
QByteArray zipParts(const std::vector<Part>& parts);

// Writes the zip of the parts to `path`. Throws std::runtime_error on failure.
void writeWorkbook(const QString& path, const std::vector<Part>& parts);

}  // namespace xlsx
