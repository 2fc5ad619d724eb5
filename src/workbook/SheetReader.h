#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

#include "workbook/PartReader.h"
#include "workbook/SharedStrings.h"
#include "workbook/XlsxReader.h"

// A worksheet part's rows and cells, each row handed on in column order. Cell
// references are held to the format's last row and column, a row to as many
// cells as there are columns, and the text the sheet hands out to MaxSheetText.
namespace xlsx {

class SheetReader {
public:
    SheetReader(PartReader& part, const SharedStrings& strings, const RowHandler& onRow)
        : part_(part), strings_(strings), onRow_(onRow) {}

    // Reads the part to its end, handing each row with a value to `onRow`.
    void read();

private:
    void readRow();
    void readCell();
    int cellColumn(const QString& ref) const;
    QString inlineString();
    void addCell(int column, const QString& type, const std::optional<QString>& value,
                 const std::optional<QString>& inlineText, const QString& ref);
    QString sharedString(const QString& index, int column, const QString& ref) const;
    void keep(Cell&& cell);

    PartReader& part_;
    const SharedStrings& strings_;
    const RowHandler& onRow_;
    int row_ = 0;
    int nextColumn_ = 1;
    qint64 handedOut_ = 0;
    std::vector<Cell> cells_;
};

}  // namespace xlsx
