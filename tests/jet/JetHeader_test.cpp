#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "jet/JetHeader.h"
#include "jetwriter/Jet4Writer.h"

using JetHeader::Verdict;

namespace {

QByteArray databaseWith(const QString& password, double date = 44568.5) {
    jet4::DatabaseDef database;
    database.password = password;
    database.creationDate = date;
    return jet4::writeDatabase(database);
}

JetHeader::Info inspect(const QByteArray& bytes) {
    return JetHeader::inspect(bytes.left(JetHeader::PageSize), bytes.size());
}

QByteArray maskOf(double date) {
    unsigned char mask[4];
    JetHeader::passwordMask(date, mask);
    return QByteArray(reinterpret_cast<const char*>(mask), 4);
}

}  // namespace

TEST(JetHeaderTest, KnownPasswordVectorDecodes) {
    // Date 44568.5 and password "Şifre1", as stored on disk.
    const QByteArray bytes = databaseWith(QStringLiteral("Şifre1"));
    EXPECT_EQ(bytes.mid(0x42, 16).toHex(' '), "c0 54 85 37 23 ea ee fa bb f0 19 e6 0b 18 8a 60");
    EXPECT_EQ(bytes.mid(0x72, 8).toHex(' '), "12 4f 4a 94 7c fd 85 66");

    QByteArray decoded = bytes.left(JetHeader::PageSize);
    JetHeader::applyHeaderMask(decoded.data());
    EXPECT_EQ(decoded.mid(0x72, 8).toHex(' '), "00 00 00 00 10 c3 e5 40");
    EXPECT_EQ(decoded.mid(0x42, 16).toHex(' '), "46 af 69 00 7e ae 72 00 7d ae 31 00 18 ae 00 00");

    const JetHeader::Info info = inspect(bytes);
    EXPECT_EQ(info.verdict, Verdict::Jet4);
    EXPECT_EQ(info.version, 1);
    EXPECT_EQ(info.creationDate, 44568.5);
    EXPECT_TRUE(info.hasPassword);
    EXPECT_EQ(info.password, QStringLiteral("Şifre1"));
}

TEST(JetHeaderTest, PasswordMaskTruncatesAndSaturates) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(maskOf(44568.5).toHex(' '), "18 ae 00 00");
    EXPECT_EQ(maskOf(44568.99).toHex(' '), "18 ae 00 00");
    EXPECT_EQ(maskOf(-1.5).toHex(' '), "ff ff ff ff");  // toward zero: -1
    EXPECT_EQ(maskOf(-0.5).toHex(' '), "00 00 00 00");
    EXPECT_EQ(maskOf(std::nan("")).toHex(' '), "00 00 00 00");
    EXPECT_EQ(maskOf(2147483647.9).toHex(' '), "ff ff ff 7f");
    EXPECT_EQ(maskOf(1e300).toHex(' '), "ff ff ff 7f");
    EXPECT_EQ(maskOf(inf).toHex(' '), "ff ff ff 7f");
    EXPECT_EQ(maskOf(-2147483648.5).toHex(' '), "00 00 00 80");
    EXPECT_EQ(maskOf(-inf).toHex(' '), "00 00 00 80");

    // Any date, even one out of range, round-trips the password.
    for (double date : {0.25, 36526.0, 2958465.99, 1e300, -1e300, std::nan(""), -3.75}) {
        const JetHeader::Info info = inspect(databaseWith(QStringLiteral("Ağaç"), date));
        EXPECT_EQ(info.password, QStringLiteral("Ağaç")) << date;
        if (!std::isnan(date)) {
            EXPECT_EQ(info.creationDate, date);
        }
    }
}

TEST(JetHeaderTest, PasswordComparisonIsExact) {
    const QString full = QStringLiteral("İğneşÇöÜ0123456789ab");  // 20 units
    ASSERT_EQ(full.size(), 20);
    const JetHeader::Info info = inspect(databaseWith(full));
    EXPECT_EQ(info.password, full);
    EXPECT_TRUE(JetHeader::passwordMatches(info, full));
    for (const QString& wrong :
         {QStringLiteral("iğneşÇöÜ0123456789ab"), QStringLiteral("İĞNEŞÇÖÜ0123456789AB"),
          full.left(19), full + QLatin1Char('x'), QString(),
          QStringLiteral("İğneşÇöÜ0123456789aB")})
        EXPECT_FALSE(JetHeader::passwordMatches(info, wrong)) << wrong.toStdString();

    const JetHeader::Info turkish = inspect(databaseWith(QStringLiteral("ılık")));
    EXPECT_TRUE(JetHeader::passwordMatches(turkish, QStringLiteral("ılık")));
    EXPECT_FALSE(JetHeader::passwordMatches(turkish, QStringLiteral("ilik")));
    EXPECT_FALSE(JetHeader::passwordMatches(turkish, QStringLiteral("ILIK")));
}

