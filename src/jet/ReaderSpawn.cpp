#include "jet/ReaderSpawn.h"

#include <QByteArrayList>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include "jet/ReaderFailure.h"

extern char** environ;

namespace {

constexpr int kPipeSize = 1 << 20;

struct Pipe {
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

Pipe makePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) ReaderFailure::raiseReaderFailed(errno);
    Pipe pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
    // Larger pipes only save wake-ups.
    ::fcntl(pipe.readEnd.get(), F_SETPIPE_SZ, kPipeSize);
    return pipe;
}

// The reader's argument vector: [--values COLUMN]... FILE TABLE SECOND_FD.
class ReaderArgv {
public:
    ReaderArgv(const QString& helper, const QString& table, const QStringList& valueColumns)
        : helperPath_(QFile::encodeName(helper)),
          tableName_(table.toUtf8()),
          secondStream_(QByteArray::number(ReaderSecondStreamDescriptor)) {
        for (const QString& column : valueColumns) valueColumns_.push_back(column.toUtf8());
        argv_.push_back(const_cast<char*>(helperPath_.constData()));
        for (QByteArray& column : valueColumns_) {
            argv_.push_back(const_cast<char*>(valuesOption_.constData()));
            argv_.push_back(column.data());
        }
        for (const QByteArray* argument : {&filePath_, &tableName_, &secondStream_}) {
            argv_.push_back(const_cast<char*>(argument->constData()));
        }
        argv_.push_back(nullptr);
    }
    ReaderArgv(const ReaderArgv&) = delete;
    ReaderArgv& operator=(const ReaderArgv&) = delete;

    const char* path() const { return helperPath_.constData(); }
    char* const* argv() const { return argv_.data(); }

private:
    const QByteArray helperPath_;
    const QByteArray filePath_{ReaderFilePath};
    const QByteArray tableName_;
    const QByteArray secondStream_;
    const QByteArray valuesOption_{"--values"};
    QByteArrayList valueColumns_;
    std::vector<char*> argv_;
};

// The reader's environment: the entries given, or this process's own.
class ReaderEnvironment {
public:
    explicit ReaderEnvironment(const std::optional<QByteArrayList>& entries) {
        if (!entries) return;
        entries_ = *entries;
        for (QByteArray& entry : entries_) pointers_.push_back(entry.data());
        pointers_.push_back(nullptr);
    }
    ReaderEnvironment(const ReaderEnvironment&) = delete;
    ReaderEnvironment& operator=(const ReaderEnvironment&) = delete;

    char* const* envp() const { return pointers_.empty() ? environ : pointers_.data(); }

private:
    QByteArrayList entries_;
    std::vector<char*> pointers_;
};

class SpawnAttributes {
public:
    SpawnAttributes() {
        posix_spawnattr_init(&attr_);
        posix_spawn_file_actions_init(&actions_);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    ~SpawnAttributes() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attr_);
    }

    // A process group of its own, every signal at its default, none blocked.
    void setSignalsAndGroup() {
        sigset_t signalSet;
        sigemptyset(&signalSet);
        posix_spawnattr_setsigmask(&attr_, &signalSet);
        sigfillset(&signalSet);
        posix_spawnattr_setsigdefault(&attr_, &signalSet);
        posix_spawnattr_setpgroup(&attr_, 0);
        posix_spawnattr_setflags(
            &attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    }

    // Standard input and error on /dev/null, standard output on `stream`.
    void setStandardDescriptors(int stream) {
        posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions_, stream, 1);
        posix_spawn_file_actions_addopen(&actions_, 2, "/dev/null", O_WRONLY, 0);
    }

    // The database as fd 3 and the second stream as fd 4 (dup2 clears
    // close-on-exec, also when the descriptor is that number already); fds
    // someone opened without close-on-exec must not reach the reader.
    // `secondStream` must lie above both, so that neither dup2 overwrites
    // the other's source.
    void setHandedDescriptors(int database, int secondStream) {
        posix_spawn_file_actions_adddup2(&actions_, database, ReaderFileDescriptor);
        posix_spawn_file_actions_adddup2(&actions_, secondStream, ReaderSecondStreamDescriptor);
        posix_spawn_file_actions_addclosefrom_np(&actions_, ReaderSecondStreamDescriptor + 1);
    }

    const posix_spawnattr_t* attributes() const { return &attr_; }
    const posix_spawn_file_actions_t* actions() const { return &actions_; }

private:
    posix_spawnattr_t attr_;
    posix_spawn_file_actions_t actions_;
};

}  // namespace

SpawnedReader spawnReader(const QString& helper, const JetFile& file, const QString& table,
                          const TableReaderOptions& options) {
    Pipe first = makePipe();
    Pipe second = makePipe();
    const ReaderArgv argv(helper, table, options.valueColumns);

    SpawnAttributes spawn;
    spawn.setSignalsAndGroup();
    spawn.setStandardDescriptors(first.writeEnd.get());
    // The second stream's end moved above the descriptors it is handed as.
    const int secondHigh = ::fcntl(second.writeEnd.get(), F_DUPFD_CLOEXEC, 10);
    if (secondHigh < 0) ReaderFailure::raiseReaderFailed(errno);
    const UniqueFd secondWriteHigh(secondHigh);
    second.writeEnd.reset();
    spawn.setHandedDescriptors(file.fd(), secondWriteHigh.get());

    const ReaderEnvironment environment(options.environment);
    pid_t pid = -1;
    const int spawnError = ::posix_spawn(&pid, argv.path(), spawn.actions(), spawn.attributes(),
                                         argv.argv(), environment.envp());
    if (spawnError != 0) ReaderFailure::raiseReaderFailed(spawnError);
    // The write ends close as this returns: the reader holds the only ones.
    return SpawnedReader{std::move(first.readEnd), std::move(second.readEnd), ReaderProcess(pid)};
}
