#include "jet/TableReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "exceptions/Exceptions.h"
#include "jet/ProviderMessages.h"
#include "jet/TableStream.h"
#include "jet/UniqueFd.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kReadChunk = 1u << 20;
constexpr int kPipeSize = 1 << 20;

[[noreturn]] void raise(const QString& message) { throw EOleException(message, ResultCode::Fail); }

// The reader process. Whatever happens, the destructor leaves neither a
// running reader nor a zombie behind.
class Child {
public:
    explicit Child(pid_t pid) : pid_(pid) {}
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (!reaped_) {
            kill();
            waitBlocking();
        }
    }

    // The reader runs in a process group of its own; this stops it and
    // anything it started.
    void kill() {
        if (reaped_) return;
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
    }

    // Waits up to timeoutMs for the reader to exit on its own; kills it when
    // it does not. Returns true when it exited by itself.
    bool waitFor(int timeoutMs) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        long sleepUs = 200;
        while (!tryReap()) {
            if (Clock::now() >= deadline) {
                kill();
                waitBlocking();
                return false;
            }
            const timespec pause{0, sleepUs * 1000};
            nanosleep(&pause, nullptr);
            sleepUs = std::min(sleepUs * 2, 20000L);
        }
        return true;
    }

    void waitBlocking() {
        while (!reaped_) {
            const pid_t r = ::waitpid(pid_, &status_, 0);
            if (r == pid_ || (r < 0 && errno != EINTR)) finishWait(r);
        }
    }

    bool signalled() const { return known_ && WIFSIGNALED(status_); }
    int signalNumber() const { return WTERMSIG(status_); }
    // The exit code, or -1 when it is not known (someone else reaped the reader).
    int exitCode() const { return known_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }

private:
    bool tryReap() {
        for (;;) {
            const pid_t r = ::waitpid(pid_, &status_, WNOHANG);
            if (r == 0) return false;
            if (r < 0 && errno == EINTR) continue;
            finishWait(r);
            return true;
        }
    }
    void finishWait(pid_t r) {
        reaped_ = true;
        // ECHILD: a SIGCHLD handler elsewhere in the process reaped it first.
        known_ = r == pid_;
    }

    pid_t pid_;
    bool reaped_ = false;
    bool known_ = false;
    int status_ = 0;
};

class SpawnAttributes {
public:
    SpawnAttributes() {
        posix_spawnattr_init(&attr_);
        posix_spawn_file_actions_init(&actions_);
    }
    ~SpawnAttributes() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attr_);
    }
    posix_spawnattr_t attr_;
    posix_spawn_file_actions_t actions_;
};

QString secondsText(int ms) {
    if (ms % 1000 == 0) return QStringLiteral("%1 saniye").arg(ms / 1000);
    return QStringLiteral("%1 milisaniye").arg(ms);
}

QString malformed(const QString& detail) {
    return QStringLiteral("okuyucunun gönderdiği veri bozuk: %1").arg(detail);
}

QString unexpectedEnd(const Child& child) {
    if (child.signalled()) {
        return QStringLiteral("okuyucu beklenmedik biçimde sonlandı (sinyal %1)")
            .arg(child.signalNumber());
    }
    if (child.exitCode() >= 0) {
        return QStringLiteral("okuyucu beklenmedik biçimde sonlandı (çıkış kodu %1)")
            .arg(child.exitCode());
    }
    return QStringLiteral("okuyucu beklenmedik biçimde sonlandı");
}

