#include "jet/reader/ReaderArguments.h"

#include <cstdlib>
#include <cstring>

#include <fcntl.h>

ReaderArguments parseReaderArguments(int argc, char** argv, int streamFd) {
    ReaderArguments arguments;
    int first = 1;
    while (first + 1 < argc && std::strcmp(argv[first], "--values") == 0) {
        arguments.wanted.emplace_back(argv[first + 1]);
        first += 2;
    }
    const int positional = argc - first;
    if (positional == 3) {
        const char* text = argv[first + 2];
        char* end = nullptr;
        const long fd = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && fd > 2 && fd < 1024 && fd != streamFd &&
            fcntl(static_cast<int>(fd), F_GETFD) >= 0) {
            arguments.secondStream = static_cast<int>(fd);
        }
    }
    arguments.valid =
        (positional == 2 || positional == 3) && (positional == 2 || arguments.secondStream >= 0);
    if (arguments.valid) {
        arguments.file = argv[first];
        arguments.table = argv[first + 1];
    }
    return arguments;
}
