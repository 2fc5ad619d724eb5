#pragma once

#include <QtGlobal>

#include "jetwriter/Jet4Writer.h"

// The table `meslekler` as the program reads it: its name and its columns,
// with their types and sizes. The bundled database, meslek-mdb's and the
// tests' databases are all written with it, and a list is checked against
// its sizes before it becomes the table.
namespace lists {

// The characters meslek_kodu holds, and meslek_adi and meslek_ana each.
constexpr qsizetype CodeLength = 15;
constexpr qsizetype TextLength = 255;

// ID (an auto-increment Long), meslek_kodu (text of CodeLength), meslek_adi
// and meslek_ana (text of TextLength), in this order; no rows.
jet4::TableDef occupationTableSchema();

}  // namespace lists
