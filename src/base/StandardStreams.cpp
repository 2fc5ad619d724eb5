#include "base/StandardStreams.h"

#include <QCoreApplication>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

#include "base/SystemErrorText.h"

namespace {

// A write-only device over a file descriptor that keeps the cause of its first
// failed write and refuses every write after it.
class DescriptorOutput : public QIODevice {
public:
    explicit DescriptorOutput(int fd) : fd_(fd) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    // The errno of the first failed write, 0 while none failed.
    int failure() const { return failure_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (failure_ != 0) return -1;
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd_, data + done, static_cast<size_t>(size - done));
            if (n < 0) {
                if (errno == EINTR) continue;
                failure_ = errno;
                setErrorString(systemErrorText(failure_));
                return -1;
            }
            done += n;
        }
        return done;
    }

private:
    int fd_;
    int failure_ = 0;
};

}  // namespace

void holdClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        const int held = ::open("/dev/null", O_RDONLY | O_NOCTTY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

int runWithStandardStreams(const QStringList& arguments, CommandLineBody body) {
    std::signal(SIGPIPE, SIG_IGN);
    DescriptorOutput out(STDOUT_FILENO);
    DescriptorOutput err(STDERR_FILENO);
    const int code = body(arguments, out, err);
    if (out.failure() == EPIPE) return ExitClosedPipe;
    if (out.failure() != 0) {
        err.write(QStringLiteral("%1: çıktı yazılamadı: %2\n")
                      .arg(QCoreApplication::applicationName(), out.errorString())
                      .toUtf8());
        return ExitOutputFailed;
    }
    return code;
}