[[noreturn]] void raiseReaderError(const TableStreamDecoder& decoder, const QString& shownFile,
                                   const QString& table) {
    const QString& detail = decoder.errorDetail();
    switch (decoder.errorCode()) {
        case StreamError::TableNotFound:
            raise(ProviderMessages::tableMissing(table, shownFile));
        case StreamError::FileNotFound:
            raise(ProviderMessages::missingFile(shownFile));
        case StreamError::NotAFile:
            raise(ProviderMessages::notAFile(shownFile));
        case StreamError::CannotOpen: {
            bool ok = false;
            const int error = detail.toInt(&ok);
            if (ok && (error == EACCES || error == EPERM)) {
                raise(ProviderMessages::noReadPermission(shownFile));
            }
            raise(ProviderMessages::cannotOpenFile(
                shownFile, ok ? ProviderMessages::systemErrorReason(error) : detail));
        }
        case StreamError::Truncated:
            raise(ProviderMessages::incompleteFile(
                shownFile, detail.isEmpty() ? QStringLiteral("dosya beklenenden kısa") : detail));
        case StreamError::NotADatabase:
            raise(ProviderMessages::damagedFile(
                shownFile, QStringLiteral("dosya veritabanı olarak açılamadı")));
        case StreamError::CatalogUnreadable:
            raise(ProviderMessages::damagedFile(
                shownFile, QStringLiteral("sistem kataloğu (MSysObjects) okunamadı")));
        case StreamError::TableUnreadable:
            raise(ProviderMessages::damagedFile(
                shownFile,
                detail.isEmpty()
                    ? QStringLiteral("\"%1\" tablosu okunamadı").arg(table)
                    : QStringLiteral("\"%1\" tablosu okunamadı: %2").arg(table, detail)));
        case StreamError::OutOfMemory:
            raise(ProviderMessages::damagedFile(shownFile,
                                                QStringLiteral("okuyucunun belleği yetmedi")));
        case StreamError::Usage:
            raise(ProviderMessages::readerFailed(QStringLiteral("okuyucu yanlış çağrıldı")));
        case StreamError::Internal:
            break;
    }
    raise(ProviderMessages::damagedFile(
        shownFile, detail.isEmpty() ? QStringLiteral("okuyucu hata bildirdi") : detail));
}

// The two streams of one read describe their columns alike.
bool sameColumns(const std::vector<RawColumn>& a, const std::vector<RawColumn>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const RawColumn& x, const RawColumn& y) {
                          return x.name == y.name && x.jetType == y.jetType &&
                                 x.autoIncrement == y.autoIncrement && x.size == y.size;
                      });
}

// Reads one of the reader's streams to its end into `decoder`. Throws
// EOleException when the reader makes no progress on it for `stallMs` (after
// stopping the reader), when the pipe fails, or when the stream is malformed.
void pumpStream(int fd, TableStreamDecoder& decoder, Child& child, int stallMs,
                const QString& shownFile) {
    std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    auto lastProgress = Clock::now();
    for (;;) {
        const auto idle =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastProgress);
        const long long left = stallMs - idle.count();
        if (left <= 0) {
            child.kill();
            raise(ProviderMessages::damagedFile(
                shownFile,
                QStringLiteral("okuyucu %1 içinde ilerleme göstermedi").arg(secondsText(stallMs))));
        }
        pollfd pfd{fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0) {
            if (errno == EINTR) continue;
            raise(ProviderMessages::readerFailed(ProviderMessages::systemErrorReason(errno)));
        }
        if (ready == 0) continue;
        const ssize_t n = ::read(fd, buffer.get(), kReadChunk);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            raise(ProviderMessages::readerFailed(ProviderMessages::systemErrorReason(errno)));
        }
        if (n == 0) return;
        lastProgress = Clock::now();
        try {
            decoder.feed(buffer.get(), static_cast<std::size_t>(n));
        } catch (const TableStreamError& error) {
            child.kill();
            raise(ProviderMessages::damagedFile(shownFile, malformed(error.reason())));
        }
    }
}

}  // namespace

QString readerExecutablePathFor(const QString& executable) {
    const QString dir = QFileInfo(executable).absolutePath();
    const QString beside = dir + QStringLiteral("/meslek-reader");
    const QFileInfo besideInfo(beside);
    if (besideInfo.isFile() && besideInfo.isExecutable()) return beside;
    return QDir::cleanPath(dir + QLatin1Char('/') + QLatin1String(InstalledReaderDirectory) +
                           QStringLiteral("/meslek-reader"));
}

