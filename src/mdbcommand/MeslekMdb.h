#pragma once

#include <QIODevice>
#include <QStringList>

// `meslek-mdb create OUT.mdb (--csv FILE | --xlsx FILE [--sheet NAME])
// [--password TEXT | --password-file FILE] [--date DAYS] [--quiet]`: builds
// the occupation database from a CSV list or from a workbook as the
// employment agency publishes it. The list is checked first (see
// lists::check); a list with errors is not written, and the errors are shown
// at their lines or cells.
namespace jet4 {

// `arguments` excludes the program name. Returns the exit code: 0 written,
// 1 the list could not be read, has errors, or the database could not be
// written (no file is left behind), 2 wrong usage.
int runMeslekMdb(const QStringList& arguments, QIODevice& out, QIODevice& err);

}  // namespace jet4
