#include "jet/JetFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/SystemErrorText.h"
#include "exceptions/Exceptions.h"
#include "jet/ProviderMessages.h"
#include "text/ShownValue.h"

namespace {

[[noreturn]] void raise(const QString& message) { throw EOleException(message, ResultCode::Fail); }

// A path as messages show it: escaped, and cut only when absurdly long.
QString shown(const QString& path) { return shownvalue::shownPath(QDir::toNativeSeparators(path)); }

// What lies at a path that is not a regular file, for the message.
QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("bir klasör");
    if (S_ISFIFO(mode)) return QStringLiteral("bir adlandırılmış boru (FIFO)");
    if (S_ISSOCK(mode)) return QStringLiteral("bir soket");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("bir aygıt");
    return {};
}

// The innermost folder on the way to `path` that may not be searched: the
// parent of the first component that stat() refuses with EACCES.
QString folderWithoutSearchPermission(const QString& path) {
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString prefix;
    QString parent = QStringLiteral("/");
    for (const QString& part : parts) {
        prefix += QLatin1Char('/') + part;
        struct stat info;
        if (::stat(QFile::encodeName(prefix).constData(), &info) != 0) {
            return errno == EACCES ? parent : QString();
        }
        parent = prefix;
    }
    return {};
}

// The first folder on the way to `path` that is something else (a file, say).
QString componentThatIsNoFolder(const QString& path) {
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString prefix;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        prefix += QLatin1Char('/') + parts.at(i);
        struct stat info;
        if (::stat(QFile::encodeName(prefix).constData(), &info) != 0) return {};
        if (!S_ISDIR(info.st_mode)) return prefix;
    }
    return {};
}

[[noreturn]] void raiseOpenFailure(const QString& path, int error) {
    const QByteArray encoded = QFile::encodeName(path);
    struct stat info;
    switch (error) {
        case ENOENT:
        case ENOTDIR: {
            if (error == ENOTDIR) {
                const QString notFolder = componentThatIsNoFolder(path);
                if (!notFolder.isEmpty()) {
                    raise(ProviderMessages::fileWhereFolderShouldBe(shown(notFolder), shown(path)));
                }
            }
            if (::lstat(encoded.constData(), &info) == 0 && S_ISLNK(info.st_mode)) {
                raise(ProviderMessages::brokenLink(shown(path)));
            }
            const QString folder = QFileInfo(path).absolutePath();
            if (!QFileInfo(folder).isDir()) {
                raise(ProviderMessages::missingFolder(shown(folder), shown(path)));
            }
            raise(ProviderMessages::missingFile(shown(path)));
        }
        case ELOOP:
            raise(ProviderMessages::linkLoop(shown(path)));
        case EACCES:
        case EPERM: {
            const QString folder = folderWithoutSearchPermission(path);
            if (!folder.isEmpty()) {
                raise(ProviderMessages::noFolderPermission(shown(folder), shown(path)));
            }
            raise(ProviderMessages::noReadPermission(shown(path)));
        }
        default:
            // A socket refuses the open itself (ENXIO): name what is there.
            if (::stat(encoded.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
                raise(ProviderMessages::notAFile(shown(path), kindOf(info.st_mode)));
            }
            raise(ProviderMessages::cannotOpenFile(shown(path), systemErrorText(error)));
    }
}

}  // namespace

JetFile JetFile::open(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QByteArray encoded = QFile::encodeName(absolute);
    int fd;
    do {
        fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) raiseOpenFailure(absolute, errno);
    if (fd < 3) {
        // Started with a standard stream closed: keep 0-2 free, the reader's
        // spawn points them elsewhere before it hands this descriptor over.
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
        const int error = errno;
        ::close(fd);
        if (moved < 0) {
            raise(ProviderMessages::cannotOpenFile(shown(absolute), systemErrorText(error)));
        }
        fd = moved;
    }

    JetFile file(fd, 0, shown(absolute));
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        raise(ProviderMessages::cannotOpenFile(file.shownPath_, systemErrorText(errno)));
    }
    if (!S_ISREG(info.st_mode)) {
        raise(ProviderMessages::notAFile(file.shownPath_, kindOf(info.st_mode)));
    }
    file.size_ = info.st_size;
    return file;
}

JetFile::JetFile(int fd, std::int64_t size, QString shownPath)
    : fd_(fd), size_(size), shownPath_(std::move(shownPath)) {}

QByteArray JetFile::readHead(int bytes) const {
    QByteArray head(bytes, Qt::Uninitialized);
    qsizetype have = 0;
    while (have < bytes) {
        const ssize_t n =
            ::pread(fd_.get(), head.data() + have, static_cast<size_t>(bytes - have), have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            raise(ProviderMessages::cannotOpenFile(shownPath_, systemErrorText(errno)));
        }
        if (n == 0) break;
        have += n;
    }
    head.truncate(have);
    return head;
}
