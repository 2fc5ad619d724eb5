#pragma once

#include <QIODevice>
#include <QStringList>

// A command-line program's body: its arguments (without the program name),
// standard output and standard error; returns the exit code. A body stops
// writing once a write to `out` fails (write() returns -1); the caller reports
// the failure.
using CommandLineBody = int (*)(const QStringList& arguments, QIODevice& out, QIODevice& err);

// The exit code after standard output's reader went away (`meslek-ara | head -1`):
// what a shell shows for a filter that SIGPIPE ended, 128 + 13.
inline constexpr int ExitClosedPipe = 141;
// The exit code after any other failure to write standard output.
inline constexpr int ExitOutputFailed = 1;

// Runs `body` over `arguments` and the process's standard streams, inside an
// application the caller made (a program that needs a GUI application, say,
// to measure fonts), which calls holdClosedStandardDescriptors() before it
// makes the application and gives it only ProgramArguments' toolkit vector.
//
// Output goes straight to the descriptors, unbuffered by us (bodies buffer
// large output themselves). SIGPIPE is ignored, so a closed pipe is a failed
// write, not the end of the process: the program then ends quietly with
// ExitClosedPipe. Any other failure to write standard output (a full disk,
// `> /dev/full`, a closed descriptor) is reported on standard error as
// "PROGRAM: çıktı yazılamadı: CAUSE" and ends with ExitOutputFailed, whatever
// the body returned. Failures to write standard error are not reported.
int runWithStandardStreams(const QStringList& arguments, CommandLineBody body);

// A standard descriptor that was closed when the program started would be
// reused by the next file or pipe opened, and output would go there. This
// holds each with /dev/null opened for reading, so writes to it fail (EBADF),
// as they would have. Call it first thing in main().
void holdClosedStandardDescriptors();
