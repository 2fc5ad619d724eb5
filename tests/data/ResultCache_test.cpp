// The kept table answers again only while the file is provably unchanged.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "data/ResultCache.h"

namespace {

timespec secondsFromNow(int seconds) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec += seconds;
    return now;
}

struct CacheFixture {
    explicit CacheFixture(int clockAhead = 10)
        : cache([clockAhead] { return secondsFromNow(clockAhead); }) {
        file = dir.filePath(QStringLiteral("MeslekAna.mdb"));
        write("ilk");
    }
    void write(const QByteArray& bytes) const {
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
    }
    // Sets the modification time back, as a file written a while ago.
    void age(long nanoseconds = 0) const {
        const timespec past[2] = {secondsFromNow(-3600),
                                  {secondsFromNow(-3600).tv_sec, nanoseconds}};
        utimensat(AT_FDCWD, QFile::encodeName(file).constData(), past, 0);
    }
    ResultCache::Table get(const QString& name = QStringLiteral("meslekler")) {
        return cache.table(file, name, [this] {
            ++reads;
            if (duringRead) duringRead();
            return RawTable{};
        });
    }

    QTemporaryDir dir;
    QString file;
    ResultCache cache;
    int reads = 0;
    std::function<void()> duringRead;
};

TEST(ResultCacheTest, AnUnchangedFileIsReadOnceAndAnyChangeReadsItAgain) {
    CacheFixture f;
    const ResultCache::Table first = f.get();
    const ResultCache::Table again = f.get(QStringLiteral("MESLEKLER"));
    EXPECT_EQ(f.reads, 1);
    EXPECT_EQ(first.rows, again.rows);
    EXPECT_EQ(first.orders, again.orders) << "orders worked out once stay";

    f.get(QStringLiteral("baska"));
    EXPECT_EQ(f.reads, 2) << "another table";
    f.get();
    EXPECT_EQ(f.reads, 3);

    f.age(1);  // only the nanoseconds of the modification time differ next
    f.get();
    f.age(2);
    f.get();
    EXPECT_EQ(f.reads, 5);

    f.write("ikinci");  // same size would do too: the times differ
    f.get();
    EXPECT_EQ(f.reads, 6);

    // Replaced by another file under the same name: another inode.
    const QString other = f.dir.filePath(QStringLiteral("other"));
    QFile::copy(f.file, other);
    QFile::remove(f.file);
    QFile::rename(other, f.file);
    f.get();
    EXPECT_EQ(f.reads, 7);

    f.cache.clear();
    f.get();
    EXPECT_EQ(f.reads, 8);
}

TEST(ResultCacheTest, NothingIsKeptFromARecentFileOrAFileThatChangedDuringTheRead) {
    // The file's times lie within two seconds of the read: not kept.
    CacheFixture recent(1);
    recent.get();
    recent.get();
    EXPECT_EQ(recent.reads, 2);
    recent.age();  // an old modification time, but a change time of now
    recent.get();
    recent.get();
    EXPECT_EQ(recent.reads, 4);

    CacheFixture changing;
    changing.duringRead = [&changing] { changing.write("okunurken"); };
    changing.get();
    changing.duringRead = nullptr;
    changing.get();
    EXPECT_EQ(changing.reads, 2);

    CacheFixture missing;
    QFile::remove(missing.file);
    missing.get();
    missing.get();
    EXPECT_EQ(missing.reads, 2);
}

TEST(ResultCacheTest, TheIdentityKeptIsThatOfTheDescriptorRead) {
    // The path names another file by the time it is examined (a link turned
    // to it after the open): the table read is the first file's, and must not
    // serve as the other's.
    CacheFixture f;
    const QString other = f.dir.filePath(QStringLiteral("other.mdb"));
    QFile out(other);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("baska");
    out.close();
    const int read = ::open(QFile::encodeName(f.file).constData(), O_RDONLY);
    const int named = ::open(QFile::encodeName(other).constData(), O_RDONLY);
    auto get = [&](int fd) {
        f.cache.table(
            other, QStringLiteral("meslekler"),
            [&f] {
                ++f.reads;
                return RawTable{};
            },
            fd);
    };
    get(read);
    get(named);
    EXPECT_EQ(f.reads, 2);
    get(named);
    EXPECT_EQ(f.reads, 2);
    ::close(read);
    ::close(named);
}

}  // namespace
