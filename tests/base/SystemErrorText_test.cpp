#include "base/SystemErrorText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>

// Every error met while opening, reading or writing a file reads as a Turkish
// phrase of its own, never as the system's English text; any other comes with
// its number and the system's text, so that nothing is lost.
TEST(SystemErrorTextTest, FileErrorsInTurkishOthersWithTheSystemsText) {
    const int named[] = {ENOENT, EACCES, EISDIR, ENOTDIR, ELOOP,  ENAMETOOLONG, EMFILE, ENOMEM, EIO,
                         EAGAIN, ENXIO,  ESTALE, ENOSPC,  EDQUOT, EFBIG,        EBADF,  EPIPE};
    std::set<QString> phrases;
    for (const int error : named) {
        const QString text = systemErrorText(error);
        EXPECT_FALSE(text.isEmpty()) << error;
        EXPECT_FALSE(text.contains(QString::fromLocal8Bit(std::strerror(error)))) << error;
        EXPECT_FALSE(text.startsWith(QStringLiteral("sistem hatası"))) << error;
        EXPECT_TRUE(phrases.insert(text).second) << error << " shares its phrase";
    }
    // Alike in kind, alike in words.
    EXPECT_EQ(systemErrorText(EPERM), systemErrorText(EACCES));
    EXPECT_EQ(systemErrorText(ENFILE), systemErrorText(EMFILE));
    EXPECT_EQ(systemErrorText(ENODEV), systemErrorText(ENXIO));

    EXPECT_EQ(systemErrorText(EXDEV), QStringLiteral("sistem hatası %1: %2")
                                          .arg(EXDEV)
                                          .arg(QString::fromLocal8Bit(std::strerror(EXDEV))));
}
