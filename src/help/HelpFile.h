#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// Reading the help file "yardim" from the working directory.
//
// Only a regular file counts: no entry, a dangling link, a directory, a pipe,
// a device or a socket of that name all count as "no help file", which is not
// a failure. The file is opened once, without blocking (a pipe without a
// writer or a device must never hang the window), and the open descriptor is
// what is checked, so a name swapped between a look and the open cannot slip
// a pipe in. At most `limit` bytes are read: a file that grows without end is
// cut there.
//
// Failures (of the family in exceptions/Exceptions.h):
// - "Cannot open file "<full path>". <system's error text>" when a regular
//   file of that name exists but cannot be opened, or another program holds
//   an exclusive lock on it;
// - "Failed to Load Stream" when reading the opened file fails.

// ::open's shape, so that tests can make the open fail (as root no permission
// stops it).
using FileOpener = std::function<int(const char* path, int flags)>;
int openFileForReading(const char* path, int flags);

// The file's bytes, or nothing when there is no help file.
std::optional<QByteArray> readHelpFile(const QString& path,
                                       const FileOpener& open = openFileForReading,
                                       qint64 limit = -1);
