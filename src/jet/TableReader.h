#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <optional>

#include "jet/JetFile.h"
#include "jet/RawTable.h"

struct TableReaderOptions {
    // The reader executable; empty means readerExecutablePath().
    QString helperPath;
    // The reader is stopped when it sends nothing for this long.
    int stallTimeoutMs = 5000;
    // The reader's whole environment, NAME=VALUE entries; none: this process's.
    // The caller leaves out what the reader must not see (a password).
    std::optional<QByteArrayList> environment;
    // The columns whose values are read (names in any ASCII letter case);
    // the others come with their definitions and null cells, marked
    // RawColumn::valuesRead false. Empty: every column's values.
    QStringList valueColumns;
};

// Reads a table of a Jet 4 file through the meslek-reader process, so that a
// damaged file that crashes or hangs libmdb cannot take the program with it.
// Blocks until the table has arrived; needs no event loop. Rows come in
// physical order. Throws EOleException with the provider's message when the
// table is missing, the file is damaged or incomplete (pages it needs lie
// beyond its end), or the reader cannot be started. A table never comes back
// short: when libmdb reads fewer rows than the table's definition counts (it
// skips rows it cannot make sense of), the file is reported damaged.
//
// NULL and empty text look alike in libmdb: a text or memo value comes back
// as an empty string for both, while an empty value of any other column
// comes back as NULL (a null QString).
//
// The reader is handed `file`'s own descriptor (as its fd 3) and reads
// /dev/fd/3: whatever the path names by now, the file read is the one opened.
// The overloads taking a path open it with JetFile::open first.
RawTable readTable(const JetFile& file, const QString& table,
                   const TableReaderOptions& options = {});
RawTable readTable(const QString& file, const QString& table, int stallTimeoutMs = 5000);
RawTable readTable(const QString& file, const QString& table, const TableReaderOptions& options);

// The path the reader opens: the descriptor it is handed.
inline constexpr char ReaderFilePath[] = "/dev/fd/3";
inline constexpr int ReaderFileDescriptor = 3;
// Where the reader sends a large table's second half of pages, as a stream of
// its own (its argument after the table's name).
inline constexpr int ReaderSecondStreamDescriptor = 4;

// Where the reader lies when installed, relative to the folder of the
// programs that start it (set by the build from the install folders).
inline constexpr char InstalledReaderDirectory[] = MESLEK_INSTALLED_READER_DIRECTORY;

// The reader for the running executable (/proc/self/exe): meslek-reader
// beside it, as in the build tree, or else in InstalledReaderDirectory
// relative to it, as when installed. Never an absolute path fixed at build
// time, so that an installed copy works wherever its tree was put (a staging
// folder, another prefix).
QString readerExecutablePath();
// The same for the executable at `executable`. When neither reader is there,
// the installed one's path, for the message that it is missing.
QString readerExecutablePathFor(const QString& executable);
