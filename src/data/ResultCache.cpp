#include "data/ResultCache.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace {

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

namespace {

FileIdentity identityOf(const struct stat& status) {
    FileIdentity identity;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = status.st_size;
    identity.modified = status.st_mtim;
    identity.changed = status.st_ctim;
    return identity;
}

}  // namespace

std::optional<FileIdentity> identifyFile(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) return std::nullopt;
    return identityOf(status);
}

std::optional<FileIdentity> identifyFile(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return std::nullopt;
    return identityOf(status);
}

std::optional<std::uint64_t> hashFile(int fd) {
    constexpr std::size_t ChunkBytes = 1 << 20;
    const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                         XXH3_freeState);
    if (!state || XXH3_64bits_reset(state.get()) != XXH_OK) return std::nullopt;
    std::vector<char> buffer(ChunkBytes);
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer.data(), buffer.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        XXH3_64bits_update(state.get(), buffer.data(), static_cast<std::size_t>(n));
        offset += n;
    }
    return XXH3_64bits_digest(state.get());
}

ResultCache::ResultCache() = default;

ResultCache::~ResultCache() = default;

void ResultCache::clear() {
    kept_ = {};
    file_.clear();
    name_.clear();
}

ResultCache::Table ResultCache::table(const QString& file, const QString& name,
                                      const std::function<RawTable()>& read, int fd) {
    auto identify = [&] { return fd >= 0 ? identifyFile(fd) : identifyFile(file); };
    // True with the file's content hash in `value`, false when it cannot be read.
    auto hash = [&](std::uint64_t& value) {
        std::optional<std::uint64_t> hashed;
        if (fd >= 0) {
            hashed = hashFile(fd);
        } else if (const int own = ::open(QFile::encodeName(file).constData(),
                                          O_RDONLY | O_CLOEXEC | O_NONBLOCK);
                   own >= 0) {
            hashed = hashFile(own);
            ::close(own);
        }
        value = hashed.value_or(0);
        return hashed.has_value();
    };
    const std::optional<FileIdentity> before = identify();
    if (kept_.rows && before && *before == identity_ && file == file_ &&
        name.compare(name_, Qt::CaseInsensitive) == 0) {
        std::uint64_t now = 0;
        if (hash(now) && now == hash_) return kept_;
    }
    clear();
    std::uint64_t hashBefore = 0;
    const bool hashedBefore = hash(hashBefore);
    auto rows = std::make_shared<const RawTable>(read());
    Table fresh{rows, std::make_shared<TableOrders>(*rows)};
    const std::optional<FileIdentity> after = identify();
    std::uint64_t hashAfter = 0;
    const bool hashedAfter = after && hash(hashAfter);
    if (before && after && *before == *after && hashedBefore && hashedAfter &&
        hashAfter == hashBefore) {
        kept_ = fresh;
        file_ = file;
        name_ = name;
        identity_ = *after;
        hash_ = hashAfter;
    }
    return fresh;
}
