#pragma once

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

#include "workbook/PartReader.h"

// String items, the shared ones of the workbook and the inline ones of a cell.
namespace xlsx {

// Appends the text of the string item just started (a shared <si> or an
// inline <is>) to `text`, where the item starts at `start`: its <t>, or its
// runs <r><t>; phonetic runs (<rPh>) are readings of the text, not part of
// it. Leaves the reader on the item's end.
void appendStringItem(PartReader& part, QString& text, qsizetype start);

// The workbook's shared strings. Short ones are kept in one text block and
// copied at each use, which costs no more than a block of their own would.
// A longer one gets a QString of its own that every cell using it shares, so
// however many cells use it, it is held once.
class SharedStrings {
public:
    static constexpr qsizetype CopiedLength = 256;

    void read(PartReader& part);

    // The string at `index`; nothing when there is none.
    std::optional<QString> at(qsizetype index) const;

private:
    void readItem(PartReader& part);

    QString text_;
    std::vector<qsizetype> ends_;
    QHash<qsizetype, QString> long_;  // by index; their place in text_ is empty
};

}  // namespace xlsx
