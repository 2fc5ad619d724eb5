#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "exceptions/Exceptions.h"
#include "help/HelpFile.h"
#include "rtf/HelpDocument.h"
#include "support/TempWorkDir.h"

namespace {

// The message of the failure `read` raises, or "" when it raises none.
template <typename Read>
QString failureOf(Read read) {
    try {
        read();
    } catch (const Exception& failure) {
        return failure.message();
    }
    return {};
}

}  // namespace

TEST(HelpFileTest, OnlyARegularFileCounts) {
    TempWorkDir work;
    const QString name = QStringLiteral("yardim");
    EXPECT_FALSE(readHelpFile(name)) << "no entry";

    ASSERT_TRUE(QDir().mkdir(name));
    EXPECT_FALSE(readHelpFile(name)) << "a directory";
    ASSERT_TRUE(QDir().rmdir(name));

    ASSERT_TRUE(QFile::link(QStringLiteral("nowhere"), name));
    EXPECT_FALSE(readHelpFile(name)) << "a dangling link";
    ASSERT_TRUE(QFile::remove(name));

    // A device behind a link: endless bytes that must not be read.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), name));
    EXPECT_FALSE(readHelpFile(name)) << "a device";
    ASSERT_TRUE(QFile::remove(name));

    // A pipe without a writer: opening it must neither block nor count.
    ASSERT_EQ(::mkfifo(QFile::encodeName(work.path(name)).constData(), 0600), 0);
    EXPECT_FALSE(readHelpFile(name)) << "a pipe";
    ASSERT_TRUE(QFile::remove(name));

    TempWorkDir::writeAll(name, "{\\rtf1 x}\r\nline\n");
    EXPECT_EQ(readHelpFile(name), QByteArray("{\\rtf1 x}\r\nline\n"));
    TempWorkDir::writeAll(name, QByteArray());
    EXPECT_EQ(readHelpFile(name), QByteArray());
}

TEST(HelpFileTest, ReadsNoMoreThanTheViewHolds) {
    TempWorkDir work;
    QFile file(work.path(QStringLiteral("yardim")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(qint64{HelpTextCapacity} + 100));  // sparse: cheap
    file.close();
    const auto bytes = readHelpFile(QStringLiteral("yardim"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), HelpTextCapacity);

    EXPECT_EQ(readHelpFile(QStringLiteral("yardim"), openFileForReading, 3)->size(), 3);
}

TEST(HelpFileTest, AFileThatCannotBeOpenedOrReadFails) {
    TempWorkDir work;
    TempWorkDir::writeAll(QStringLiteral("yardim"), "text");
    const QString expectedPath = QDir::current().absoluteFilePath(QStringLiteral("yardim"));

    const FileOpener denied = [](const char*, int) {
        errno = EACCES;
        return -1;
    };
    EXPECT_EQ(failureOf([&] { readHelpFile(QStringLiteral("yardim"), denied); }),
              QStringLiteral("Cannot open file \"%1\". %2")
                  .arg(expectedPath, QString::fromLocal8Bit(std::strerror(EACCES))));

    // Held under an exclusive lock by another program.
    const int holder = ::open("yardim", O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    EXPECT_TRUE(failureOf([] {
                    readHelpFile(QStringLiteral("yardim"));
                }).startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(expectedPath)));
    ::close(holder);
    EXPECT_EQ(failureOf([] { readHelpFile(QStringLiteral("yardim")); }), QString());

    // A failing open of a name that is no file is still "no help file".
    ASSERT_TRUE(QFile::remove(QStringLiteral("yardim")));
    EXPECT_EQ(failureOf([&] { EXPECT_FALSE(readHelpFile(QStringLiteral("yardim"), denied)); }),
              QString());

    TempWorkDir::writeAll(QStringLiteral("yardim"), "text");
    const FileOpener writeOnly = [](const char* path, int) { return ::open(path, O_WRONLY); };
    EXPECT_EQ(failureOf([&] { readHelpFile(QStringLiteral("yardim"), writeOnly); }),
              QStringLiteral("Failed to Load Stream"));
}
