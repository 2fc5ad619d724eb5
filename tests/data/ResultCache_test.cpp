// The kept table answers again only while the file is provably unchanged.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/ResultCache.h"

namespace {

timespec secondsFromNow(int seconds) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec += seconds;
    return now;
}

struct CacheFixture {
    CacheFixture() {
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

    // Rewritten in place with the same size, its modification time put back.
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(f.file).constData(), &before), 0);
    f.write("ucuncu");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(f.file).constData(), times, 0), 0);
    f.get();
    EXPECT_EQ(f.reads, 7);

    // Replaced by another file under the same name: another inode.
    const QString other = f.dir.filePath(QStringLiteral("other"));
    QFile::copy(f.file, other);
    QFile::remove(f.file);
    QFile::rename(other, f.file);
    f.get();
    EXPECT_EQ(f.reads, 8);

    f.cache.clear();
    f.get();
    EXPECT_EQ(f.reads, 9);
}

TEST(ResultCacheTest, NothingIsKeptFromAFileThatChangedDuringTheRead) {
    CacheFixture changing;
    changing.duringRead = [&changing] { changing.write("okunurken"); };
    changing.get();
    changing.duringRead = nullptr;
    changing.get();
    EXPECT_EQ(changing.reads, 2);

    // Changed and put back to the same size and times while it was read.
    CacheFixture restored;
    restored.age();
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(restored.file).constData(), &before), 0);
    restored.duringRead = [&restored, &before] {
        restored.write("son");
        const timespec times[2] = {before.st_atim, before.st_mtim};
        utimensat(AT_FDCWD, QFile::encodeName(restored.file).constData(), times, 0);
    };
    restored.get();
    restored.duringRead = nullptr;
    restored.get();
    EXPECT_EQ(restored.reads, 2);

    CacheFixture missing;
    QFile::remove(missing.file);
    missing.get();
    missing.get();
    EXPECT_EQ(missing.reads, 2);
}

// Bytes changed through a shared mapping, in a page that an earlier write
// already dirtied, move neither time of the file: only its content tells.
// A file written a moment ago is kept all the same, since its bytes are
// compared at every use.
TEST(ResultCacheTest, BytesChangedWithoutAnyTimeMovingAreNoticed) {
    CacheFixture f;
    f.write(QByteArray(4096, 'a'));
    const int fd = ::open(QFile::encodeName(f.file).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    void* mapped = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    char* bytes = static_cast<char*>(mapped);
    bytes[0] = 'b';  // dirties the page; this write may move the times

    f.get();
    f.get();
    EXPECT_EQ(f.reads, 1) << "a file just written is kept";
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(f.file).constData(), &before), 0);
    bytes[100] = 'c';
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(f.file).constData(), &after), 0);
    f.get();
    EXPECT_EQ(f.reads, 2) << "same times: " << (before.st_mtim.tv_nsec == after.st_mtim.tv_nsec);
    f.get();
    EXPECT_EQ(f.reads, 2);

    // Changed that way while it was read: the bytes read are not known, nothing is kept.
    f.cache.clear();
    f.duringRead = [bytes] { bytes[200] = 'd'; };
    f.get();
    f.duringRead = nullptr;
    f.get();
    EXPECT_EQ(f.reads, 4);
    ::munmap(mapped, 4096);
    ::close(fd);
}

// Only the change time moves (the mode changed): the bytes, the size and the
// modification time are those of the table kept, yet it is read again.
TEST(ResultCacheTest, AChangeOfTheChangeTimeAloneReadsAgain) {
    CacheFixture f;
    const QByteArray path = QFile::encodeName(f.file);
    struct stat before {};
    ASSERT_EQ(::stat(path.constData(), &before), 0);
    f.get();
    struct stat after = before;
    // The file system's clock may need a tick to move.
    for (int i = 0; i < 200 && after.st_ctim.tv_sec == before.st_ctim.tv_sec &&
                    after.st_ctim.tv_nsec == before.st_ctim.tv_nsec;
         ++i) {
        ::usleep(5000);
        ASSERT_EQ(::chmod(path.constData(), (after.st_mode & 07777) ^ S_IXUSR), 0);
        ASSERT_EQ(::stat(path.constData(), &after), 0);
    }
    ASSERT_FALSE(after.st_ctim.tv_sec == before.st_ctim.tv_sec &&
                 after.st_ctim.tv_nsec == before.st_ctim.tv_nsec)
        << "the change time did not move";
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    f.get();
    EXPECT_EQ(f.reads, 2);
    f.get();
    EXPECT_EQ(f.reads, 2);
}

// Through a descriptor, what counts is the file it reads, whatever the path
// names meanwhile.
struct DescriptorFixture : CacheFixture {
    DescriptorFixture() {
        other = dir.filePath(QStringLiteral("other.mdb"));
        QFile out(other);
        out.open(QIODevice::WriteOnly);
        out.write("ilk");  // the same bytes as the first file's
    }
    int open(const QString& path, int flags = O_RDONLY) {
        descriptors.push_back(::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC));
        return descriptors.back();
    }
    ~DescriptorFixture() {
        for (const int fd : descriptors) ::close(fd);
    }
    void getThrough(int fd, const QString& path) {
        cache.table(
            path, QStringLiteral("meslekler"),
            [this] {
                ++reads;
                return RawTable{};
            },
            fd);
    }
    QString other;
    std::vector<int> descriptors;
};

TEST(ResultCacheTest, TheIdentityKeptIsThatOfTheDescriptorRead) {
    // The path names another file by the time it is examined (a link turned
    // to it after the open): the table read is the first file's, and must not
    // serve as the other's, even with the same bytes.
    DescriptorFixture f;
    const int read = f.open(f.file);
    const int named = f.open(f.other);
    f.getThrough(read, f.other);
    f.getThrough(named, f.other);
    EXPECT_EQ(f.reads, 2);
    f.getThrough(named, f.other);
    EXPECT_EQ(f.reads, 2);

    // The path names nothing any more: the file read still serves.
    DescriptorFixture gone;
    const int kept = gone.open(gone.file);
    QFile::remove(gone.file);
    gone.getThrough(kept, gone.file);
    gone.getThrough(kept, gone.file);
    EXPECT_EQ(gone.reads, 1);
}

// A descriptor that fstat examines but whose bytes cannot be read (open for
// writing only): no hash proves the file unchanged, nothing is kept.
TEST(ResultCacheTest, AFileWhoseBytesCannotBeReadCountsAsChanged) {
    DescriptorFixture f;
    const int writeOnly = f.open(f.file, O_WRONLY);
    ASSERT_GE(writeOnly, 0);
    ASSERT_TRUE(identifyFile(writeOnly).has_value());
    f.getThrough(writeOnly, f.file);
    f.getThrough(writeOnly, f.file);
    EXPECT_EQ(f.reads, 2);
}

}  // namespace
