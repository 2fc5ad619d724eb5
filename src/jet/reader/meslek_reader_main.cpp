// meslek-reader [--values COLUMN]... FILE TABLE [SECOND_FD]
//
// Reads one table of a Jet 4 file with libmdb and writes it to standard
// output in the TableStream form. The program passes FILE as /dev/fd/3, the
// descriptor it checked the file through; the reader opens FILE once, without
// blocking, and has libmdb read that descriptor. The program starts it as a separate
// process, because libmdb crashes or loops forever on some damaged files.
//
// With SECOND_FD, a large table's second half of pages goes to that
// descriptor as a stream of its own, read at the same time as the first; the
// first stream's end record (or its error) speaks for the whole table: the
// rows of both halves are counted against the table's definition. Without
// it, one handle reads the whole table into the one stream. Each --values
// names a column whose values are read; without any, every column's are.
//
// Exit status: 0 after the end record; 1 after an error record; anything else
// (or a signal) means the reader itself broke down: 2 when the stream could
// not be written, 3 when standard output could not be taken for it.

#include <new>

#include <unistd.h>

#include "jet/TableStream.h"
#include "jet/reader/ReaderArguments.h"
#include "jet/reader/ReaderLimits.h"
#include "jet/reader/TableSender.h"

int main(int argc, char** argv) {
    confineReader();

    const int streamFd = takeStreamFd();
    if (streamFd < 0) return 3;
    TableStreamEncoder out(streamFd);
    out.header();

    const ReaderArguments arguments = parseReaderArguments(argc, argv, streamFd);
    int status;
    if (!arguments.valid) {
        status = fail(out, StreamError::Usage, kReaderUsage);
    } else {
        try {
            status = sendTable(arguments, out);
        } catch (const std::bad_alloc&) {
            status = fail(out, StreamError::OutOfMemory);
        }
    }
    if (!out.flush()) return 2;
    close(streamFd);
    return status;
}
