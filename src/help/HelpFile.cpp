#include "help/HelpFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "exceptions/Exceptions.h"
#include "rtf/HelpDocument.h"

namespace {

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

[[noreturn]] void cannotOpen(const QString& path, int error) {
    throw Exception(QStringLiteral("Cannot open file \"%1\". %2")
                        .arg(QDir::current().absoluteFilePath(path),
                             QString::fromLocal8Bit(std::strerror(error))));
}

// After a failed open: does a regular file of that name exist at all?
bool regularFileExists(const QByteArray& path) {
    struct stat status {};
    return ::stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

int openFileForReading(const char* path, int flags) { return ::open(path, flags); }

std::optional<QByteArray> readHelpFile(const QString& path, const FileOpener& open, qint64 limit) {
    if (limit < 0) limit = HelpTextCapacity;
    const QByteArray encoded = QFile::encodeName(path);
    Descriptor file(open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        const int error = errno;
        if (!regularFileExists(encoded)) return std::nullopt;
        cannotOpen(path, error);
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    // Writers that lock the file keep us out while they hold it; nobody else
    // is stopped (the lock is advisory).
    if (::flock(file.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        cannotOpen(path, EWOULDBLOCK);
    }

    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(std::clamp<qint64>(status.st_size, 0, limit)));
    char chunk[65536];
    while (bytes.size() < limit) {
        const auto wanted = static_cast<size_t>(qMin<qint64>(sizeof chunk, limit - bytes.size()));
        const ssize_t got = ::read(file.get(), chunk, wanted);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw Exception(QStringLiteral("Failed to Load Stream"));
        if (got == 0) break;
        bytes.append(chunk, got);
    }
    return bytes;
}
