#pragma once

#include <QString>

#include "jet/RawTable.h"

struct TableReaderOptions {
    // The reader executable; empty means readerExecutablePath().
    QString helperPath;
    // The reader is stopped when it sends nothing for this long.
    int stallTimeoutMs = 5000;
};

// Reads a table of a Jet 4 file through the meslek-reader process, so that a
// damaged file that crashes or hangs libmdb cannot take the program with it.
// Blocks until the table has arrived; needs no event loop. Rows come in
// physical order. Throws EOleException with the provider's message when the
// table is missing, the file is damaged, or the reader cannot be started.
//
// NULL and empty text look alike in libmdb: a text or memo value comes back
// as an empty string for both, while an empty value of any other column
// comes back as NULL (a null QString).
RawTable readTable(const QString& file, const QString& table, int stallTimeoutMs = 5000);
RawTable readTable(const QString& file, const QString& table, const TableReaderOptions& options);

// meslek-reader beside the running executable.
QString readerExecutablePath();
