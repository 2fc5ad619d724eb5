#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QStringList>

#include "jet4/Jet4Writer.h"

// `meslek-mdb create OUT.mdb --csv FILE [--password TEXT] [--date DAYS]`:
// builds the occupation database from a CSV list.
namespace jet4 {

// The table `meslekler` from a UTF-8 CSV with the header
// `meslek_kodu,meslek_adi` and optionally `,meslek_ana`; IDs are numbered
// 1, 2, ... in file order. Empty fields are empty text; meslek_ana is NULL
// when the file has no such column. Throws csv::ParseError naming the line.
TableDef occupationTableFromCsv(const QByteArray& csv);

// `arguments` excludes the program name. Returns the exit code: 0 written,
// 1 the list could not be read or the database not written (no file is left
// behind), 2 wrong usage.
int runMeslekMdb(const QStringList& arguments, QIODevice& out, QIODevice& err);

}  // namespace jet4