QString readerExecutablePath() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return QDir::currentPath() + QStringLiteral("/meslek-reader");
    return readerExecutablePathFor(QFile::decodeName(QByteArray(path, n)));
}

RawTable readTable(const QString& file, const QString& table, int stallTimeoutMs) {
    TableReaderOptions options;
    options.stallTimeoutMs = stallTimeoutMs;
    return readTable(file, table, options);
}

RawTable readTable(const QString& file, const QString& table, const TableReaderOptions& options) {
    return readTable(JetFile::open(file), table, options);
}

RawTable readTable(const JetFile& file, const QString& table, const TableReaderOptions& options) {
    const QString& shownFile = file.shownPath();
    const QString helper =
        options.helperPath.isEmpty() ? readerExecutablePath() : options.helperPath;
    const int stallMs = options.stallTimeoutMs > 0 ? options.stallTimeoutMs : 1;

    const QFileInfo helperInfo(helper);
    if (!helperInfo.isFile() || !helperInfo.isExecutable()) {
        raise(ProviderMessages::readerMissing(QDir::toNativeSeparators(helper)));
    }

    // Two pipes: the reader sends a large table's second half of pages through
    // the second while the first half goes through the first, and each is
    // decoded here on a thread of its own.
    int pipeFds[2];
    int secondFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        raise(ProviderMessages::readerFailed(ProviderMessages::systemErrorReason(errno)));
    }
    UniqueFd readEnd(pipeFds[0]);
    UniqueFd writeEnd(pipeFds[1]);
    if (::pipe2(secondFds, O_CLOEXEC) != 0) {
        raise(ProviderMessages::readerFailed(ProviderMessages::systemErrorReason(errno)));
    }
    UniqueFd secondReadEnd(secondFds[0]);
    UniqueFd secondWriteEnd(secondFds[1]);
    // Larger pipes only save wake-ups.
    ::fcntl(readEnd.get(), F_SETPIPE_SZ, kPipeSize);
    ::fcntl(secondReadEnd.get(), F_SETPIPE_SZ, kPipeSize);

    const QByteArray helperPath = QFile::encodeName(helper);
    const QByteArray filePath(ReaderFilePath);
    const QByteArray tableName = table.toUtf8();
    const QByteArray secondStream = QByteArray::number(ReaderSecondStreamDescriptor);
    const QByteArray valuesOption("--values");
    QByteArrayList valueColumns;
    for (const QString& column : options.valueColumns) valueColumns.push_back(column.toUtf8());
    std::vector<char*> argv = {const_cast<char*>(helperPath.constData())};
    for (QByteArray& column : valueColumns) {
        argv.push_back(const_cast<char*>(valuesOption.constData()));
        argv.push_back(column.data());
    }
    for (const QByteArray* argument : {&filePath, &tableName, &secondStream}) {
        argv.push_back(const_cast<char*>(argument->constData()));
    }
    argv.push_back(nullptr);

    SpawnAttributes spawn;
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&spawn.attr_, &signalSet);
    sigfillset(&signalSet);
    posix_spawnattr_setsigdefault(&spawn.attr_, &signalSet);
    posix_spawnattr_setpgroup(&spawn.attr_, 0);
    posix_spawnattr_setflags(
        &spawn.attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    posix_spawn_file_actions_addopen(&spawn.actions_, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&spawn.actions_, writeEnd.get(), 1);
    posix_spawn_file_actions_addopen(&spawn.actions_, 2, "/dev/null", O_WRONLY, 0);
    // The database goes over as fd 3 and the second stream as fd 4 (dup2
    // clears close-on-exec, also when the descriptor is that number already);
    // fds someone opened without close-on-exec must not reach the reader. The
    // second stream's end is first moved above both, so that neither dup2
    // overwrites the other's source.
    const int secondHigh = ::fcntl(secondWriteEnd.get(), F_DUPFD_CLOEXEC, 10);
    if (secondHigh < 0) {
        raise(ProviderMessages::readerFailed(ProviderMessages::systemErrorReason(errno)));
    }
    UniqueFd secondWriteHigh(secondHigh);
    secondWriteEnd.reset();
    posix_spawn_file_actions_adddup2(&spawn.actions_, file.fd(), ReaderFileDescriptor);
    posix_spawn_file_actions_adddup2(&spawn.actions_, secondWriteHigh.get(),
                                     ReaderSecondStreamDescriptor);
    posix_spawn_file_actions_addclosefrom_np(&spawn.actions_, ReaderSecondStreamDescriptor + 1);

    QByteArrayList environmentEntries;
    std::vector<char*> environmentPointers;
    char** childEnvironment = environ;
    if (options.environment) {
        environmentEntries = *options.environment;
        for (QByteArray& entry : environmentEntries) environmentPointers.push_back(entry.data());
        environmentPointers.push_back(nullptr);
        childEnvironment = environmentPointers.data();
    }
    pid_t pid = -1;
    const int spawnError = ::posix_spawn(&pid, helperPath.constData(), &spawn.actions_,
                                         &spawn.attr_, argv.data(), childEnvironment);
    if (spawnError != 0)
        raise(ProviderMessages::readerFailed(ProviderMessages::systemErrorReason(spawnError)));
    Child child(pid);
    writeEnd.reset();
    secondWriteHigh.reset();

    TableStreamDecoder decoder;
    TableStreamDecoder secondDecoder;
    {
        // A failure on either side stops the reader, which ends the other.
        std::exception_ptr secondFailure;
        std::thread second([&] {
            try {
                pumpStream(secondReadEnd.get(), secondDecoder, child, stallMs, shownFile);
            } catch (...) {
                secondFailure = std::current_exception();
                child.kill();
            }
        });
        try {
            pumpStream(readEnd.get(), decoder, child, stallMs, shownFile);
        } catch (...) {
            child.kill();
            second.join();
            child.waitBlocking();
            throw;
        }
        second.join();
        // The first stream's own error, if any, speaks for the read.
        if (secondFailure && !decoder.hasError()) {
            child.waitBlocking();
            std::rethrow_exception(secondFailure);
        }
    }
    readEnd.reset();
    secondReadEnd.reset();

    // The stream has ended; the reader should be exiting now.
    if (!child.waitFor(stallMs)) {
        raise(ProviderMessages::damagedFile(
            shownFile, QStringLiteral("okuyucu %1 içinde sonlanmadı").arg(secondsText(stallMs))));
    }
    if (child.signalled()) raise(ProviderMessages::damagedFile(shownFile, unexpectedEnd(child)));
    const int exitCode = child.exitCode();
    if (decoder.hasError()) {
        if (exitCode == 0) {
            raise(ProviderMessages::damagedFile(
                shownFile, malformed(QStringLiteral("hata kaydı ile başarı birlikte geldi"))));
        }
        raiseReaderError(decoder, shownFile, table);
    }
    if (exitCode > 0) raise(ProviderMessages::damagedFile(shownFile, unexpectedEnd(child)));
    if (secondDecoder.hasError()) raiseReaderError(secondDecoder, shownFile, table);
    try {
        decoder.finish();
        secondDecoder.finish();
    } catch (const TableStreamError& error) {
        raise(ProviderMessages::damagedFile(shownFile, malformed(error.reason())));
    }
    RawTable rows = decoder.takeTable();
    RawTable secondRows = secondDecoder.takeTable();
    if (!sameColumns(rows.columns, secondRows.columns)) {
        raise(ProviderMessages::damagedFile(
            shownFile, malformed(QStringLiteral("iki akışın sütunları farklı"))));
    }
    try {
        rows.appendRows(std::move(secondRows));
    } catch (const std::length_error&) {
        raise(ProviderMessages::damagedFile(
            shownFile, malformed(QStringLiteral("tablo belleğe sığmayacak kadar büyük"))));
    }
    return rows;
}
