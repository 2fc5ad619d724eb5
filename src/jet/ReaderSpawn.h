#pragma once

#include <QString>

#include "base/UniqueFd.h"
#include "jet/JetFile.h"
#include "jet/ReaderProcess.h"
#include "jet/TableReader.h"

// A started reader and the read ends of its two streams. The process is the
// last member, so that it is stopped and reaped before the pipes close.
struct SpawnedReader {
    UniqueFd firstStream;
    UniqueFd secondStream;
    ReaderProcess process;
};

// Starts the reader at `helper` on `table` of `file`, in a process group of
// its own, with the signals at their defaults and none blocked: standard input
// and error on /dev/null, the first stream on its standard output, `file`'s
// descriptor as ReaderFileDescriptor, the second stream's pipe as
// ReaderSecondStreamDescriptor and no other descriptor. Its environment is
// options.environment when given, and options.valueColumns go over as its
// --values arguments. Throws EOleException (the reader could not be started)
// when a pipe cannot be made or the start fails.
SpawnedReader spawnReader(const QString& helper, const JetFile& file, const QString& table,
                          const TableReaderOptions& options);
