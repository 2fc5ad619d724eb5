#include "jet/StreamPump.h"

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <exception>
#include <memory>
#include <thread>

#include <poll.h>
#include <unistd.h>

#include "jet/ProviderMessages.h"
#include "jet/ReaderFailure.h"
#include "jet/ReaderProcess.h"
#include "jet/TableStream.h"

namespace {

constexpr std::size_t kReadChunk = 1u << 20;

}  // namespace

void StreamPump::pump(int fd, TableStreamDecoder& decoder) {
    using Clock = std::chrono::steady_clock;
    std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    auto lastProgress = Clock::now();
    for (;;) {
        const auto idle =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastProgress);
        const long long left = stallMs_ - idle.count();
        if (left <= 0) {
            reader_.kill();
            ReaderFailure::raise(ProviderMessages::damagedFile(
                shownFile_, QStringLiteral("okuyucu %1 içinde ilerleme göstermedi")
                                .arg(ReaderFailure::secondsText(stallMs_))));
        }
        pollfd pfd{fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0) {
            if (errno == EINTR) continue;
            ReaderFailure::raiseReaderFailed(errno);
        }
        if (ready == 0) continue;
        const ssize_t n = ::read(fd, buffer.get(), kReadChunk);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            ReaderFailure::raiseReaderFailed(errno);
        }
        if (n == 0) return;
        lastProgress = Clock::now();
        try {
            decoder.feed(buffer.get(), static_cast<std::size_t>(n));
        } catch (const TableStreamError& error) {
            reader_.kill();
            ReaderFailure::raise(ProviderMessages::damagedFile(
                shownFile_, ReaderFailure::malformed(error.reason())));
        }
    }
}

void StreamPump::pumpBoth(int firstFd, TableStreamDecoder& first, int secondFd,
                          TableStreamDecoder& second) {
    std::exception_ptr secondFailure;
    std::thread secondThread([&] {
        try {
            pump(secondFd, second);
        } catch (...) {
            secondFailure = std::current_exception();
            reader_.kill();
        }
    });
    try {
        pump(firstFd, first);
    } catch (...) {
        reader_.kill();
        secondThread.join();
        reader_.waitBlocking();
        throw;
    }
    secondThread.join();
    if (secondFailure && !first.hasError()) {
        reader_.waitBlocking();
        std::rethrow_exception(secondFailure);
    }
}
