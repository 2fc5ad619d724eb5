#pragma once

#include <string>

#include "jet/TableStream.h"
#include "jet/reader/ReaderArguments.h"

// Writes an error record to `out`; returns the reader's exit status after one.
int fail(TableStreamEncoder& out, StreamError code, const std::string& detail = {});

// Reads the table `arguments` name and sends it to `out` (whose header has
// gone out already), a large one in two halves when a second stream is given.
// Returns the reader's exit status: 0 after the end record, 1 after an error
// record. A table never goes out short: when libmdb reads fewer rows than the
// table's definition counts, the end is an error record. std::bad_alloc
// passes through.
int sendTable(const ReaderArguments& arguments, TableStreamEncoder& out);
