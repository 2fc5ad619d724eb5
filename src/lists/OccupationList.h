#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

#include "jetwriter/Jet4Writer.h"

// An occupation list as read from a CSV file or a workbook, before it becomes
// the table `meslekler`: code, name and optionally the parent group of every
// row, exactly as published, with where each row came from so that a problem
// can be shown at its place ("satır 12" in a CSV, "B17" in a sheet).
//
// The texts lie in one block, so a list of a million rows costs little more
// than its text.
namespace lists {

enum class Field { Code, Name, Parent };

// Where the rows came from: lines of a CSV file, or rows of a sheet whose
// columns hold the fields.
struct Source {
    bool sheet = false;
    int codeColumn = 1;
    int nameColumn = 2;
    int parentColumn = 0;  // 0: no such column
};

class OccupationList {
public:
    explicit OccupationList(Source source = {}) : source_(source) {}

    // `codeIsText` false: the code was stored as a number (in a sheet).
    void add(QStringView code, QStringView name, std::optional<QStringView> parent, int place,
             bool codeIsText = true);

    std::size_t size() const { return places_.size(); }
    QStringView code(std::size_t row) const { return field(row, 0); }
    QStringView name(std::size_t row) const { return field(row, 1); }
    std::optional<QStringView> parent(std::size_t row) const;
    bool codeIsText(std::size_t row) const { return !numberCodes_[row]; }

    // "satır 12" or "B17".
    QString place(std::size_t row, Field field) const;

    // Frees what the reading left over.
    void squeeze();

private:
    QStringView field(std::size_t row, int index) const;

    Source source_;
    QString text_;
    std::vector<std::uint32_t> ends_;   // three a row; the top bit marks a NULL parent
    std::vector<std::int32_t> places_;  // a line or a sheet row
    std::vector<bool> numberCodes_;
};

// What is wrong with a list, each at its place, in the order of the list.
struct ListCheck {
    QStringList errors;  // at most MaxListed
    std::size_t errorCount = 0;
    QStringList warnings;  // at most MaxListed
    std::size_t warningCount = 0;
    QString firstCode;  // the smallest and largest code, compared as text
    QString lastCode;
};

constexpr std::size_t MaxListed = 20;

// Errors: a list without rows, a code stored as a number, an empty code or
// name, a code given twice, a text longer than its column. Warnings: a code
// that is not NNNN.NN. The values in the messages are cut and escaped (see
// shownvalue::shown); firstCode and lastCode are kept as they are.
ListCheck check(const OccupationList& list);

// The table `meslekler` of the list: IDs 1, 2, ... in the list's order; each
// row is made as it is written, so the list is not copied.
jet4::TableDef occupationTable(const OccupationList& list);

}  // namespace lists
