#pragma once

#include <QString>

class ReaderProcess;
class TableStreamDecoder;

// Carries the reader's streams from their pipes into decoders. A stream that
// makes no progress for `stallMs`, a failed pipe or a malformed stream throws
// EOleException (the provider's message about `shownFile`) after stopping the
// reader.
class StreamPump {
public:
    StreamPump(ReaderProcess& reader, int stallMs, const QString& shownFile)
        : reader_(reader), stallMs_(stallMs), shownFile_(shownFile) {}

    // Reads the stream on `fd` to its end into `decoder`.
    void pump(int fd, TableStreamDecoder& decoder);
    // Reads both streams at once, the second on a thread of its own, and
    // returns when both have ended. A failure on either side stops the
    // reader, which ends the other; the first stream's failure, or its own
    // error record, speaks for the read before the second's failure.
    void pumpBoth(int firstFd, TableStreamDecoder& first, int secondFd, TableStreamDecoder& second);

private:
    ReaderProcess& reader_;
    int stallMs_;
    const QString& shownFile_;
};
