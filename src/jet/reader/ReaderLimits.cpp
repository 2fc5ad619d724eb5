#include "jet/reader/ReaderLimits.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr rlim_t kAddressSpaceLimit = rlim_t(4) << 30;

// AddressSanitizer keeps terabytes of address space for its shadow memory and
// maps more as the heap grows: a sanitized reader runs without the limit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitized = true;
#else
constexpr bool kAddressSanitized = false;
#endif
#else
constexpr bool kAddressSanitized = false;
#endif

void limitResources() {
    rlimit limit{0, 0};
    setrlimit(RLIMIT_CORE, &limit);
    if (!kAddressSanitized && getrlimit(RLIMIT_AS, &limit) == 0 &&
        (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > kAddressSpaceLimit)) {
        limit.rlim_cur = kAddressSpaceLimit;
        setrlimit(RLIMIT_AS, &limit);
    }
}

}  // namespace

void confineReader() {
    for (const char* name : {"MDBICONV", "MDBOPTS", "MDBPATH", "MDB_JET3_CHARSET"}) unsetenv(name);
    signal(SIGPIPE, SIG_IGN);
    // Go away with the program that started us.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    limitResources();
}

int takeStreamFd() {
    const int streamFd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (streamFd < 0) return -1;
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull < 0 || dup2(devNull, STDOUT_FILENO) < 0) {
        if (dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return -1;
    }
    if (devNull >= 0) close(devNull);
    return streamFd;
}