TEST(JetHeaderTest, FileWithoutPasswordOpensWithAnyPassword) {
    const JetHeader::Info info = inspect(databaseWith(QString()));
    EXPECT_EQ(info.verdict, Verdict::Jet4);
    EXPECT_FALSE(info.hasPassword);
    EXPECT_TRUE(info.password.isEmpty());
    for (const QString& given : {QString(), QStringLiteral("herhangi"), QStringLiteral("Şifre1")})
        EXPECT_TRUE(JetHeader::passwordMatches(info, given));
}

TEST(JetHeaderTest, RecognisesOtherFormatsAndDamage) {
    const QByteArray good = databaseWith(QStringLiteral("p"));
    auto verdictOf = [](const QByteArray& bytes) { return inspect(bytes).verdict; };
    auto changed = [&](int offset, const QByteArray& with) {
        QByteArray bytes = good;
        bytes.replace(offset, with.size(), with);
        return bytes;
    };

    EXPECT_EQ(verdictOf(good), Verdict::Jet4);
    EXPECT_EQ(verdictOf(changed(JetHeader::VersionOffset, QByteArray(1, '\0'))), Verdict::Jet3);
    EXPECT_EQ(verdictOf(changed(JetHeader::VersionOffset, "\x02")), Verdict::NewerFormat);
    EXPECT_EQ(verdictOf(changed(JetHeader::VersionOffset, "\x05")), Verdict::NewerFormat);
    EXPECT_EQ(verdictOf(changed(4, "Standard ACE DB")), Verdict::NewerFormat);
    EXPECT_EQ(verdictOf(changed(4, "MSISAM Database")), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(changed(4, "standard jet db")), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(changed(0, "\x01")), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(changed(1, QByteArray(1, '\0'))), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(QByteArray(good.size(), '\0')), Verdict::BadMagic);

    EXPECT_EQ(verdictOf(QByteArray()), Verdict::Empty);
    EXPECT_EQ(verdictOf(good.left(JetHeader::PageSize - 1)), Verdict::Truncated);
    EXPECT_EQ(verdictOf(good.left(JetHeader::PageSize + 100)), Verdict::Truncated);
    EXPECT_EQ(verdictOf(good.left(0x40)), Verdict::Truncated);
    EXPECT_EQ(verdictOf(good.left(3)), Verdict::Truncated);
    EXPECT_EQ(verdictOf(good.left(10)), Verdict::Truncated);
    EXPECT_EQ(verdictOf(QByteArray("PK\3\4")), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(good.left(JetHeader::PageSize)), Verdict::Jet4);
    // The caller may pass only the start of a file whose size is fine.
    EXPECT_EQ(JetHeader::inspect(good.left(0x98), good.size()).verdict, Verdict::Jet4);
    EXPECT_EQ(JetHeader::inspect(good.left(0x97), good.size()).verdict, Verdict::Truncated);
    // The version decides before the size: Jet 3 pages are 2048 bytes.
    const QByteArray jet3Page = changed(JetHeader::VersionOffset, QByteArray(1, '\0')).left(2048);
    EXPECT_EQ(verdictOf(jet3Page), Verdict::Jet3);
    EXPECT_EQ(verdictOf(jet3Page + jet3Page + jet3Page), Verdict::Jet3);
    EXPECT_EQ(verdictOf(changed(JetHeader::VersionOffset, "\x02").left(5000)),
              Verdict::NewerFormat);

    // Only a Jet 4 file can match a password.
    const JetHeader::Info jet3 = inspect(changed(JetHeader::VersionOffset, QByteArray(1, '\0')));
    EXPECT_FALSE(JetHeader::passwordMatches(jet3, QStringLiteral("p")));

    EXPECT_EQ(JetHeader::describe(Verdict::Jet3), QStringLiteral("Access 97 (Jet 3) biçiminde"));
    EXPECT_EQ(JetHeader::describe(Verdict::NewerFormat),
              QStringLiteral("Access 2007 ya da daha yeni biçimde"));
    EXPECT_NE(JetHeader::describe(Verdict::Truncated), JetHeader::describe(Verdict::BadMagic));
}
