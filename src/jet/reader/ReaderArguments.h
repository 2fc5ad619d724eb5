#pragma once

#include <string>
#include <vector>

// meslek-reader's command line: [--values COLUMN]... FILE TABLE [SECOND_FD].
struct ReaderArguments {
    // The columns whose values the caller reads, each after --values; empty:
    // every column's.
    std::vector<std::string> wanted;
    const char* file = nullptr;
    const char* table = nullptr;
    // The descriptor of the second half's stream, or -1 when none is given.
    int secondStream = -1;
    // False for any other number of arguments, or a SECOND_FD that is not an
    // open descriptor above 2 and below 1024 other than the stream's own.
    bool valid = false;
};

inline constexpr char kReaderUsage[] =
    "kullanım: meslek-reader [--values SÜTUN]... DOSYA TABLO [AKIŞ2_FD]";

// `streamFd` is the first stream's own descriptor, which SECOND_FD must not be.
ReaderArguments parseReaderArguments(int argc, char** argv, int streamFd);
