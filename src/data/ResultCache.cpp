#include "data/ResultCache.h"

#include <QFile>

#include <sys/stat.h>

namespace {

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

timespec wallClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

// Whether `time` lies two seconds or more before `reference`.
bool wellBefore(const timespec& time, const timespec& reference) {
    const long long margin = 2'000'000'000LL;
    const long long t = static_cast<long long>(time.tv_sec) * 1'000'000'000LL + time.tv_nsec;
    const long long r =
        static_cast<long long>(reference.tv_sec) * 1'000'000'000LL + reference.tv_nsec;
    return r - t >= margin;
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

ResultCache::ResultCache(Clock now) : now_(now ? std::move(now) : Clock(wallClock)) {}

ResultCache::~ResultCache() = default;

void ResultCache::clear() {
    kept_ = {};
    file_.clear();
    name_.clear();
}

ResultCache::Table ResultCache::table(const QString& file, const QString& name,
                                      const std::function<RawTable()>& read, int fd) {
    auto identify = [&] { return fd >= 0 ? identifyFile(fd) : identifyFile(file); };
    const std::optional<FileIdentity> before = identify();
    if (kept_.rows && before && *before == identity_ && file == file_ &&
        name.compare(name_, Qt::CaseInsensitive) == 0) {
        return kept_;
    }
    clear();
    const timespec started = now_();
    auto rows = std::make_shared<const RawTable>(read());
    Table fresh{rows, std::make_shared<TableOrders>(*rows)};
    const std::optional<FileIdentity> after = identify();
    if (before && after && *before == *after && wellBefore(after->modified, started) &&
        wellBefore(after->changed, started)) {
        kept_ = fresh;
        file_ = file;
        name_ = name;
        identity_ = *after;
    }
    return fresh;
}
