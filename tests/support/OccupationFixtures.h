#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "jetwriter/Jet4Writer.h"

// Occupation tables for tests and benchmarks.
namespace jet4 {

struct OccupationRow {
    QString code;
    QString name;
    QString parent;  // null: NULL
};

// The table `meslekler` (see lists::occupationTableSchema) with these rows,
// their IDs numbered 1, 2, ... in order.
TableDef occupationTable(const std::vector<OccupationRow>& rows);

// `count` made-up occupations with Turkish names, codes in the national form
// (NNNN.NN, not unique for large counts) and rows in no particular order. The
// same seed gives the same rows.
std::vector<OccupationRow> syntheticOccupations(int count, std::uint32_t seed = 1);

// A database holding one occupation table, with the given password.
DatabaseDef occupationDatabase(const std::vector<OccupationRow>& rows, const QString& password);

}  // namespace jet4
